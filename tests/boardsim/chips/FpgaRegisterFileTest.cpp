#include "chips/FpgaRegisterFile.h"

#include <gtest/gtest.h>

#include "chips/I2cMaster.h"

using boardsim::FpgaRegisterFile;
using Bytes = std::vector<uint8_t>;

TEST(FpgaRegisterFile, ResetShowsTheVersionReadyAndNoButtonHeld) {
    FpgaRegisterFile fpga(0x01, 0x30);
    EXPECT_EQ(i2cmaster::read(fpga, {0x00}, 2), (Bytes{0x30, 0x01}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0x0F}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x41}, 1), (Bytes{0x01}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x60}, 3), (Bytes{0x00, 0x00, 0x00}));
    // Bank 0 start address and a frame of 120000 words.
    EXPECT_EQ(i2cmaster::read(fpga, {0x63}, 7), (Bytes{0x00, 0x00, 0x80, 0x00, 0xC0, 0xD4, 0x01}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x21}, 1), (Bytes{0x40}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x27}, 1), (Bytes{0x00}));
}

TEST(FpgaRegisterFile, MultiByteAccessAutoIncrementsAndWrapsAfterFF) {
    FpgaRegisterFile fpga(0x02, 0x05);
    // An SPI window command: three bytes ending at register 0x94.
    EXPECT_TRUE(i2cmaster::write(fpga, {0x92, 0x00, 0x9F, 0x02}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x92}, 3), (Bytes{0x00, 0x9F, 0x02}));
    EXPECT_TRUE(i2cmaster::write(fpga, {0xFF, 0xAB}));
    EXPECT_EQ(i2cmaster::read(fpga, {0xFE}, 4), (Bytes{0x00, 0xAB, 0x05, 0x02}));
    // A read without a new pointer goes on after the last byte read.
    EXPECT_EQ(i2cmaster::readOn(fpga, 1), (Bytes{0x00}));
}

TEST(FpgaRegisterFile, ReadOnlyRegistersKeepTheirValueAndAreReportedOnce) {
    FpgaRegisterFile fpga(0x01, 0x30);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(fpga, {0x01, 0x99, 0x99, 0x99}));  // 0x01 to 0x03
    EXPECT_TRUE(i2cmaster::write(fpga, {0x01, 0x77}));
    EXPECT_TRUE(i2cmaster::write(fpga, {0x04, 0x00}));
    EXPECT_TRUE(i2cmaster::write(fpga, {0x62, 0x05}));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(i2cmaster::read(fpga, {0x00}, 4), (Bytes{0x30, 0x01, 0x99, 0x99}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0x0F}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x62}, 1), (Bytes{0x00}));
    EXPECT_EQ(log,
              "boardsim: fpga: write of 0x99 to read-only register 0x01 ignored\n"
              "boardsim: fpga: write of 0x00 to read-only register 0x04 ignored\n"
              "boardsim: fpga: write of 0x05 to read-only register 0x62 ignored\n");
    EXPECT_EQ(fpga.guestLog().count(), 4);
    // Plain registers store what is written.
    EXPECT_TRUE(i2cmaster::write(fpga, {0x2B, 0x01, 0x06}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x2B}, 2), (Bytes{0x01, 0x06}));
}

TEST(FpgaRegisterFile, SixteenBitAddressesWithAZeroHighByteReachTheSameRegisters) {
    FpgaRegisterFile fpga(0x01, 0x30);
    testing::internal::CaptureStderr();
    // Address 0x0067, then data: the 0x00 is the address's high byte, not a write to 0x00.
    EXPECT_TRUE(i2cmaster::write(fpga, {0x00, 0x67, 0x08, 0x09}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(i2cmaster::read(fpga, {0x67}, 2), (Bytes{0x08, 0x09}));
    EXPECT_EQ(fpga.guestLog().count(), 0);
    // A 16-bit-addressed read, and the 8-bit ones of registers 0x00 and 0x01 as before.
    EXPECT_EQ(i2cmaster::read(fpga, {0x00, 0x68}, 1), (Bytes{0x09}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x00}, 2), (Bytes{0x30, 0x01}));
    // Only the first byte can be a high byte: a later 0x00 is data.
    EXPECT_TRUE(i2cmaster::write(fpga, {0x2B, 0x00, 0x05}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x2B}, 2), (Bytes{0x00, 0x05}));
    // Address 0x0000 is register 0x00, read-only.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(i2cmaster::write(fpga, {0x00, 0x00, 0x77}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "boardsim: fpga: write of 0x77 to read-only register 0x00 ignored\n");
    EXPECT_EQ(i2cmaster::read(fpga, {0x00}, 1), (Bytes{0x30}));
}

TEST(FpgaRegisterFile, HeldButtonsClearTheirBitsOfTheStatusNibble) {
    FpgaRegisterFile fpga(0x01, 0x30);
    fpga.poke(FpgaRegisterFile::kRegBoardStatus, 0xA0);
    fpga.setButtonsHeld(0x08);  // photo
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0xA7}));
    fpga.setButtonsHeld(0x05);  // light-up and record
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0xAA}));
    fpga.setButtonsHeld(0xF0);  // no such buttons
    EXPECT_EQ(fpga.buttonsHeld(), 0x00);
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0xAF}));
    fpga.setButtonsHeld(0x02);
    fpga.reset();
    EXPECT_EQ(i2cmaster::read(fpga, {0x04}, 1), (Bytes{0x0D}));
}

TEST(FpgaRegisterFile, ResetRestoresRegistersAndSetVersionChangesTheVersionRegisters) {
    FpgaRegisterFile fpga(0x01, 0x30);
    EXPECT_TRUE(i2cmaster::write(fpga, {0x20, 0x01, 0x33}));
    fpga.setVersion(0x01, 0x2F);
    fpga.reset();
    EXPECT_EQ(i2cmaster::read(fpga, {0x00}, 2), (Bytes{0x2F, 0x01}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x20}, 2), (Bytes{0x00, 0x40}));
}

TEST(FpgaRegisterFile, HooksTakeOverReadsAndWritesOfTheirRegister) {
    FpgaRegisterFile fpga(0x01, 0x30);
    Bytes pulses;
    fpga.setWriteHook(FpgaRegisterFile::kRegStartPulse, [&](uint8_t reg, uint8_t value) {
        pulses.push_back(value);
        if (value == 1) {
            fpga.poke(FpgaRegisterFile::kRegTransferStatus, 0x04);
        }
        EXPECT_EQ(reg, FpgaRegisterFile::kRegStartPulse);
    });
    fpga.setReadHook(FpgaRegisterFile::kRegNewestBank,
                     [](uint8_t, uint8_t stored) { return static_cast<uint8_t>(stored | 0x02); });
    EXPECT_TRUE(i2cmaster::write(fpga, {0x61, 0x00}));
    EXPECT_TRUE(i2cmaster::write(fpga, {0x61, 0x01}));
    EXPECT_EQ(pulses, (Bytes{0x00, 0x01}));
    EXPECT_EQ(fpga.peek(FpgaRegisterFile::kRegStartPulse), 0x00);  // not stored
    EXPECT_EQ(i2cmaster::read(fpga, {0x61}, 2), (Bytes{0x00, 0x04}));
    EXPECT_EQ(i2cmaster::read(fpga, {0x77}, 1), (Bytes{0x02}));
    // A write hook on a read-only register lets the write through to the hook, unreported.
    fpga.setWriteHook(FpgaRegisterFile::kRegTransferStatus,
                      [&](uint8_t reg, uint8_t) { fpga.poke(reg, 0x00); });
    EXPECT_TRUE(i2cmaster::write(fpga, {0x62, 0xFF}));
    EXPECT_EQ(fpga.peek(FpgaRegisterFile::kRegTransferStatus), 0x00);
    EXPECT_EQ(fpga.guestLog().count(), 0);
    // Removing the hook brings the plain register back.
    fpga.setReadHook(FpgaRegisterFile::kRegNewestBank, nullptr);
    EXPECT_EQ(i2cmaster::read(fpga, {0x77}, 1), (Bytes{0x00}));
}
