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
        // No device was handed over yet: the tools still lead to review, help and the users.
        tools->initialise(m_mainWindow, 0, QStringList(), QList<CamContext*>());
        m_toolsInitialised = true;
    }
    tools->applyUserType(m_userType);
    tools->show();
    tools->raise();
    tools->activateWindow();
}

}  // namespace hv
