#include "ToolsAccess.h"

#include "UserLogin.h"
#include "toolsDialog.h"

namespace hv {

ToolsAccess::ToolsAccess(QWidget* mainWindow) : m_mainWindow(mainWindow) {}

void ToolsAccess::open() {
    {
        UserLogin login(m_mainWindow);
        login.exec();
        m_userType = login.resultUserType() >= 0 ? login.resultUserType() : 0;
    }
    toolsDialog* tools = toolsDialog::instance();
    if (!tools) {
        return;
    }
    if (!m_toolsInitialised) {
        // Without a device the tools still lead to review, help and the users.
        tools->initialise(m_mainWindow, m_deviceCount, m_deviceNames, m_deviceHandles);
        m_toolsInitialised = true;
    }
    tools->applyUserType(m_userType);
    tools->show();
    tools->raise();
    tools->activateWindow();
}

void ToolsAccess::publish(int deviceCount, const QStringList& deviceNames,
                          const QList<CamContext*>& deviceHandles) {
    m_deviceCount = deviceCount;
    m_deviceNames = deviceNames;
    m_deviceHandles = deviceHandles;
    m_toolsInitialised = false;
}

void ToolsAccess::forgetDevices() {
    publish(0, QStringList(), QList<CamContext*>());
}

}  // namespace hv
