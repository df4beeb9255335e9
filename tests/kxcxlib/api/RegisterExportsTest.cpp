#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "SimDeviceFixture.h"
#include "device/kxCamContext.h"
#include "log/kxCxLogger.h"

using testing::ElementsAre;

namespace {

class RegisterExports : public SimDeviceFixture {
protected:
    void SetUp() override {
        handle = openBoard("");
        ASSERT_NE(handle, nullptr);
    }

    CamContext* handle = nullptr;
};

}  // namespace

TEST_F(RegisterExports, RegisterAccessSendsTheI2cBridgeRequest) {
    int value = -1;
    EXPECT_EQ(readRegister(handle, 0x3C, 0x01, &value, 0), 1);
    EXPECT_EQ(value, 0x01);  // FPGA major version
    EXPECT_EQ(writeRegister(handle, 0x3C, 0x61, 0x101, 0), 1);
    EXPECT_EQ(readSCCB(handle, 0x35, 0x3003, &value), 1);
    EXPECT_EQ(writeSCCB(handle, 0x35, 0x3003, 0x20), 1);
    EXPECT_EQ(readRegister(handle, 0x135, 0x12, &value, 1), 1);
    EXPECT_THAT(sentControls(),
                ElementsAre("c0 a9 0001 003c 1", "40 a9 0061 003c 1 01", "c0 a9 3003 0135 1",
                            "40 a9 3003 0135 1 20", "c0 a9 0012 0135 1"));
}

TEST_F(RegisterExports, AFailedTransferLeavesItsPlatformErrorInErrno) {
    // Nothing answers at 0x77: the I2C bridge stalls the request.
    errno = 0;
    EXPECT_EQ(writeRegister(handle, 0x77, 0x00, 0x00, 0), 0);
    EXPECT_EQ(errno, EPIPE);
    int elsewhere = -1;
    std::thread([&] {
        int value = 0;
        errno = 0;
        readRegister(handle, 0x3C, 0x00, &value, 0);
        elsewhere = errno;
    }).join();
    EXPECT_EQ(elsewhere, 0);  // the other thread's transfers succeeded
    host.unplug("sim:RT4207-x6B6B:0");
    int value = 0;
    EXPECT_EQ(readRegister(handle, 0x3C, 0x00, &value, 0), 0);
    EXPECT_EQ(errno, ENODEV);
}

TEST_F(RegisterExports, EveryExportRefusesANullHandle) {
    int value = 0;
    EXPECT_EQ(readRegister(nullptr, 0x3C, 0, &value, 0), -2);
    EXPECT_EQ(writeRegister(nullptr, 0x3C, 0, 0, 0), -2);
    EXPECT_EQ(readSCCB(nullptr, 0x35, 0, &value), -2);
    EXPECT_EQ(writeSCCB(nullptr, 0x35, 0, 0), -2);
    EXPECT_EQ(ioctlCxDevice(nullptr, 0, 1, 0xB0, 0, 0, 2, &value, &value), -2);
    EXPECT_EQ(setCxSpeed(nullptr, 0), -2);
    EXPECT_EQ(setCxSignalWeight(nullptr, 0), -2);
    EXPECT_EQ(resetUsbFifo(nullptr), -2);
    EXPECT_EQ(stopDvpClock(nullptr), -2);
    EXPECT_EQ(restartDvpClock(nullptr), -2);
    EXPECT_EQ(sendRegFile(nullptr, "x", nullptr), -2);
    EXPECT_TRUE(sentControls().empty());
}

TEST_F(RegisterExports, IoctlPassesTheRequestAsGiven) {
    uint8_t version[2] = {};
    int transferred = -1;
    EXPECT_EQ(ioctlCxDevice(handle, 99, 1, 0xB0, 0, 0, 2, version, &transferred), 0);
    EXPECT_EQ(transferred, 2);
    EXPECT_EQ(version[1], 0x01);
    EXPECT_EQ(version[0], 0x07);
    uint8_t bytes[2] = {0x00, 0x01};
    EXPECT_EQ(ioctlCxDevice(handle, 0, 0, 0x19, 0, 0x7D, 2, bytes, &transferred), 0);
    EXPECT_EQ(transferred, 2);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ioctlCxDevice(handle, 0, 1, 0x55, 1, 2, 1, bytes, &transferred), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(transferred, 0);
    EXPECT_EQ(ioctlCxDevice(handle, 0, 1, 0xB0, 0, 0, 70000, bytes, &transferred), -1);
    EXPECT_THAT(sentControls(),
                ElementsAre("c0 b0 0000 0000 2", "40 19 0000 007d 2 00 01", "c0 55 0001 0002 1"));
}

TEST_F(RegisterExports, SpeedPicksItsRequestAndReportsNothing) {
    EXPECT_EQ(setCxSpeed(handle, 0), 0);
    EXPECT_EQ(setCxSpeed(handle, 5), 0);
    EXPECT_THAT(sentControls(), ElementsAre("40 aa 0000 0000 0", "40 ab 0000 0000 0"));
}

TEST_F(RegisterExports, SignalWeightReadsThenWritesItsValue) {
    EXPECT_EQ(setCxSignalWeight(handle, 2), -1);
    EXPECT_EQ(setCxSignalWeight(handle, -1), -1);
    EXPECT_TRUE(sentControls().empty());
    EXPECT_EQ(setCxSignalWeight(handle, 0), 0);
    EXPECT_EQ(setCxSignalWeight(handle, 1), 0);
    EXPECT_THAT(sentControls(), ElementsAre("c0 a9 3100 0135 1", "40 a9 3100 0135 1 35",
                                            "c0 a9 3100 0135 1", "40 a9 3100 0135 1 75"));
}

TEST_F(RegisterExports, FifoResetAndClockControlCheckTheHandleKind) {
    CamDevice* owner = handle->owner;
    handle->owner = nullptr;
    EXPECT_EQ(resetUsbFifo(handle), -4);
    EXPECT_EQ(stopDvpClock(handle), -4);
    handle->kindTag = 0;
    EXPECT_EQ(resetUsbFifo(handle), -3);
    EXPECT_EQ(restartDvpClock(handle), -3);
    handle->kindTag = 2;
    EXPECT_EQ(resetUsbFifo(handle), -5);
    EXPECT_EQ(sendRegFile(handle, "x", nullptr), -5);
    handle->kindTag = 1;
    handle->owner = owner;
    EXPECT_TRUE(sentControls().empty());
    EXPECT_EQ(resetUsbFifo(handle), 0);
    EXPECT_THAT(sentControls(), ElementsAre("40 c0 0000 0000 0"));
}

TEST_F(RegisterExports, ClockControlFlipsBitFiveOfRegister3003) {
    ASSERT_EQ(writeSCCB(handle, 0x35, 0x3003, 0x47), 1);
    clearLog();
    EXPECT_EQ(stopDvpClock(handle), 0);
    int value = 0;
    readSCCB(handle, 0x35, 0x3003, &value);
    EXPECT_EQ(value, 0x47);  // bit 5 was clear already
    ASSERT_EQ(writeSCCB(handle, 0x35, 0x3003, 0x27), 1);
    clearLog();
    EXPECT_EQ(stopDvpClock(handle), 0);
    EXPECT_EQ(restartDvpClock(handle), 0);
    EXPECT_THAT(sentControls(), ElementsAre("c0 a9 3003 0135 1", "40 a9 3003 0135 1 07",
                                            "c0 a9 3003 0135 1", "40 a9 3003 0135 1 27"));
    CxLogger::instance().flushPending();
    char* log = nullptr;
    int size = 0;
    CxLogger::instance().readLog(&log, &size);
    const std::string text(log != nullptr ? log : "", static_cast<std::size_t>(size));
    delete[] log;
    EXPECT_THAT(text, testing::HasSubstr("*****STOP VIDEO STREAMING*****"));
    EXPECT_THAT(text, testing::HasSubstr("*****START VIDEO STREAMING*****"));
}
