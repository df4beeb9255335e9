#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimDeviceFixture.h"

namespace {

struct Heard {
    std::vector<std::string> events;
};

void hear(int event, const char* path, const char* model, void* user) {
    static_cast<Heard*>(user)->events.push_back((event == CxDeviceArrived   ? "+"
                                                 : event == CxDeviceRemoved ? "-"
                                                                            : "?") +
                                                std::string(path) + " " + model);
}

class DeviceNotify : public SimDeviceFixture {};

}  // namespace

TEST_F(DeviceNotify, ArrivalsAndRemovalsReachTheReceiverUntilItIsRemoved) {
    plug("RT4207;MV3318");
    Heard heard;
    ASSERT_EQ(setCxDeviceNotify(&hear, &heard), 0);
    host.unplug("sim:MV3318-x7654:0");
    host.plug("sim:MV3318-x7654:0");
    // Told on a thread of the library, after the board left or came.
    ASSERT_TRUE(backend->waitHotplugDelivered(std::chrono::seconds(5)));
    ASSERT_EQ(setCxDeviceNotify(nullptr, nullptr), 0);
    host.unplug("sim:RT4207-x6B6B:0");
    EXPECT_THAT(heard.events, testing::ElementsAre("-sim:MV3318-x7654:0 MV3318-x7654",
                                                   "+sim:MV3318-x7654:0 MV3318-x7654"));
}

TEST_F(DeviceNotify, BoardsAreToldWithTheirModelBeforeAnyDiscovery) {
    std::string error;
    ASSERT_TRUE(host.configure("MV3329;RT4207", error));  // no findCxDevices
    Heard heard;
    ASSERT_EQ(setCxDeviceNotify(&hear, &heard), 0);
    host.unplug("sim:RT4207-x6B6B:0");
    host.unplug("sim:MV3329-x5542:0");
    ASSERT_TRUE(backend->waitHotplugDelivered(std::chrono::seconds(5)));
    setCxDeviceNotify(nullptr, nullptr);
    EXPECT_THAT(heard.events, testing::ElementsAre("-sim:RT4207-x6B6B:0 RT4207-x6B6B",
                                                   "-sim:MV3329-x5542:0 MV3329-x5542"));
}

TEST_F(DeviceNotify, UnplugOfAnOpenBoardIsToldAndTheHandleStillCloses) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    Heard heard;
    setCxDeviceNotify(&hear, &heard);
    host.unplug("sim:RT4207-x6B6B:0");
    ASSERT_TRUE(backend->waitHotplugDelivered(std::chrono::seconds(5)));
    setCxDeviceNotify(nullptr, nullptr);
    EXPECT_THAT(heard.events, testing::ElementsAre("-sim:RT4207-x6B6B:0 RT4207-x6B6B"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(close(handle), 0);
    testing::internal::GetCapturedStderr();
    // The board left: the next discovery forgets it once the handle is removed.
    removeCxDevices();
    EXPECT_EQ(findCxDevices(), 0);
    EXPECT_EQ(getNumberOfCxDevices(), 0);
}
