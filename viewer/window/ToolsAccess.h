// The way into the tools: a log-in decides the current user type (the account's type, or 0
// "Operator" when the log-in is cancelled or fails), and the tools dialog is shown with the
// buttons that type may use.
#pragma once

#include <QList>
#include <QStringList>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class ToolsAccess {
public:
    explicit ToolsAccess(QWidget* mainWindow);

    // The devices of a bring-up, handed to the tools dialog when the tools are next opened.
    void publish(int deviceCount, const QStringList& deviceNames,
                 const QList<CamContext*>& deviceHandles);
    // The devices were released: the tools know none until the next bring-up publishes some.
    void forgetDevices();
    // Runs the log-in, sets the current user type and shows the tools dialog for it.
    void open();
    // 0 "Operator", 1 "Support", 2 "Admin": 0 until a log-in succeeds.
    int currentUserType() const { return m_userType; }

private:
    QWidget* m_mainWindow;
    int m_userType = 0;
    bool m_toolsInitialised = false;
    int m_deviceCount = 0;
    QStringList m_deviceNames;
    QList<CamContext*> m_deviceHandles;
};

}  // namespace hv
