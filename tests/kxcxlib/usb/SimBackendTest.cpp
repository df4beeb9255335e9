#include "usb/sim/kxSimBackend.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "host/SimHost.h"
#include "usb/kxUsbTransport.h"

namespace {

const kx::Guid kFirstModel = *kx::Guid::parse("{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
const kx::Guid kSecondModel = *kx::Guid::parse("{B03B64F8-3F1D-4C55-8248-F0C43B287654}");

}  // namespace

TEST(SimBackend, PathsFollowArrivalOrderAmongBoardsOfTheGuid) {
    boardsim::SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207;MV3318;RT4207", error));
    kx::SimBackend backend(&host);
    std::string path;
    EXPECT_EQ(backend.interfacePath(kFirstModel, 0, path), kx::EnumResult::Found);
    EXPECT_EQ(path, "sim:RT4207-x6B6B:0");
    EXPECT_EQ(backend.interfacePath(kFirstModel, 1, path), kx::EnumResult::Found);
    EXPECT_EQ(path, "sim:RT4207-x6B6B:1");
    EXPECT_EQ(backend.interfacePath(kFirstModel, 2, path), kx::EnumResult::NoMoreItems);
    EXPECT_EQ(backend.interfacePath(kSecondModel, 0, path), kx::EnumResult::Found);
    EXPECT_EQ(path, "sim:MV3318-x7654:0");

    host.unplug("sim:RT4207-x6B6B:0");
    host.plug("sim:RT4207-x6B6B:0");
    EXPECT_EQ(backend.interfacePath(kFirstModel, 0, path), kx::EnumResult::Found);
    EXPECT_EQ(path, "sim:RT4207-x6B6B:1");
}

TEST(SimBackend, HotplugTellsBoardsOfTheModelRowsWithPathAndLabel) {
    boardsim::SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207;MV3318;MV3329", error));
    kx::SimBackend backend(&host);
    // The third model is no row: its boards come and go untold.
    backend.setModelGuids({{"RT4207-x6B6B", kFirstModel}, {"MV3318-x7654", kSecondModel}});
    std::vector<std::string> heard;
    std::thread::id heardOn;
    ASSERT_TRUE(backend.setHotplugHandler(
        [&](kx::HotplugEvent event, const std::string& path, const std::string& model) {
            heard.push_back((event == kx::HotplugEvent::Arrived ? "+" : "-") + path + " " + model);
            heardOn = std::this_thread::get_id();
        }));
    for (const char* path : {"sim:MV3318-x7654:0", "sim:MV3329-x5542:0", "sim:RT4207-x6B6B:0"}) {
        host.unplug(path);
    }
    for (const char* path : {"sim:RT4207-x6B6B:0", "sim:MV3329-x5542:0", "sim:MV3318-x7654:0"}) {
        host.plug(path);
    }
    // Told on the backend's own thread, in order.
    ASSERT_TRUE(backend.waitHotplugDelivered(std::chrono::seconds(5)));
    EXPECT_NE(heardOn, std::this_thread::get_id());
    ASSERT_TRUE(backend.setHotplugHandler(nullptr));
    host.unplug("sim:RT4207-x6B6B:0");
    EXPECT_EQ(heard, (std::vector<std::string>{
                         "-sim:MV3318-x7654:0 MV3318-x7654", "-sim:RT4207-x6B6B:0 RT4207-x6B6B",
                         "+sim:RT4207-x6B6B:0 RT4207-x6B6B", "+sim:MV3318-x7654:0 MV3318-x7654"}));
}

TEST(UsbTransport, BackendIsChosenByName) {
    std::string error;
    EXPECT_STREQ(kx::UsbTransport::create("sim", error)->name(), "sim");
    EXPECT_STREQ(kx::UsbTransport::create("libusb", error)->name(), "libusb");
    EXPECT_STREQ(kx::UsbTransport::create(nullptr, error)->name(), "libusb");
    EXPECT_EQ(kx::UsbTransport::create("winusb", error), nullptr);
    EXPECT_EQ(error, "KXCX_BACKEND: unknown backend 'winusb' (use libusb or sim)");
}

// The process's boards are driven from outside through the control channel only once a backend
// uses them: making the host alone serves nothing. Checked in a fresh run of this program, whose
// host and server are its own.
TEST(SimBackend, TheProcessBackendStartsTheControlChannel) {
    if (const char* socket = std::getenv("KXCX_TEST_CONTROL_SOCKET")) {
        boardsim::SimHost::instance();
        if (std::filesystem::exists(socket)) {
            std::_Exit(3);
        }
        const kx::SimBackend backend;
        std::_Exit(std::filesystem::exists(socket) ? 0 : 4);
    }
    TempDir dir;
    const std::string socket = dir.path() + "/control";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("KXCX_TEST_CONTROL_SOCKET", socket.c_str(), 1);
        setenv("KXCX_SIM_SOCKET", socket.c_str(), 1);
        setenv("KXCX_SIM", "RT4207", 1);
        execl("/proc/self/exe", "SimBackendTest",
              "--gtest_filter=SimBackend.TheProcessBackendStartsTheControlChannel", nullptr);
        std::_Exit(5);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "3: the host served alone; 4: the backend did not serve; 5: no fresh run";
}
