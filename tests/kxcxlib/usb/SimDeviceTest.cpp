#include "usb/sim/kxSimDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>

#include "host/SimHost.h"
#include "sync/kxEvent.h"
#include "usb/kxPlatformError.h"
#include "usb/sim/kxSimBackend.h"

using namespace std::chrono_literals;

namespace {

class SimDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.configure("", error));
        board = host.board("sim:RT4207-x6B6B:0");
        device = backend.open("sim:RT4207-x6B6B:0");
        ASSERT_NE(device, nullptr);
    }

    boardsim::SimHost host;
    kx::SimBackend backend{&host};
    std::shared_ptr<boardsim::CameraBoard> board;
    std::unique_ptr<kx::UsbDevice> device;
};

}  // namespace

TEST_F(SimDeviceTest, PipesDescribeTheBoardsEndpoints) {
    kx::InterfaceInfo info;
    ASSERT_TRUE(device->queryInterfaceSettings(0, info));
    ASSERT_EQ(info.numEndpoints, 4);
    kx::PipeInfo pipe;
    ASSERT_TRUE(device->queryPipe(0, 0, pipe));
    EXPECT_EQ(pipe.pipeId, 0x86);
    EXPECT_EQ(pipe.type, kx::PipeType::Bulk);
    EXPECT_FALSE(device->queryPipe(0, 4, pipe));
    EXPECT_EQ(kx::lastPlatformError(), EINVAL);
    EXPECT_FALSE(device->queryInterfaceSettings(1, info));
}

TEST_F(SimDeviceTest, TransferTimeoutBoundsAReadWithoutData) {
    ASSERT_TRUE(device->setPipePolicy(0x86, kx::PipePolicy::TransferTimeout, 20));
    uint8_t buffer[512];
    uint32_t read = 99;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device->readPipe(0x86, buffer, sizeof buffer, read));
    EXPECT_EQ(kx::lastPlatformError(), ETIMEDOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
    EXPECT_EQ(read, 0u);
    board->bulkIn().push({1, 2, 3});
    EXPECT_TRUE(device->readPipe(0x86, buffer, sizeof buffer, read));
    EXPECT_EQ(read, 3u);
}

TEST_F(SimDeviceTest, AsyncReadsCompleteInOrder) {
    kx::Event firstDone;
    kx::Event secondDone;
    uint8_t a[8];
    uint8_t b[8];
    kx::AsyncRead first{0x86, a, sizeof a, &firstDone};
    kx::AsyncRead second{0x86, b, sizeof b, &secondDone};
    ASSERT_TRUE(device->submitRead(first));
    ASSERT_TRUE(device->submitRead(second));
    board->bulkIn().push({0x11});
    board->bulkIn().push({0x22, 0x23});
    ASSERT_TRUE(firstDone.wait(1000ms));
    ASSERT_TRUE(secondDone.wait(1000ms));
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(first.transferred, 1u);
    EXPECT_EQ(a[0], 0x11);
    EXPECT_EQ(second.transferred, 2u);
    EXPECT_EQ(b[1], 0x23);
}

TEST_F(SimDeviceTest, AbortEndsPendingAndBlockedReadsWithCancelled) {
    kx::Event done[3];
    uint8_t data[3][8];
    kx::AsyncRead reads[3];
    for (int i = 0; i < 3; ++i) {
        reads[i] = kx::AsyncRead{0x86, data[i], 8, &done[i]};
        ASSERT_TRUE(device->submitRead(reads[i]));
    }
    auto blocked = std::async(std::launch::async, [&] {
        uint8_t buffer[8];
        uint32_t read = 0;
        return device->readPipe(0x86, buffer, sizeof buffer, read) ? 0 : kx::lastPlatformError();
    });
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(device->abortPipe(0x86));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(done[i].isSet()) << i;
        EXPECT_FALSE(reads[i].ok);
        EXPECT_EQ(reads[i].error, ECANCELED);
    }
    ASSERT_EQ(blocked.wait_for(1000ms), std::future_status::ready);
    EXPECT_EQ(blocked.get(), ECANCELED);
}

TEST_F(SimDeviceTest, UnplugWakesEveryBlockedTransferWithNoDevice) {
    kx::Event done;
    uint8_t data[8];
    kx::AsyncRead pending{0x86, data, sizeof data, &done};
    ASSERT_TRUE(device->submitRead(pending));
    auto blocked = std::async(std::launch::async, [&] {
        uint8_t buffer[8];
        uint32_t read = 0;
        return device->readPipe(0x86, buffer, sizeof buffer, read) ? 0 : kx::lastPlatformError();
    });
    std::this_thread::sleep_for(10ms);
    host.unplug("sim:RT4207-x6B6B:0");
    ASSERT_TRUE(done.wait(1000ms));
    EXPECT_EQ(pending.error, ENODEV);
    ASSERT_EQ(blocked.wait_for(1000ms), std::future_status::ready);
    EXPECT_EQ(blocked.get(), ENODEV);
    uint32_t transferred = 0;
    uint8_t version[2];
    EXPECT_FALSE(device->controlTransfer({0xC0, 0xB0, 0, 0, 2}, version, transferred));
    EXPECT_EQ(kx::lastPlatformError(), ENODEV);
    EXPECT_FALSE(device->submitRead(pending));
    EXPECT_EQ(backend.open("sim:RT4207-x6B6B:0"), nullptr);
    EXPECT_EQ(kx::lastPlatformError(), ENODEV);
}

TEST_F(SimDeviceTest, ClosingTheDeviceCompletesWhatIsStillQueued) {
    kx::Event done[2];
    uint8_t data[2][8];
    kx::AsyncRead reads[2] = {{0x86, data[0], 8, &done[0]}, {0x86, data[1], 8, &done[1]}};
    ASSERT_TRUE(device->submitRead(reads[0]));
    ASSERT_TRUE(device->submitRead(reads[1]));
    device.reset();
    EXPECT_TRUE(done[0].isSet());
    EXPECT_TRUE(done[1].isSet());
    EXPECT_EQ(reads[1].error, ECANCELED);
}

TEST_F(SimDeviceTest, HandleOfAnEarlierAttachmentStaysDeadAfterReplug) {
    host.unplug("sim:RT4207-x6B6B:0");
    host.plug("sim:RT4207-x6B6B:0");
    uint32_t transferred = 0;
    uint8_t version[2];
    EXPECT_FALSE(device->controlTransfer({0xC0, 0xB0, 0, 0, 2}, version, transferred));
    EXPECT_EQ(kx::lastPlatformError(), ENODEV);
    auto fresh = backend.open("sim:RT4207-x6B6B:0");
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->controlTransfer({0xC0, 0xB0, 0, 0, 2}, version, transferred));
}
