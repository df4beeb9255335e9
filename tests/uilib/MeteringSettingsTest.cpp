// Metering presets on disk: every setting written reads back equal, the words of the
// vocabularies, and files that are wrong or hostile.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "FileText.h"
#include "MeteringTable.h"
#include "ZoneWeightCodec.h"
#include "meteringDialog.h"

namespace {

using uitest::readAll;

// Every field differs from the built-in values.
MeteringRecord unusualRecord() {
    MeteringRecord record;
    std::strcpy(record.name, "Bright_Field-2");
    record.type = 1;
    record.mode = 2;
    record.autoZones = 1;
    record.startX = 120;
    record.startY = 7;
    record.size = 9;
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        record.zones[i] =
            MeteringZone{10 + i, 20 + i, 40 + 2 * i, 35 + i, static_cast<uint8_t>(15 - (i % 7))};
    }
    record.exposure = 12.75;
    record.aecModule = 1;
    record.gain = 3.5;
    record.agcModule = 1;
    record.target = 128;
    record.autoTarget = 1;
    record.upperLimit = 140;
    record.lowerLimit = 20;
    return record;
}

void expectSame(const MeteringRecord& a, const MeteringRecord& b) {
    EXPECT_STREQ(a.name, b.name);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.autoZones, b.autoZones);
    EXPECT_EQ(a.startX, b.startX);
    EXPECT_EQ(a.startY, b.startY);
    EXPECT_EQ(a.size, b.size);
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        EXPECT_EQ(a.zones[i].left, b.zones[i].left) << i;
        EXPECT_EQ(a.zones[i].top, b.zones[i].top) << i;
        EXPECT_EQ(a.zones[i].right, b.zones[i].right) << i;
        EXPECT_EQ(a.zones[i].bottom, b.zones[i].bottom) << i;
        EXPECT_EQ(a.zones[i].weight, b.zones[i].weight) << i;
    }
    EXPECT_EQ(a.exposure, b.exposure);
    EXPECT_EQ(a.aecModule, b.aecModule);
    EXPECT_EQ(a.gain, b.gain);
    EXPECT_EQ(a.agcModule, b.agcModule);
    EXPECT_EQ(a.target, b.target);
    EXPECT_EQ(a.autoTarget, b.autoTarget);
    EXPECT_EQ(a.upperLimit, b.upperLimit);
    EXPECT_EQ(a.lowerLimit, b.lowerLimit);
}

class MeteringSettingsTest : public testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string write(const char* name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    QTemporaryDir dir;
    meteringDialog dialog;
};

TEST(MeteringRecordDefaults, BoxesSitInAFourByFourGridWithTheMiddleWeighted) {
    const MeteringRecord record;
    EXPECT_STREQ(record.name, "Default");
    EXPECT_EQ(record.size, 2);
    EXPECT_EQ(record.startX, 90);
    EXPECT_EQ(record.upperLimit, 110);
    EXPECT_EQ(record.lowerLimit, 60);
    EXPECT_EQ(record.zones[0].left, 42);
    EXPECT_EQ(record.zones[0].top, 50);
    EXPECT_EQ(record.zones[15].left, 342);
    EXPECT_EQ(record.zones[15].top, 350);
    EXPECT_EQ(record.zones[6].right - record.zones[6].left, 28);
    EXPECT_EQ(record.zones[6].bottom - record.zones[6].top, 20);
    int weighted = 0;
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        weighted += record.zones[i].weight == 8 ? 1 : 0;
    }
    EXPECT_EQ(weighted, 6);
    EXPECT_EQ(record.zones[13].weight, 8);
    EXPECT_EQ(record.zones[12].weight, 0);
}

TEST_F(MeteringSettingsTest, EverySettingReadsBackEqual) {
    MeteringRecord written = unusualRecord();
    kxui::MeteringTable out(written);
    ASSERT_EQ(dialog.writeMeteringProference(path("m.txt"), out.entries()), 31);

    MeteringRecord read;
    kxui::MeteringTable in(read);
    EXPECT_EQ(dialog.readMeteringPreference(in.entries(), path("m.txt")), 31);
    expectSame(read, written);
}

TEST_F(MeteringSettingsTest, TheBuiltInRecordReadsBackEqual) {
    MeteringRecord written;
    kxui::MeteringTable out(written);
    ASSERT_EQ(dialog.writeMeteringProference(path("d.txt"), out.entries()), 31);
    MeteringRecord read = unusualRecord();
    kxui::MeteringTable in(read);
    EXPECT_EQ(dialog.readMeteringPreference(in.entries(), path("d.txt")), 31);
    expectSame(read, written);
}

TEST_F(MeteringSettingsTest, TheFirstWordOfEachVocabularyIsWrittenAndReadBack) {
    MeteringRecord written;
    written.type = 0;
    written.mode = 0;
    written.size = 0;
    written.aecModule = 0;
    written.agcModule = 0;
    kxui::MeteringTable out(written);
    ASSERT_GT(dialog.writeMeteringProference(path("m.txt"), out.entries()), 0);
    const std::string text = readAll(path("m.txt"));
    EXPECT_NE(text.find("METERING_TYPE:\t16-ZONES\n\n"), std::string::npos);
    EXPECT_NE(text.find("METERING_MODE:\tSPOT\n\n"), std::string::npos);
    EXPECT_NE(text.find("METERING_SIZE:\t16x16\n\n"), std::string::npos);
    EXPECT_NE(text.find("AEC_MODULE:\tX20\n\n"), std::string::npos);
    EXPECT_NE(text.find("AGC_MODULE:\tX20\n\n"), std::string::npos);

    MeteringRecord read = unusualRecord();
    kxui::MeteringTable in(read);
    dialog.readMeteringPreference(in.entries(), path("m.txt"));
    EXPECT_EQ(read.type, 0);
    EXPECT_EQ(read.mode, 0);
    EXPECT_EQ(read.size, 0);
    EXPECT_EQ(read.aecModule, 0);
    EXPECT_EQ(read.agcModule, 0);
}

TEST_F(MeteringSettingsTest, FileHoldsOneWordPerValueInTableOrder) {
    MeteringRecord written = unusualRecord();
    kxui::MeteringTable out(written);
    ASSERT_GT(dialog.writeMeteringProference(path("m.txt"), out.entries()), 0);
    const std::string text = readAll(path("m.txt"));
    EXPECT_EQ(text.rfind("METERING_NAME:\tBright_Field-2\n\nMETERING_TYPE:\t13-ZONES\n\n"
                         "METERING_MODE:\tMATRIX(EVALUATIVE)\n\nAUTO_ZONES:\tTRUE\n\n",
                         0),
              0u);
    EXPECT_NE(text.find("METERING_SIZE:\t400x400\n\nWEIGHT_00:\t00,10,20,30,15,15\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("WEIGHT_15:\t15,25,35,45,15,14\n\nEXPOSURE:"), std::string::npos);
    EXPECT_NE(text.find("\n\nLOWER_LIMIT:\t20\n\n"), std::string::npos);
}

TEST_F(MeteringSettingsTest, KeysMatchExactlyAndWordsKeepTheirCase) {
    MeteringRecord record;
    kxui::MeteringTable table(record);
    write("m.txt",
          "START_X:\t120\n\nstart_y:\t120\n\nMETERING_SIZE:\t400x400\n\n"
          "METERING_MODE:\tmatrix(evaluative)\n\nMETERING_TYPE:\t13-Zones\n\n");
    // Keys count as matched whether or not their value is a word of the vocabulary.
    EXPECT_EQ(dialog.readMeteringPreference(table.entries(), path("m.txt")), 4);
    EXPECT_EQ(record.startX, 120);
    EXPECT_EQ(record.startY, 90);
    EXPECT_EQ(record.size, 9);
    EXPECT_EQ(record.mode, 0);
    EXPECT_EQ(record.type, 0);
}

TEST_F(MeteringSettingsTest, TheCombosTextsAreNoWordsOfTheFile) {
    MeteringRecord record;
    kxui::MeteringTable table(record);
    write("m.txt",
          "METERING_SIZE:\t400 x 400\n\nMETERING_SIZE:\t16X16\n\n"
          "METERING_MODE:\tMATRIX (EVALUATIVE)\n\nMETERING_MODE:\tCENTER-AVERAGED\n\n");
    dialog.readMeteringPreference(table.entries(), path("m.txt"));
    EXPECT_EQ(record.size, 2);
    EXPECT_EQ(record.mode, 0);
}

TEST(MeteringCodecs, IndexesWithoutAWordAndNullFieldsGiveNothing) {
    int index = 8;
    EXPECT_EQ(meteringDialog::putSIZE(&index), "350x350");
    index = 10;
    EXPECT_EQ(meteringDialog::putSIZE(&index), "");
    index = -1;
    EXPECT_EQ(meteringDialog::putMODE(&index), "");
    EXPECT_EQ(meteringDialog::putTYPE(nullptr), "");
    EXPECT_EQ(meteringDialog::putWEIGHT(nullptr), "");
    meteringDialog::getMODULE(nullptr, "X30");
    meteringDialog::getWEIGHT(nullptr, "00,1,1,1,1,1");
    index = 0;
    meteringDialog::getMODULE(&index, "X30");
    EXPECT_EQ(index, 1);
    meteringDialog::getMODULE(&index, "X40");
    EXPECT_EQ(index, 1);
}

TEST(ZoneWeights, ABoxIsReadOnlyFromItsOwnLineWithinThePicture) {
    MeteringRecord record;
    kxui::ZoneWeightCodec::Field field{record.zones, 5};
    const MeteringZone before = record.zones[5];
    const char* refused[] = {
        "99,10,10,10,10,3",   // another box, outside the record
        "04,10,10,10,10,3",   // another box of the record
        "-1,10,10,10,10,3",   // no box
        "05,10,10,10,10,16",  // a weight above 4 bits
        "05,10,10,10,10,-1",  // a negative weight
        "05,-5,10,10,10,3",   // left of the picture
        "05,390,10,20,10,3",  // past its right edge
        "05,10,10,10,2147483647,3", "05,10,10,10,99999999999,3",
        "05,10,10,10,10",      // five numbers
        "05,10,10,10,10,3,1",  // seven
        "05,10,10,10,10,3x",        "05 10 10 10 10 3",          "",
    };
    for (const char* value : refused) {
        kxui::ZoneWeightCodec::get(&field, value);
        EXPECT_EQ(record.zones[5].left, before.left) << value;
        EXPECT_EQ(record.zones[5].weight, before.weight) << value;
        EXPECT_EQ(record.zones[5].bottom, before.bottom) << value;
    }
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        if (i != 5) {
            EXPECT_EQ(record.zones[i].left, MeteringRecord().zones[i].left);
        }
    }

    kxui::ZoneWeightCodec::get(&field, "5,0,400,400,0,15");
    EXPECT_EQ(record.zones[5].left, 0);
    EXPECT_EQ(record.zones[5].top, 400);
    EXPECT_EQ(record.zones[5].right, 400);
    EXPECT_EQ(record.zones[5].bottom, 400);
    EXPECT_EQ(record.zones[5].weight, 15);

    kxui::ZoneWeightCodec::Field outside{record.zones, 16};
    EXPECT_EQ(kxui::ZoneWeightCodec::put(&outside), "");
    kxui::ZoneWeightCodec::get(&outside, "16,1,1,1,1,1");
}

TEST_F(MeteringSettingsTest, AHostileFileIsReadSafely) {
    MeteringRecord record;
    kxui::MeteringTable table(record);
    const std::string longName(300, 'n');
    std::string text = "METERING_NAME:\t" + longName + "\n";
    text += "WEIGHT_05:\t99,1,1,1,1,1\nWEIGHT_99:\t99,1,1,1,1,1\nWEIGHT_06:\t06,1,1,1,1\n";
    text += "START_X:\t" + std::string(2000, '9') + "\n";
    text += "METERING_MODE:\t" + std::string(300, 'S') + "\n";
    text += std::string(5000, 'x') + "\n";
    text += "EXPOSURE:\tnan(" + std::string(400, '1') + ")\n";
    write("m.txt", text);
    dialog.readMeteringPreference(table.entries(), path("m.txt"));
    EXPECT_EQ(std::strlen(record.name), 255u);
    EXPECT_EQ(std::string(record.name), longName.substr(0, 255));
    EXPECT_EQ(record.zones[5].weight, 8);
    EXPECT_EQ(record.zones[6].left, 242);
    EXPECT_EQ(record.startX, 90);
    EXPECT_EQ(record.mode, 0);
}

}  // namespace
