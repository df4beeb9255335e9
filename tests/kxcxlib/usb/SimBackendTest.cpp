#include "usb/sim/kxSimBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

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
