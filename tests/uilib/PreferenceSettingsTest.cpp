// Preference presets on disk: every setting written reads back equal (names with blanks and
// per cent signs included), the channel outputs, and long or hostile values.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "FileText.h"
#include "LongTextCodec.h"
#include "PreferenceTable.h"
#include "preferenceDialog.h"

namespace {

using uitest::readAll;

class PreferenceSettingsTest : public testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
    preferenceDialog dialog;
};

TEST_F(PreferenceSettingsTest, EverySettingReadsBackEqual) {
    PreferenceRecord written;
    std::strcpy(written.name, "Pig Lab");
    std::strcpy(written.agcSettings, "Bright_Field");
    std::strcpy(written.gammaSettings, "Lookup1024_2");
    std::strcpy(written.colorSettings, "Pig Lung");
    std::strcpy(written.illuminationSettings, "100%");
    std::strcpy(written.sharpnessSettings, "Soft\tedge 50%20");
    written.flatFieldCorrection = 1;
    written.geometricCorrection = 1;
    written.motionCompensation = 1;
    written.medianFilter = 1;
    written.hdmiOutput = 1;
    written.channelOutput = PreferenceRecord::kColorBarX20;
    ASSERT_EQ(dialog.writeProference(path("p.txt"), kxui::PreferenceTable(written).entries()), 12);

    PreferenceRecord read;
    EXPECT_EQ(dialog.readProference(kxui::PreferenceTable(read).entries(), path("p.txt")), 12);
    EXPECT_STREQ(read.name, "Pig Lab");
    EXPECT_STREQ(read.agcSettings, "Bright_Field");
    EXPECT_STREQ(read.gammaSettings, "Lookup1024_2");
    EXPECT_STREQ(read.colorSettings, "Pig Lung");
    EXPECT_STREQ(read.illuminationSettings, "100%");
    EXPECT_STREQ(read.sharpnessSettings, "Soft\tedge 50%20");
    EXPECT_EQ(read.flatFieldCorrection, 1);
    EXPECT_EQ(read.geometricCorrection, 1);
    EXPECT_EQ(read.motionCompensation, 1);
    EXPECT_EQ(read.medianFilter, 1);
    EXPECT_EQ(read.hdmiOutput, 1);
    EXPECT_EQ(read.channelOutput, PreferenceRecord::kColorBarX20);

    const std::string text = readAll(path("p.txt"));
    EXPECT_EQ(
        text.rfind("PREFERENCE_NAME:\t\t\tPig%20Lab\n\nAGC_SETTINGS:\t\t\tBright_Field\n\n", 0),
        0u);
    EXPECT_NE(text.find("ILLUMINATION_SETTINGS:\t\t\t100%25\n\n"), std::string::npos);
    EXPECT_NE(text.find("MEIDAN_FILTER:\t\t\tTRUE\n\n"), std::string::npos);
    EXPECT_NE(text.find("CHANNEL_OUTPUT:\t\t\tCOLORBAR_X20\n\n"), std::string::npos);
}

TEST_F(PreferenceSettingsTest, EveryChannelOutputReadsBackAndImageDataIsTheDefault) {
    EXPECT_EQ(PreferenceRecord().channelOutput, PreferenceRecord::kImageData);
    const std::pair<uint8_t, const char*> outputs[] = {
        {1, "IMAGEDATA"}, {2, "PATTERN"}, {4, "COLORBAR_MCU"}, {8, "COLORBAR_X20"}};
    for (const auto& [value, word] : outputs) {
        uint8_t field = value;
        EXPECT_EQ(preferenceDialog::putChannelOutput(&field), word);
        field = value == 1 ? 8 : 1;
        preferenceDialog::getChannelOutput(&field, word);
        EXPECT_EQ(field, value) << word;
    }
    uint8_t field = 3;
    EXPECT_EQ(preferenceDialog::putChannelOutput(&field), "");
    preferenceDialog::getChannelOutput(&field, "imagedata");
    EXPECT_EQ(field, 3);
    EXPECT_EQ(preferenceDialog::putChannelOutput(nullptr), "");
    preferenceDialog::getChannelOutput(nullptr, "PATTERN");
}

TEST_F(PreferenceSettingsTest, AFileWithoutTheChannelOutputLeavesItAsItWas) {
    std::ofstream(path("p.txt")) << "HDMI_OUTPUT:\t\t\tTRUE\n\n";
    PreferenceRecord record;
    record.channelOutput = PreferenceRecord::kPattern;
    EXPECT_EQ(dialog.readProference(kxui::PreferenceTable(record).entries(), path("p.txt")), 1);
    EXPECT_EQ(record.channelOutput, PreferenceRecord::kPattern);
    EXPECT_EQ(record.hdmiOutput, 1);
}

TEST_F(PreferenceSettingsTest, LongNamesAreCutAt255BytesOfWholeCharacters) {
    PreferenceRecord record;
    const std::string ascii(300, 'a');
    // 127 two-byte characters: the 128th would end at byte 256.
    std::string accented;
    for (int i = 0; i < 150; ++i) {
        accented += "\xC3\xA9";
    }
    std::ofstream(path("p.txt")) << "AGC_SETTINGS:\t" << ascii << "\nCOLOR_SETTINGS:\t" << accented
                                 << "\nGAMMATABLE_SETTINGS:\t" << std::string(1500, 'g') << "\n";
    dialog.readProference(kxui::PreferenceTable(record).entries(), path("p.txt"));
    EXPECT_EQ(std::string(record.agcSettings), ascii.substr(0, 255));
    EXPECT_EQ(std::strlen(record.colorSettings), 254u);
    EXPECT_EQ(std::string(record.gammaSettings), std::string(255, 'g'));
}

TEST(LongText, EscapesWhatASettingsWordCannotHold) {
    char field[PreferenceRecord::kNameSize] = "";
    EXPECT_EQ(kxui::LongTextCodec::put(field), "%00");
    std::strcpy(field, "keep");
    kxui::LongTextCodec::get(field, "%00");
    EXPECT_STREQ(field, "");

    kxui::LongTextCodec::get(field, "a%2fb%");
    EXPECT_STREQ(field, "a/b%");
    kxui::LongTextCodec::get(field, "100%");
    EXPECT_STREQ(field, "100%");
    kxui::LongTextCodec::get(field, "%zz%4");
    EXPECT_STREQ(field, "%zz%4");
    kxui::LongTextCodec::get(field, "cut%00here");
    EXPECT_STREQ(field, "cut");

    std::strcpy(field, "a b\x7f%\x01");
    EXPECT_EQ(kxui::LongTextCodec::put(field), "a%20b%7F%25%01");

    // A field of 256 bytes without a NUL is written as its first 255.
    std::memset(field, 'z', sizeof field);
    EXPECT_EQ(kxui::LongTextCodec::put(field), std::string(255, 'z'));
    kxui::LongTextCodec::get(nullptr, "x");
    EXPECT_EQ(kxui::LongTextCodec::put(nullptr), "");
}

}  // namespace
