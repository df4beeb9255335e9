// The board information page over simulated boards: the manufacturing record read from the
// EEPROM at 0x54 (defaults for fields that are not valid), the checks while a field is typed, a
// field written on return, and the update of the whole record with its read-back. Transfers are
// noted by a recording register port.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "BoardInfoTabPage.h"
#include "PageTest.h"
#include "SingleInstances.h"

using hvtest::PageBoards;

namespace {

const QString kTitle = QStringLiteral("Board Information Utility Tool");
const char* const kFields[] = {"leBoardId", "leBoardRev", "leBoardSerNo", "leBoardMfgLoc",
                               "leBoardMfgDate"};

class BoardInfoTabPage : public hvtest::PageTest<hv::BoardInfoTabPage> {
protected:
    // A valid record of the second board's own: 12345678, B, 0000ABCD, CA, 11/30/12.
    void loadSecond() {
        boards.setEeprom(PageBoards::Second, 0x00, {0x12, 0x34, 0x56, 0x78});
        boards.setEeprom(PageBoards::Second, 0x04, PageBoards::ascii("B"));
        boards.setEeprom(PageBoards::Second, 0x05, {0x00, 0x00, 0xAB, 0xCD});
        boards.setEeprom(PageBoards::Second, 0x09, PageBoards::ascii("CA11/30/12"));
    }
    // The page over the second board with that record, its transfers noted from then on.
    hv::BoardInfoTabPage& pageOverSecond() {
        loadSecond();
        hv::BoardInfoTabPage& page = pageOver({PageBoards::Second});
        port.clear();
        return page;
    }

    static QLineEdit& field(hv::BoardInfoTabPage& page, const char* name) {
        return widget<QLineEdit>(page, name);
    }
    // The five fields' texts, joined by "|".
    static QString shown(hv::BoardInfoTabPage& page) {
        QStringList texts;
        for (const char* name : kFields) {
            texts << field(page, name).text();
        }
        return texts.join('|');
    }
    // The operator empties the field and types keys into it.
    static void retype(QLineEdit& edit, const QString& keys) {
        edit.clear();
        QTest::keyClicks(&edit, keys);
    }
    static void enter(QLineEdit& edit) { QTest::keyClick(&edit, Qt::Key_Return); }
};

TEST_F(BoardInfoTabPage, TheFormCarriesTheNamedWidgetsAndTexts) {
    hv::BoardInfoTabPage& page = pageOver({});
    QStringList labels;
    for (const char* name : {"lbDevNoSel", "lbBoardId", "lbBoardRev", "lbBoardSerNo",
                             "lbBoardMfgLoc", "lbBoardMfgDate", "lbMacId"}) {
        labels << widget<QLabel>(page, name).text();
    }
    EXPECT_EQ(labels, QStringList({"Device#", "ID           [xxxxxxxx]",
                                   "Rev.                     [xx]", "SN          [xxxxxxxx]",
                                   "MFG Loc.         [US]", "Date  [mm-dd-yy]", "MAC ID"}));
    const QPushButton& update = widget<QPushButton>(page, "pbSetBoardInfo");
    EXPECT_EQ(update.text(), "Update Mfg Info");
    EXPECT_EQ(update.toolTip(), "Update Hardware Information");
    EXPECT_EQ(widget<QPushButton>(page, "pbGetBoardInfo").text(), "Retrieve Mfg Info");
}

TEST_F(BoardInfoTabPage, InitialisationShowsTheRecordTheBoardLeftTheFactoryWith) {
    hv::BoardInfoTabPage& page = pageOver({PageBoards::First, PageBoards::Second});
    EXPECT_EQ(shown(page), "42070001|C|13070001|US|03-14-13");
    for (const char* name : kFields) {
        EXPECT_FALSE(field(page, name).isReadOnly()) << name;
    }
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(BoardInfoTabPage, ABoardIdStoredAsDeAdBeEfIsShownAsDEADBEEF) {
    boards.setEeprom(PageBoards::Second, 0x00, {0xDE, 0xAD, 0xBE, 0xEF});
    hv::BoardInfoTabPage& page = pageOver({PageBoards::First, PageBoards::Second});
    widget<QComboBox>(page, "cbDevNoSel").setCurrentIndex(1);
    EXPECT_EQ(field(page, "leBoardId").text(), "DEADBEEF");
}

TEST_F(BoardInfoTabPage, FieldsThatAreNotValidOnTheBoardAreSetToDefaultsWithANotice) {
    loadSecond();
    boards.setEeprom(PageBoards::Second, 0x04, {0x00});
    boards.setEeprom(PageBoards::Second, 0x09, PageBoards::ascii("us02-30-13"));
    hv::BoardInfoTabPage& page = pageOver({PageBoards::Second});
    EXPECT_EQ(shown(page), "12345678|0|0000ABCD|US|01-01-12");
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"Information for the following fields are set to default:\nBoard "
                           "Rev\nBoard Loc\nBoard Date\n"}));
    EXPECT_EQ(prompts.messageTitles(), QStringList({kTitle}));
    // Nothing is written until the operator asks.
    EXPECT_EQ(boards.eeprom(PageBoards::Second, 0x04, 1), std::vector<int>({0x00}));
}

TEST_F(BoardInfoTabPage, WithoutDevicesTheFieldsStayReadOnlyAndNothingIsTransferred) {
    hv::BoardInfoTabPage& page = pageOver({});
    widget<QPushButton>(page, "pbGetBoardInfo").click();
    widget<QPushButton>(page, "pbSetBoardInfo").click();
    for (const char* name : kFields) {
        EXPECT_TRUE(field(page, name).isReadOnly()) << name;
        EXPECT_TRUE(field(page, name).text().isEmpty()) << name;
    }
    EXPECT_EQ(port.reads(), 0);
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(BoardInfoTabPage, ANinthHexDigitIsRefusedAndTheEightAreKept) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    QTest::keyClicks(&field(page, "leBoardId"), "9");
    EXPECT_EQ(field(page, "leBoardId").text(), "12345678");
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::Exceed maximum number of board ID hex digits... NOTE::Value "
                           "are reset back to original value....."}));
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(prompts.records()[0].title, kTitle);
}

TEST_F(BoardInfoTabPage, ACharacterAFieldDoesNotAllowIsRefusedWithTheFieldsHint) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    struct Case {
        const char* field;
        const char* typed;
        const char* kept;
        const char* message;
    };
    const Case cases[] = {
        {"leBoardId", "12G", "12",
         "ERROR::Invalid board ID value ...\n NOTE::Valid board ID value are [0x00000000 to "
         "0xFFFFFFFF] in hex\n NOTE::Value are reset back to original value....."},
        {"leBoardRev", "#", "",
         "ERROR::Invalid revision vlaue ...\nNOTE::Valid revision value are \"1-9\", \"a-z\", or "
         "\"A-Z\"\nNOTE::Value is reset back to original value....."},
        {"leBoardSerNo", "0x", "0",
         "ERROR::Invalid board serial number value ...\n NOTE::Valid board serial number value "
         "are [0x00000000 to 0xFFFFFFFF] in hex\nNOTE::Value is reset back to original "
         "value....."},
        {"leBoardMfgLoc", "u", "",
         "ERROR::Invalid MFG location value ...\nNOTE::Valid MFG location value are [US], [CA], "
         "[CN], [MX], [EU]\nNOTE::MFG location value are reset back to [US]....."},
        {"leBoardMfgDate", "12/31-", "12/31",
         "ERROR::Invalid MFG date vlaue ...\nNOTE::Valid MFG date value are "
         "[mm-dd-yy]\nNOTE::Value is reset back to original value....."},
    };
    for (const Case& c : cases) {
        const auto before = prompts.records().size();
        retype(field(page, c.field), c.typed);
        EXPECT_EQ(field(page, c.field).text(), c.kept) << c.field;
        ASSERT_EQ(prompts.records().size(), before + 1) << c.field;
        EXPECT_EQ(prompts.records().back().text, c.message) << c.field;
    }
    EXPECT_TRUE(port.writes().isEmpty());
}

TEST_F(BoardInfoTabPage, TypedDatesFollowTheLengthsOfTheMonths) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    QLineEdit& date = field(page, "leBoardMfgDate");
    retype(date, "02-30");
    EXPECT_EQ(date.text(), "02-3");
    EXPECT_EQ(prompts.messageTexts().size(), 1);
    retype(date, "02-29-13");
    EXPECT_EQ(date.text(), "02-29-13");
    EXPECT_EQ(prompts.messageTexts().size(), 1);
    enter(date);
    EXPECT_EQ(boards.eeprom(PageBoards::Second, 0x0B, 8), PageBoards::ascii("02-29-13"));
}

TEST_F(BoardInfoTabPage, ReturnWritesAWholeFieldAndRefusesAPartOne) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    QLineEdit& location = field(page, "leBoardMfgLoc");
    retype(location, "E");
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    enter(location);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::Board MFG location string should be 2 characters..."}));
    EXPECT_TRUE(port.writes().isEmpty());

    QTest::keyClicks(&location, "U");
    enter(location);
    EXPECT_EQ(port.writes(), QStringList({"54 09 45", "54 0a 55"}));

    port.clear();
    QLineEdit& serial = field(page, "leBoardSerNo");
    retype(serial, "DEADBEEF");
    enter(serial);
    EXPECT_EQ(port.writes(), QStringList({"54 05 de", "54 06 ad", "54 07 be", "54 08 ef"}));
    EXPECT_EQ(boards.eeprom(PageBoards::Second, 0x05, 4),
              std::vector<int>({0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(prompts.messageTexts().size(), 1);
}

TEST_F(BoardInfoTabPage, UpdateWritesTheWholeRecordAndConfirmsItReadsBack) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    retype(field(page, "leBoardId"), "c0ffee01");
    retype(field(page, "leBoardRev"), "d");
    retype(field(page, "leBoardSerNo"), "DEADBEEF");
    retype(field(page, "leBoardMfgLoc"), "MX");
    retype(field(page, "leBoardMfgDate"), "12/31/13");
    widget<QPushButton>(page, "pbSetBoardInfo").click();
    EXPECT_EQ(port.writes(),
              QStringList({"54 00 c0", "54 01 ff", "54 02 ee", "54 03 01", "54 04 64", "54 05 de",
                           "54 06 ad", "54 07 be", "54 08 ef", "54 09 4d", "54 0a 58", "54 0b 31",
                           "54 0c 32", "54 0d 2f", "54 0e 33", "54 0f 31", "54 10 2f", "54 11 31",
                           "54 12 33"}));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"NOTE::Board information saved and verified....."}));
    EXPECT_EQ(prompts.records().back().icon, QMessageBox::Information);

    // The board holds the record: read again, it shows as written.
    hv::SingleInstances::destroyAll();
    EXPECT_EQ(shown(pageOver({PageBoards::Second})), "C0FFEE01|d|DEADBEEF|MX|12/31/13");
}

TEST_F(BoardInfoTabPage, UpdateWithOneFieldNotWholeWritesNothing) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    retype(field(page, "leBoardSerNo"), "DEADBEEF");
    field(page, "leBoardRev").clear();
    widget<QPushButton>(page, "pbSetBoardInfo").click();
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::The size of board revision should be 1 character...",
                           "One or more field contains invalid data.  Data not saved. Please try "
                           "again."}));
    EXPECT_EQ(prompts.messageTitles(), QStringList({kTitle, "Invalid Data Entere"}));
    EXPECT_EQ(boards.eeprom(PageBoards::Second, 0x05, 4),
              std::vector<int>({0x00, 0x00, 0xAB, 0xCD}));
}

TEST_F(BoardInfoTabPage, AnUpdateTheEepromDoesNotTakeIsReportedWithEveryFieldNamed) {
    hv::BoardInfoTabPage& page = pageOver({PageBoards::SilentEeprom});
    // The silent part reads as the bridge's filler, 0xCD: hex fields take it, the others fail.
    EXPECT_EQ(shown(page), "CDCDCDCD|0|CDCDCDCD|US|01-01-12");
    retype(field(page, "leBoardId"), "DEADBEEF");
    retype(field(page, "leBoardSerNo"), "00000001");
    port.clear();
    widget<QPushButton>(page, "pbSetBoardInfo").click();
    EXPECT_EQ(port.writes().size(), 19);
    ASSERT_EQ(prompts.messageTexts().size(), 2);
    EXPECT_EQ(prompts.messageTexts().last(),
              "ERROR::Fail to save board information. The following fields do not read back as "
              "written:\nBoard ID\nBoard Rev\nBoard Ser No\nBoard Loc\nBoard Date\n");
    EXPECT_EQ(prompts.records().back().icon, QMessageBox::Warning);
    EXPECT_EQ(prompts.records().back().title, kTitle);
}

TEST_F(BoardInfoTabPage, AnUpdateThatLosesOneByteNamesOnlyItsField) {
    hv::BoardInfoTabPage& page = pageOverSecond();
    retype(field(page, "leBoardMfgLoc"), "EU");
    port.loseWritesTo(PageBoards::kMfgEeprom, 0x0A);
    widget<QPushButton>(page, "pbSetBoardInfo").click();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::Fail to save board information. The following fields do not "
                           "read back as written:\nBoard Loc\n"}));
    EXPECT_EQ(boards.eeprom(PageBoards::Second, 0x09, 2), PageBoards::ascii("EA"));
}

}  // namespace
