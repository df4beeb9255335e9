// What the picture is told: the settings gathered from the registers the host writes, the gamma
// slots of the FPGA, and the average intensity written back after a frame is rendered.
#include <gtest/gtest.h>

#include <numeric>

#include "board/PictureSettingsReader.h"
#include "support/BoardWire.h"
#include "support/PictureFrames.h"

using namespace boardwire;
using namespace std::chrono_literals;
using boardsim::FpgaRegisterFile;
using boardsim::PictureSettingsReader;
using boardsim::SensorController;

TEST(BoardPictureSettings, ResetRegistersGiveAutomaticSettingsOverTheWholeField) {
    boardsim::BoardConfig config;
    config.seed = 77;
    CameraBoard board(config, 0);
    const boardsim::PictureSettings settings = board.pictureSettings();
    EXPECT_DOUBLE_EQ(settings.illumination, board.illumination());
    EXPECT_TRUE(settings.autoExposure);
    EXPECT_TRUE(settings.autoGain);
    EXPECT_EQ(settings.manualExposure, 4000);
    EXPECT_EQ(settings.manualGain, 0x10);
    EXPECT_EQ(settings.stableLow, 70);
    EXPECT_EQ(settings.stableHigh, 110);
    EXPECT_EQ(settings.outLow, 50);
    EXPECT_EQ(settings.outHigh, 130);
    EXPECT_EQ(settings.windowX0, 0);
    EXPECT_EQ(settings.windowY0, 0);
    EXPECT_EQ(settings.windowX1, 399);
    EXPECT_EQ(settings.windowY1, 399);
    EXPECT_EQ(settings.weights,
              (std::array<uint8_t, 16>{0, 1, 1, 0, 1, 2, 2, 1, 1, 2, 2, 1, 0, 1, 1, 0}));
    EXPECT_TRUE(settings.awb);
    EXPECT_TRUE(settings.gainControl);
    EXPECT_FALSE(settings.manualGains);
    EXPECT_EQ(settings.redGain, 1024);
    EXPECT_EQ(settings.greenGain, 1024);
    EXPECT_EQ(settings.blueGain, 1024);
    EXPECT_FALSE(settings.sensorColourBars);
    EXPECT_EQ(settings.fpgaSource, 0);
    EXPECT_FALSE(settings.medianFilter);
    EXPECT_FALSE(settings.motionCompensation);
    EXPECT_EQ(settings.dampening, 0x40);
    EXPECT_FALSE(settings.gammaOn);
    EXPECT_EQ(settings.gammaTable, nullptr);
    EXPECT_EQ(settings.seed, 77u);
}

TEST(BoardPictureSettings, WritesOfTheHostReachThePicture) {
    CameraBoard board(frameBoard(200), 0);
    // Manual exposure and gain, as the AEC page writes them.
    sensorWrite(board, 0x3603, 0x01);
    sensorWrite(board, 0x3601, 0x12);
    sensorWrite(board, 0x3602, 0x34);
    sensorWrite(board, 0x3608, 0x00);
    sensorWrite(board, 0x3609, 0x50);
    boardsim::PictureSettings settings = board.pictureSettings();
    EXPECT_FALSE(settings.autoExposure);
    EXPECT_TRUE(settings.autoGain);
    EXPECT_EQ(settings.manualExposure, 0x1234);
    EXPECT_EQ(settings.manualGain, 0x50);
    sensorWrite(board, 0x3603, 0x02);
    sensorWrite(board, 0x3601, 0xFF);  // 13 bits only
    sensorWrite(board, 0x3608, 0x03);  // beyond the gain range
    settings = board.pictureSettings();
    EXPECT_TRUE(settings.autoExposure);
    EXPECT_FALSE(settings.autoGain);
    EXPECT_EQ(settings.manualExposure, 0x1F34);
    EXPECT_EQ(settings.manualGain, 127);
    // Metering window 120..280, a spot weight in block 7, bands around 120.
    for (const auto& [reg, value] : std::vector<std::pair<uint16_t, uint8_t>>{{0x4280, 0x00},
                                                                              {0x4281, 0x78},
                                                                              {0x4282, 0x01},
                                                                              {0x4283, 0x18},
                                                                              {0x4284, 0x00},
                                                                              {0x4285, 0x64},
                                                                              {0x4286, 0x00},
                                                                              {0x4287, 0xC8},
                                                                              {0x428B, 0xF0},
                                                                              {0x3510, 112},
                                                                              {0x350F, 128},
                                                                              {0x351E, 96},
                                                                              {0x351B, 144}}) {
        sensorWrite(board, reg, value);
    }
    settings = board.pictureSettings();
    EXPECT_EQ(settings.windowX0, 120);
    EXPECT_EQ(settings.windowX1, 280);
    EXPECT_EQ(settings.windowY0, 100);
    EXPECT_EQ(settings.windowY1, 200);
    EXPECT_EQ(settings.weights[6], 0);
    EXPECT_EQ(settings.weights[7], 15);
    EXPECT_EQ(settings.stableLow, 112);
    EXPECT_EQ(settings.stableHigh, 128);
    EXPECT_EQ(settings.outLow, 96);
    EXPECT_EQ(settings.outHigh, 144);
    // White balance off, manual gains, colour bars.
    sensorWrite(board, 0x4000, 0x08);
    sensorWrite(board, 0x4100, 0x08);
    sensorWrite(board, 0x4106, 0x0F);
    sensorWrite(board, 0x4107, 0xFF);
    sensorWrite(board, 0x4108, 0xF4);  // bits 8-11 only
    sensorWrite(board, 0x4109, 0xB0);
    sensorWrite(board, 0x410A, 0x00);
    sensorWrite(board, 0x410B, 0x00);
    sensorWrite(board, 0x4001, 0x01);
    settings = board.pictureSettings();
    EXPECT_FALSE(settings.awb);
    EXPECT_TRUE(settings.gainControl);
    EXPECT_TRUE(settings.manualGains);
    EXPECT_EQ(settings.redGain, 4095);
    EXPECT_EQ(settings.greenGain, 0x4B0);
    EXPECT_EQ(settings.blueGain, 0);
    EXPECT_TRUE(settings.sensorColourBars);
    // The FPGA's source and gamma stage.
    fpgaWrite(board, 0x1A, 3);
    fpgaWrite(board, 0x2B, 1);
    fpgaWrite(board, 0x2C, 5);
    settings = board.pictureSettings();
    EXPECT_EQ(settings.fpgaSource, 3);
    EXPECT_TRUE(settings.gammaOn);
    EXPECT_EQ(settings.gammaTable, nullptr);  // slot 5 not uploaded
    std::vector<uint16_t> table(1024);
    std::iota(table.begin(), table.end(), uint16_t{0});
    ASSERT_TRUE(board.setGammaTable(5, table));
    settings = board.pictureSettings();
    ASSERT_NE(settings.gammaTable, nullptr);
    EXPECT_EQ(settings.gammaTable[1023], 1023);
    fpgaWrite(board, 0x2C, 7);  // no such slot
    EXPECT_EQ(board.pictureSettings().gammaTable, nullptr);
}

TEST(BoardPictureSettings, FpgaFilterWritesSteadyTheFramesSent) {
    CameraBoard board(frameBoard(200), 0);
    sensorWrite(board, 0x3603, 0x03);  // manual exposure and gain: no loop at work
    // The mean change between two consecutive frames sent.
    const auto change = [&board] {
        Bytes frames[2];
        for (Bytes& frame : frames) {
            board.advanceClock(5ms);
            startBank(board, fpgaRead(board, 0x77));
            frame = bulkRead(board, 480000, 1000ms);
            EXPECT_EQ(frame.size(), 480000u);
        }
        return pictureframes::meanAbsoluteDifference(frames[0], frames[1]);
    };
    const double raw = change();
    fpgaWrite(board, 0x20, 1);
    EXPECT_TRUE(board.pictureSettings().medianFilter);
    const double median = change();
    EXPECT_LT(median, raw * 0.7);
    fpgaWrite(board, 0x21, 0x80);
    fpgaWrite(board, 0x27, 0x01);
    fpgaWrite(board, 0x7A, 0x01);  // the HDMI output: not the picture sent over USB
    const boardsim::PictureSettings settings = board.pictureSettings();
    EXPECT_TRUE(settings.motionCompensation);
    EXPECT_EQ(settings.dampening, 0x80);
    change();  // the first frame starts the history
    EXPECT_LT(change(), median * 0.2);
    fpgaWrite(board, 0x20, 0);
    fpgaWrite(board, 0x27, 0);
    EXPECT_NEAR(change(), raw, raw * 0.2);
}

TEST(BoardPictureSettings, WindowsAreKeptInsideTheFieldAndNonEmpty) {
    SensorController sensor;
    FpgaRegisterFile fpga(0x01, 0x30);
    // End before start.
    sensor.poke(0x4281, 200);
    sensor.poke(0x4282, 0x00);
    sensor.poke(0x4283, 100);
    // Start beyond the field, only 12 bits counted.
    sensor.poke(0x4284, 0xFF);
    sensor.poke(0x4285, 0xFF);
    sensor.poke(0x4286, 0x0F);
    sensor.poke(0x4287, 0xFF);
    const boardsim::PictureSettings settings = PictureSettingsReader::read(sensor, fpga, 2.0, 9);
    EXPECT_EQ(settings.windowX0, 200);
    EXPECT_EQ(settings.windowX1, 201);
    EXPECT_EQ(settings.windowY0, 399);
    EXPECT_EQ(settings.windowY1, 400);
    EXPECT_DOUBLE_EQ(settings.illumination, 1.0);
    EXPECT_EQ(settings.seed, 9u);
    EXPECT_DOUBLE_EQ(PictureSettingsReader::read(sensor, fpga, -1.0, 9).illumination, 0.0);
}

TEST(BoardPictureSettings, GammaSlotsHoldSevenTablesUntilTheFpgaResets) {
    FpgaRegisterFile fpga(0x01, 0x30);
    std::vector<uint16_t> table(1024, 0x3FF);
    for (int slot = 0; slot < FpgaRegisterFile::kGammaSlots; ++slot) {
        EXPECT_EQ(fpga.gammaTable(slot), nullptr);
    }
    EXPECT_FALSE(fpga.setGammaTable(7, table));
    EXPECT_FALSE(fpga.setGammaTable(-1, table));
    EXPECT_FALSE(fpga.setGammaTable(0, std::vector<uint16_t>(1023)));
    EXPECT_EQ(fpga.gammaTable(0), nullptr);
    ASSERT_TRUE(fpga.setGammaTable(6, table));
    const uint16_t* stored = fpga.gammaTable(6);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored[0], 0x3FF);
    table[0] = 5;
    ASSERT_TRUE(fpga.setGammaTable(6, table));  // refilled in place
    EXPECT_EQ(fpga.gammaTable(6), stored);
    EXPECT_EQ(stored[0], 5);
    EXPECT_EQ(fpga.gammaTable(7), nullptr);
    fpga.clearGammaTable(6);
    EXPECT_EQ(fpga.gammaTable(6), nullptr);
    ASSERT_TRUE(fpga.setGammaTable(2, table));
    fpga.reset();
    EXPECT_EQ(fpga.gammaTable(2), nullptr);
}

TEST(BoardPictureSettings, AverageIntensityFollowsTheFramesSent) {
    CameraBoard board(frameBoard(200), 0);
    board.setSensorRegister(0x4293, 0xEE);
    // Frames that are not sent are not rendered.
    board.advanceClock(100ms);
    EXPECT_EQ(sensorRead(board, 0x4293), 0xEE);
    // Manual exposure: a short one, then a long one.
    sensorWrite(board, 0x3603, 0x03);
    sensorWrite(board, 0x3601, 0x00);
    sensorWrite(board, 0x3602, 0x40);
    board.advanceClock(5ms);
    startBank(board, fpgaRead(board, 0x77));
    ASSERT_EQ(bulkRead(board, 480000, 1000ms).size(), 480000u);
    const int dim = sensorRead(board, 0x4293);
    EXPECT_NE(dim, 0xEE);
    sensorWrite(board, 0x3601, 0x04);
    sensorWrite(board, 0x3602, 0x00);
    board.advanceClock(5ms);
    startBank(board, fpgaRead(board, 0x77));
    ASSERT_EQ(bulkRead(board, 480000, 1000ms).size(), 480000u);
    const int bright = sensorRead(board, 0x4293);
    EXPECT_GT(bright, dim);
    // The host cannot write it.
    testing::internal::CaptureStderr();
    sensorWrite(board, 0x4293, 0x01);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sensorRead(board, 0x4293), bright);
}
