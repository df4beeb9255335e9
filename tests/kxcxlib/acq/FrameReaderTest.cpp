// The bulk read of one frame against what the simulated board's bulk IN endpoint holds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "SimDeviceFixture.h"
#include "acq/kxFrameReader.h"
#include "board/CameraBoard.h"
#include "device/kxCamContext.h"
#include "usb/kxPlatformError.h"

namespace {

class FrameReaderTest : public SimDeviceFixture {
protected:
    void SetUp() override {
        plug("RT4207,fps=0");
        handle = open();
        ASSERT_NE(handle, nullptr);
        board = host.board("sim:RT4207-x6B6B:0");
    }

    void pushEmpty(int count) {
        for (int i = 0; i < count; ++i) {
            board->bulkIn().push({});
        }
    }

    CamContext* handle = nullptr;
    std::shared_ptr<boardsim::CameraBoard> board;
    std::vector<uint8_t> frame = std::vector<uint8_t>(480256);
};

}  // namespace

TEST_F(FrameReaderTest, EmptyTransfersAreSkippedUpToTwoInARow) {
    pushEmpty(2);
    board->bulkIn().push(std::vector<uint8_t>(480256, 0x5A));
    EXPECT_EQ(FrameReader::read(*handle, frame.data(), true), 480256);
    EXPECT_EQ(frame[0], 0x5A);
    EXPECT_EQ(frame[479999], 0x5A);
}

TEST_F(FrameReaderTest, ThreeEmptyTransfersInARowFailTheFrame) {
    pushEmpty(3);
    board->bulkIn().push(std::vector<uint8_t>(480256, 0x5A));
    testing::internal::CaptureStderr();
    EXPECT_EQ(FrameReader::read(*handle, frame.data(), true), -1);
    EXPECT_EQ(kx::lastPlatformError(), EIO);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                testing::HasSubstr("CamDevice::getBulkData 00000005"));
}
