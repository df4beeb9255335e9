// A setup page that works on one chosen board through a register port: it remembers which of
// its devices is chosen (none until one is read, and none after an initialisation without
// devices) and reaches the board through the camera library unless it is given another port.
#pragma once

#include "CxRegisterPort.h"
#include "TabPage.h"

namespace hv {

class RegisterTabPage : public TabPage {
    Q_OBJECT

public:
    explicit RegisterTabPage(QWidget* parent = nullptr);

    // The page's initialisation, with no device chosen before it reads one.
    void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles) override;

    // The port the page's transfers go through (borrowed); null: the camera library.
    void setRegisterPort(RegisterPort* port);

protected:
    int deviceIndex() const { return m_deviceIndex; }
    void chooseDevice(int index) { m_deviceIndex = index; }
    // The chosen device's handle; null when none is chosen.
    CamContext* device() const { return handleAt(m_deviceIndex); }
    RegisterPort& port() const { return *m_port; }

private:
    CxRegisterPort m_libraryPort;
    RegisterPort* m_port = &m_libraryPort;
    int m_deviceIndex = -1;
};

}  // namespace hv
