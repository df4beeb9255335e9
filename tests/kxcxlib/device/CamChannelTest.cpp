#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <thread>

#include "SimDeviceFixture.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "frame/kxCxLib.h"
#include "usb/kxUsbTransport.h"
#include "variant/kxRtCamDevice.h"

using testing::HasSubstr;
using Kind = kx::SimTransfer::Kind;

namespace {

class CamChannelTest : public SimDeviceFixture {
protected:
    // The kinds and pipes of the records, e.g. "reset 86", "policy 86", "abort 02".
    std::vector<std::string> pipeOperations() const {
        std::vector<std::string> list;
        for (const auto& record : records()) {
            char pipe[8];
            std::snprintf(pipe, sizeof pipe, "%02x", record.pipeId);
            switch (record.kind) {
                case Kind::ResetPipe:
                    list.push_back(std::string("reset ") + pipe);
                    break;
                case Kind::AbortPipe:
                    list.push_back(std::string("abort ") + pipe);
                    break;
                case Kind::SetPolicy:
                    list.push_back(std::string("policy ") + pipe + " " +
                                   std::to_string(record.result) + "=" +
                                   std::to_string(record.length));
                    break;
                default:
                    break;
            }
        }
        return list;
    }
};

// Hands out one long path and remembers what open was asked for.
class LongPathBackend : public kx::UsbBackend {
public:
    const char* name() const override { return "long"; }
    kx::EnumResult interfacePath(const kx::Guid&, int index, std::string& path) override {
        if (index > 0) {
            return kx::EnumResult::NoMoreItems;
        }
        path = std::string(300, 'p');
        return kx::EnumResult::Found;
    }
    std::unique_ptr<kx::UsbDevice> open(const std::string& path) override {
        opened = path;
        return nullptr;
    }
    bool setHotplugHandler(kx::HotplugHandler) override { return false; }
    void setModelGuids(std::map<std::string, kx::Guid>) override {}
    std::string opened;
};

}  // namespace

TEST_F(CamChannelTest, OpenClassifiesPipesAndSetsTheBulkPolicies) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->kindTag, 1);
    EXPECT_NE(handle->owner, nullptr);
    EXPECT_EQ(handle->bulkInPipe, 0x86);
    EXPECT_EQ(handle->bulkOutPipe, 0x02);
    EXPECT_EQ(handle->interruptInPipe, 0x81);
    EXPECT_EQ(handle->interruptOutPipe, 0x01);
    // Bulk IN as the channel has always set it; bulk OUT bounded so a write cannot hang.
    EXPECT_THAT(pipeOperations(), testing::ElementsAre("reset 86", "policy 86 0=1",
                                                       "policy 86 1=20", "policy 02 1=1000"));
    EXPECT_EQ(handle->width, 400);
    EXPECT_EQ(handle->bytesPerPixel, 3);
    EXPECT_EQ(handle->frameBytes, 480000);
    EXPECT_GE(handle->frameStoreBytes, 400u * 400 * 12 * 4 + 256);
    ASSERT_NE(handle->stopEvent, nullptr);
    EXPECT_NE(handle->ring[7].event, nullptr);
}

TEST_F(CamChannelTest, CloseAbortsAndResetsEveryPipeInOrder) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    clearLog();
    EXPECT_EQ(close(handle), 0);
    EXPECT_THAT(pipeOperations(),
                testing::ElementsAre("abort 86", "reset 86", "abort 02", "reset 02", "abort 81",
                                     "reset 81", "abort 01", "reset 01"));
}

TEST_F(CamChannelTest, BulkOnlyBoardHasNoInterruptPipesAndCloseSkipsThem) {
    plug("RT4207,pipes=bulk");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->interruptInPipe, 0);
    EXPECT_EQ(handle->interruptOutPipe, 0);
    clearLog();
    EXPECT_EQ(close(handle), 0);
    EXPECT_THAT(pipeOperations(),
                testing::ElementsAre("abort 86", "reset 86", "abort 02", "reset 02"));
}

TEST_F(CamChannelTest, InterruptPipesCarryTheTriggerAndTheCounter) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    host.board("sim:RT4207-x6B6B:0")->setInterruptInValue(0x00050102);
    EXPECT_EQ(CamChannel::interruptRead(*handle), 0x00050102);
    std::vector<uint8_t> received;
    host.board("sim:RT4207-x6B6B:0")
        ->setInterruptOutHandler(
            [&](const uint8_t* data, uint32_t length) { received.assign(data, data + length); });
    EXPECT_EQ(CamChannel::interruptWrite(*handle), 1);
    EXPECT_EQ(received, std::vector<uint8_t>{0x31});
}

TEST_F(CamChannelTest, InterruptFailureAbortsTheBulkPipeAndReturnsTheNegatedError) {
    plug("RT4207,pipes=bulk");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    clearLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(CamChannel::interruptRead(*handle), -EINVAL);
    EXPECT_EQ(CamChannel::interruptWrite(*handle), -EINVAL);
    testing::internal::GetCapturedStderr();
    EXPECT_THAT(pipeOperations(), testing::ElementsAre("abort 86", "abort 86"));
}

TEST_F(CamChannelTest, ShortControlReplyReportsTheShorterCount) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    uint8_t reply[4] = {};
    int transferred = -1;
    EXPECT_EQ(CamChannel::control(handle, 1, 0xB0, 0, 0, 4, reply, &transferred), 0);
    EXPECT_EQ(transferred, 2);
    EXPECT_EQ(reply[0] | reply[1] << 8, 0x0107);
}

TEST_F(CamChannelTest, FailedControlTransferIsLoggedAndMarksTheChannel) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    int transferred = -1;
    uint8_t byte = 0;
    testing::internal::CaptureStderr();
    // The board stalls a request it does not know: EPIPE.
    EXPECT_EQ(CamChannel::control(handle, 1, 0x77, 0, 0, 1, &byte, &transferred), -1);
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_THAT(text, testing::ContainsRegex("\\[e\\] [^\n]*\n  kxCamChannel\\.cpp:[0-9]+:"
                                             "CamDevice::ioctlCamDevice 00000020\n"));
    EXPECT_EQ(transferred, 0);
    EXPECT_EQ(handle->channelState, CamContext::kStateFailed);
}

TEST_F(CamChannelTest, BoardThatIsNotThereDoesNotOpenAndTheLogSaysSo) {
    plug("");
    host.unplug("sim:RT4207-x6B6B:0");
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(kxCxLib::findEntry("RT4207-x6B6B_00")->openContext, nullptr);
    EXPECT_THAT(logText(), testing::ContainsRegex("Opening interface 0 of [^ ]+ failed: No such "
                                                  "device\n"));
}

TEST_F(CamChannelTest, OpenedHandleIsRecordedInTheDeviceTable) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(kxCxLib::findEntry("RT4207-x6B6B_00")->openContext, handle);
    EXPECT_EQ(dynamic_cast<rtCamDevice*>(handle->owner) != nullptr, true);
}

TEST_F(CamChannelTest, GeometryWithoutPixelsIsRefused) {
    plug("");
    EXPECT_EQ(openCxDevice("RT4207-x6B6B_00", 0, 400, 480000, nullptr, nullptr), nullptr);
    EXPECT_EQ(openCxDevice("RT4207-x6B6B_00", 400, 400, -1, nullptr, nullptr), nullptr);
    // A frame of 6 bytes per pixel still gets twelve whole slots.
    CamContext* handle = openCxDevice("RT4207-x6B6B_00", 400, 400, 960000, nullptr, nullptr);
    ASSERT_NE(handle, nullptr);
    opened.push_back(handle);
    EXPECT_EQ(handle->bytesPerPixel, 6);
    EXPECT_GE(handle->frameStoreBytes, 12u * 960000);
}

TEST_F(CamChannelTest, LongDevicePathIsCutBeforeItIsOpened) {
    auto fake = std::make_unique<LongPathBackend>();
    LongPathBackend* backendSeen = fake.get();
    kx::UsbTransport::replace(std::move(fake));
    const auto guid = *kx::Guid::parse("{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
    EXPECT_EQ(CamChannel::open(guid, 0), nullptr);
    EXPECT_EQ(backendSeen->opened, std::string(255, 'p'));
}

TEST_F(CamChannelTest, UnpluggedBoardFailsEveryOperationAndStillCloses) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    host.unplug("sim:RT4207-x6B6B:0");
    testing::internal::CaptureStderr();
    int value = 7;
    EXPECT_EQ(readRegister(handle, 0x3C, 0x01, &value, 0), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(writeRegister(handle, 0x3C, 0x61, 1, 0), 0);
    EXPECT_EQ(resetUsbFifo(handle), -1);
    EXPECT_EQ(CamChannel::interruptRead(*handle), -ENODEV);
    EXPECT_EQ(close(handle), 0);
    const std::string text = testing::internal::GetCapturedStderr();
    // ENODEV is 19. The first transfer that finds the board gone is recorded; after it the
    // channel transfers nothing more on the device, and the close finds no halt to clear.
    EXPECT_THAT(text, HasSubstr("CamDevice::ioctlCamDevice 00000013"));
    EXPECT_EQ(text.find("[e] "), text.rfind("[e] "));
    EXPECT_THAT(text, testing::Not(HasSubstr("CamDevice::closeCamDevice")));
    // In the file, the close notes at most once that the pipes left with the board.
    const std::string records = dir.read("kxCxModLog.txt");
    EXPECT_EQ(records.find("closeCamDevice", records.find("closeCamDevice") + 1),
              std::string::npos);
}

TEST_F(CamChannelTest, TransfersFromSeveralThreadsWhileTheBoardLeaves) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    testing::internal::CaptureStderr();
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                int value = 0;
                if (readRegister(handle, 0x3C, 0x04, &value, 0) != 1) {
                    ++failures;
                }
            }
        });
    }
    host.unplug("sim:RT4207-x6B6B:0");
    for (auto& thread : threads) {
        thread.join();
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(handle->channelState, failures > 0 ? CamContext::kStateFailed : 0);
    EXPECT_EQ(close(handle), 0);
}
