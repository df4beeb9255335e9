// Only the first model's boards are told, on the GUI thread, whichever thread the library uses.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <thread>
#include <vector>

#include <kxCxApi.h>
#include "USBNotification.h"

namespace {

TEST(USBNotificationTest, OnlyTheFirstModelsBoardsBecomeActionsOnTheGuiThread) {
    hv::USBNotification notification;
    EXPECT_TRUE(notification.isHidden());
    std::vector<int> actions;
    std::vector<bool> onGuiThread;
    QObject::connect(&notification, &hv::USBNotification::usbAction, [&](int action) {
        actions.push_back(action);
        onGuiThread.push_back(QThread::currentThread() == qApp->thread());
    });
    std::thread library([&] {
        notification.deliver(CxDeviceArrived, QStringLiteral("MV3318-x7654"));
        notification.deliver(CxDeviceRemoved, QStringLiteral("MV3329-x5542"));
        notification.deliver(CxDeviceRemoved, QStringLiteral("RT4207-x6B6B"));
        notification.deliver(CxDeviceArrived, QStringLiteral("RT4207-x6B6B"));
        notification.deliver(9, QStringLiteral("RT4207-x6B6B"));
    });
    library.join();
    EXPECT_TRUE(actions.empty()) << "told at once, on the library's thread";
    QCoreApplication::processEvents();
    EXPECT_EQ(actions, (std::vector<int>{2, 1}));
    EXPECT_EQ(onGuiThread, (std::vector<bool>{true, true}));
}

}  // namespace
