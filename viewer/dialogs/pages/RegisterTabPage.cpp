#include "RegisterTabPage.h"

namespace hv {

RegisterTabPage::RegisterTabPage(QWidget* parent) : TabPage(parent) {}

void RegisterTabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                                 const QList<CamContext*>& deviceHandles) {
    m_deviceIndex = -1;
    TabPage::initialise(parent, deviceCount, deviceNames, deviceHandles);
}

void RegisterTabPage::setRegisterPort(RegisterPort* port) {
    m_port = port ? port : &m_libraryPort;
}

}  // namespace hv
