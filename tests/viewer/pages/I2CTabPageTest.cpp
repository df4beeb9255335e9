// The I2C page over simulated boards: the device types, a custom device with 16-bit register
// addresses, and failures that show as failures instead of register values.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "I2CTabPage.h"
#include "LedBoards.h"
#include "SingleInstances.h"

using hvtest::LedBoards;

namespace {

class I2CTabPage : public testing::Test {
protected:
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    hv::I2CTabPage& pageOver(LedBoards::Board board) {
        CamContext* handle = boards.open(board);
        hv::I2CTabPage* page = hv::I2CTabPage::instance();
        EXPECT_NE(page, nullptr);
        page->initialise(nullptr, 1, {QString::fromStdString(boards.name(board))}, {handle});
        return *page;
    }
    template <class Widget>
    static Widget& widget(hv::I2CTabPage& page, const char* name) {
        auto* found = page.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static void choose(hv::I2CTabPage& page, const char* type) {
        auto& types = widget<QComboBox>(page, "cbI2CDevType");
        types.setCurrentIndex(types.findText(QString::fromLatin1(type)));
    }
    static void type(hv::I2CTabPage& page, const char* field, const char* text) {
        widget<QLineEdit>(page, field).setText(QString::fromLatin1(text));
    }
    static void press(hv::I2CTabPage& page, const char* button) {
        widget<QPushButton>(page, button).click();
    }

    LedBoards boards;
};

}  // namespace

TEST_F(I2CTabPage, AKnownTypeFixesItsIdAndAChangeOfTypeClearsAddressAndData) {
    hv::I2CTabPage& page = pageOver(LedBoards::WithPca9633);
    auto& id = widget<QLineEdit>(page, "leI2CBoardId");
    EXPECT_EQ(id.text(), "35");  // the sensor controller comes first
    EXPECT_FALSE(id.isEnabled());
    EXPECT_EQ(page.deviceEntry(), 0x135);
    type(page, "leI2CRegAddr", "3003");
    type(page, "leI2CRegData", "20");
    choose(page, "FPGA");
    EXPECT_EQ(id.text(), "3c");
    EXPECT_FALSE(id.isEnabled());
    EXPECT_EQ(page.deviceEntry(), 0x03C);
    EXPECT_EQ(widget<QLineEdit>(page, "leI2CRegAddr").text(), "0000");
    EXPECT_EQ(widget<QLineEdit>(page, "leI2CRegData").text(), "0000");
    EXPECT_EQ(page.registerAddress(), 0);
    EXPECT_EQ(page.registerData(), 0);
    choose(page, "Custom_08");
    EXPECT_TRUE(id.isEnabled());
}

TEST_F(I2CTabPage, ACustomDeviceIsReadAndWrittenWithItsAddressWidth) {
    hv::I2CTabPage& page = pageOver(LedBoards::WithPca9633);
    CamContext* handle = page.handleAt(0);
    // The boot EEPROM at 0x51 takes 16-bit register addresses.
    choose(page, "Custom_16");
    type(page, "leI2CBoardId", "51");
    EXPECT_EQ(page.deviceEntry(), 0x151);
    type(page, "leI2CRegAddr", "0102");
    type(page, "leI2CRegData", "5a");
    press(page, "pbSetI2CRegData");
    int value = -1;
    ASSERT_EQ(readRegister(handle, 0x51, 0x0102, &value, 1), 1);
    EXPECT_EQ(value, 0x5A);
    ASSERT_EQ(writeRegister(handle, 0x51, 0x0102, 0xA7, 1), 1);
    press(page, "pbGetI2CRegData");
    EXPECT_EQ(widget<QLineEdit>(page, "leI2CRegData").text(), "a7");
    EXPECT_EQ(page.registerData(), 0xA7);
    EXPECT_EQ(widget<QLabel>(page, "lbI2CStatus").text(), "Read device 51, register 0102: a7");

    // The same id with 8-bit addresses is another register.
    choose(page, "Custom_08");
    type(page, "leI2CBoardId", "3c");
    type(page, "leI2CRegAddr", "21");
    type(page, "leI2CRegData", "40");
    press(page, "pbSetI2CRegData");
    ASSERT_EQ(readRegister(handle, 0x3C, 0x21, &value, 0), 1);
    EXPECT_EQ(value, 0x40);
}

TEST_F(I2CTabPage, AFailedTransferIsShownAsAFailureNotAsAValue) {
    hv::I2CTabPage& unreachable = pageOver(LedBoards::Unreachable);
    choose(unreachable, "FPGA");
    press(unreachable, "pbGetI2CRegData");
    EXPECT_EQ(widget<QLineEdit>(unreachable, "leI2CRegData").text(), "--");
    EXPECT_EQ(widget<QLabel>(unreachable, "lbI2CStatus").text(),
              "Reading device 3c, register 00 failed");
    hv::SingleInstances::destroyAll();

    // A part that does not acknowledge refuses the write.
    hv::I2CTabPage& silent = pageOver(LedBoards::Silent);
    choose(silent, "LED Dimmer");
    type(silent, "leI2CRegData", "11");
    press(silent, "pbSetI2CRegData");
    EXPECT_EQ(widget<QLabel>(silent, "lbI2CStatus").text(),
              "Writing 11 to device 62, register 00 failed");
}
