// The board pulled out and plugged back while the window runs, through the simulated boards'
// control channel, and the notifications the window ignores.
#include "FirmwareLoadLock.h"
#include "MainWindowFixture.h"
#include "SimControl.h"
#include "USBNotification.h"

namespace {

const QString kRemoved = QStringLiteral("ALERT::The camera device has been removed");
const QString kInserted = QStringLiteral("ALERT::A camera device has been inserted");

class HotPlugTest : public hvtest::MainWindowFixture {
protected:
    HotPlugTest() : m_socket("KXCX_SIM_SOCKET", (m_folder.path() + "/sim.sock").c_str()) {}

    ScopedEnv m_socket;
};

TEST_F(HotPlugTest, UnplugReleasesTheBoardAndReplugBringsTheLivePictureBackWithoutARestart) {
    hv::Nelvora& w = bringUp("RT4207");
    ASSERT_TRUE(w.streaming());
    ASSERT_TRUE(w.usbNotification()->registered());
    w.setArrivalWait(300);
    EXPECT_EQ(hvtest::SimControl::send({"unplug", "sim:RT4207-x6B6B:0"}), "ok");
    ASSERT_TRUE(waitFor([&] { return prompts.messageTexts().contains(kRemoved); }));
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(w.deviceCount(), 0);
    EXPECT_EQ(w.cameraSlot(), nullptr);
    EXPECT_FALSE(button("photoButton")->isEnabled());

    EXPECT_EQ(hvtest::SimControl::send({"plug", "sim:RT4207-x6B6B:0"}), "ok");
    ASSERT_TRUE(waitFor([&] { return w.arrivalPending(); }));
    // The wait holds nothing up: the window goes on handling events meanwhile.
    EXPECT_FALSE(prompts.messageTexts().contains(kInserted));
    ASSERT_TRUE(waitFor([&] { return w.streaming(); }, 5000));
    EXPECT_EQ(prompts.messageTexts(), (QStringList{kRemoved, kInserted}));
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(button("photoButton")->isEnabled());
    const int before = w.frameCounter();
    EXPECT_TRUE(waitFor([&] { return w.frameCounter() > before + 3; }));
}

TEST_F(HotPlugTest, ArrivalsWhileABoardRunsAndEverythingAfterAControllerLoadAreIgnored) {
    hv::Nelvora& w = bringUp("RT4207");
    w.OnUSBNotification(hv::USBNotification::kArrival);
    EXPECT_FALSE(w.arrivalPending());
    w.OnUSBNotification(7);
    EXPECT_TRUE(w.streaming());
    hv::FirmwareLoadLock::set();
    w.OnUSBNotification(hv::USBNotification::kRemoval);
    EXPECT_TRUE(w.streaming());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    // A board that leaves during its arrival wait is not brought up.
    hv::FirmwareLoadLock::clearForTests();
    w.OnUSBNotification(hv::USBNotification::kRemoval);
    w.setArrivalWait(0);
    w.OnUSBNotification(hv::USBNotification::kArrival);
    w.OnUSBNotification(hv::USBNotification::kRemoval);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.arrivalPending());
    EXPECT_FALSE(prompts.messageTexts().contains(kInserted));
}

TEST_F(HotPlugTest, AnUnplugWithoutARunningBoardWarnsBeforeTheAlert) {
    prompts.answer(QMessageBox::Yes);  // run without a board
    hv::Nelvora& w = bringUp("none");
    w.OnUSBNotification(hv::USBNotification::kRemoval);
    EXPECT_EQ(prompts.messageTexts().mid(1),
              (QStringList{"WARNING::There are no Cx devices has been inserted...\nThis unplug "
                           "event will be ignored...",
                           kRemoved}));
}

}  // namespace
