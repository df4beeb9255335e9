#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FifoFeeder.h"
#include "SimDeviceFixture.h"
#include "device/kxCamContext.h"
#include "variant/kxMvCamDevice.h"

using testing::ElementsAre;

namespace {

const char* const kRegisterFile =
    "; header line, not sent\n"
    "6A 3003 20\n"
    ";(a) sensor controller system reset\n"
    "6A 3008 82\n"
    "; comment\n"
    "6A 3103 93\n";

class mvCamDeviceTest : public SimDeviceFixture {};

}  // namespace

TEST_F(mvCamDeviceTest, OpenSendsTheRegisterFileThenResetsTheFifo) {
    plug("MV3318");
    writeFile("regs.txt", kRegisterFile);
    clearLog();
    CamContext* handle = open("MV3318-x7654_00", "regs.txt", "trace.txt");
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(dynamic_cast<mvCamDevice*>(handle->owner), nullptr);
    // Two writes, their read-backs for the trace, then the FIFO reset.
    EXPECT_THAT(sentControls(),
                ElementsAre("40 a9 3008 0135 1 82", "40 a9 3103 0135 1 93", "c0 a9 3008 0135 2",
                            "c0 a9 3103 0135 2", "40 c0 0000 0000 0"));
    EXPECT_THAT(
        dir.read("trace.txt"),
        testing::MatchesRegex("L001 ==> I2C\\[0135\\] REG\\[3008\\] DAT_O\\[0082\\] "
                              "XFER_O\\[0001\\] DAT_I\\[00[0-9a-f]{2}\\] XFER_I\\[0002\\]\n"
                              "L002 ==> I2C\\[0135\\] REG\\[3103\\] DAT_O\\[0093\\] "
                              "XFER_O\\[0001\\] DAT_I\\[00[0-9a-f]{2}\\] XFER_I\\[0002\\]\n"));
    EXPECT_EQ(handle->frameStoreBytes, 400u * 400 * 12 * 4);
}

TEST_F(mvCamDeviceTest, MissingRegisterFileFailsTheOpen) {
    plug("MV3329");
    // No "reg_init.txt" in the test's folder.
    EXPECT_EQ(open("MV3329-x5542_00"), nullptr);
    EXPECT_THAT(
        logText(),
        testing::HasSubstr("Sending register file reg_init.txt refused: there is no such file\n"));
    // The board is free again: a second open with a file works.
    writeFile("reg_init.txt", kRegisterFile);
    EXPECT_NE(open("MV3329-x5542_00"), nullptr);
}

TEST_F(mvCamDeviceTest, OpenRefusesARegisterFileThatIsNoRegularFile) {
    plug("MV3318");
    // A pipe would hold the open until something writes to it.
    const FifoFeeder pipe("reg_init.txt", kRegisterFile);
    EXPECT_EQ(open("MV3318-x7654_00"), nullptr);
    EXPECT_EQ(pipe.readers(), 0);
}

TEST_F(mvCamDeviceTest, OpenFailsWhenTheSensorDoesNotTakeTheRegisterFile) {
    plug("MV3318,nack=35");
    writeFile("reg_init.txt", kRegisterFile);
    EXPECT_EQ(open("MV3318-x7654_00"), nullptr);
    EXPECT_THAT(logText(),
                testing::HasSubstr(
                    "Sending register file reg_init.txt: line 4 was not written: 6A 3008 82\n"));
}

TEST_F(mvCamDeviceTest, AcquisitionModeAndStateUseRequestC0) {
    plug("MV3318");
    writeFile("reg_init.txt", kRegisterFile);
    CamContext* handle = open("MV3318-x7654_00");
    ASSERT_NE(handle, nullptr);
    auto* device = dynamic_cast<mvCamDevice*>(handle->owner);
    clearLog();
    device->setAcquisitionMode(handle, mvCamDevice::kModeStart);
    const int state = device->acquisitionState(handle);
    EXPECT_GE(state, 0);
    const auto sent = controls();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].setup.requestType, 0x40);
    EXPECT_EQ(sent[0].setup.value, 1);
    EXPECT_EQ(sent[1].setup.requestType, 0xC0);
    EXPECT_EQ(sent[1].setup.length, 2);
}
