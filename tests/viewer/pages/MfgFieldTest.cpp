// The manufacturing record's fields: what may be typed into each, what a whole field is, and
// how the text turns into the EEPROM's bytes and back.
#include <gtest/gtest.h>

#include <vector>

#include "MfgDateRule.h"
#include "MfgField.h"

namespace {

using hv::MfgDateRule;
using hv::MfgField;
using Verdict = MfgField::Verdict;

TEST(MfgDateRule, TheDayIsBoundByTheLengthOfItsMonth) {
    EXPECT_TRUE(MfgDateRule::fits("02-29-13"));
    EXPECT_FALSE(MfgDateRule::fits("02-30-13"));
    EXPECT_TRUE(MfgDateRule::fits("04-30-13"));
    EXPECT_FALSE(MfgDateRule::fits("04-31-13"));
    EXPECT_TRUE(MfgDateRule::fits("12-31-99"));
    EXPECT_FALSE(MfgDateRule::fits("11-31-12"));
    EXPECT_FALSE(MfgDateRule::fits("01-00-12"));
    EXPECT_TRUE(MfgDateRule::fits("01-31-12"));
    EXPECT_FALSE(MfgDateRule::fits("01-32-12"));
}

TEST(MfgDateRule, MonthsRunFromOneToTwelveAndBothSeparatorsAreTheSame) {
    EXPECT_FALSE(MfgDateRule::fits("00"));
    EXPECT_FALSE(MfgDateRule::fits("13"));
    EXPECT_FALSE(MfgDateRule::fits("2"));
    EXPECT_TRUE(MfgDateRule::fits("12/31/13"));
    EXPECT_FALSE(MfgDateRule::fits("12/31-13"));
    EXPECT_FALSE(MfgDateRule::fits("12-31/13"));
    EXPECT_FALSE(MfgDateRule::fits("12.31.13"));
    EXPECT_FALSE(MfgDateRule::fits("12-4"));
    EXPECT_FALSE(MfgDateRule::fits("12-31-1x"));
    EXPECT_FALSE(MfgDateRule::fits("12-31-130"));
}

TEST(MfgDateRule, ABeginningFitsWhileItCanStillBecomeADate) {
    for (const char* text : {"", "0", "1", "02", "02-", "02-3", "12/3", "12/31/", "12/31/1"}) {
        EXPECT_TRUE(MfgDateRule::fits(text)) << text;
    }
}

TEST(MfgField, HexFieldsHoldTwoDigitsAByteHighNibbleFirst) {
    const MfgField& id = MfgField::of(MfgField::BoardId);
    EXPECT_EQ(id.encode("DEADBEEF"), std::vector<int>({0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(id.encode("deadBEEF"), std::vector<int>({0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(id.decode({0x0A, 0x00, 0xF0, 0x01}), "0A00F001");
    EXPECT_EQ(id.check("0123456789abcdef"), Verdict::TooLong);
    EXPECT_EQ(id.check("abcdEF09"), Verdict::Fits);
    EXPECT_EQ(id.check("12G"), Verdict::Invalid);
    EXPECT_FALSE(id.valid("1234567"));
    EXPECT_TRUE(MfgField::of(MfgField::SerialNumber).valid("00000000"));
}

TEST(MfgField, TextFieldsHoldOneCharacterAByte) {
    const MfgField& date = MfgField::of(MfgField::Date);
    EXPECT_EQ(date.encode("03-14-13"), std::vector<int>({'0', '3', '-', '1', '4', '-', '1', '3'}));
    EXPECT_EQ(date.decode({'1', '1', '/', '3', '0', '/', '1', '2'}), "11/30/12");
    // A byte no rule allows (a blank EEPROM's 0xFF, a zero) stays in the text and makes it
    // invalid.
    const MfgField& revision = MfgField::of(MfgField::Revision);
    EXPECT_FALSE(revision.valid(revision.decode({0xFF})));
    EXPECT_FALSE(revision.valid(revision.decode({0x00})));
    EXPECT_TRUE(revision.valid(revision.decode({'c'})));
}

TEST(MfgField, RevisionsAreADigitOrALetterOfEitherCase) {
    const MfgField& revision = MfgField::of(MfgField::Revision);
    for (const char* text : {"0", "9", "a", "Z"}) {
        EXPECT_EQ(revision.check(text), Verdict::Fits) << text;
    }
    EXPECT_EQ(revision.check("#"), Verdict::Invalid);
    EXPECT_EQ(revision.check("AB"), Verdict::TooLong);
}

TEST(MfgField, ALocationIsTypedAsABeginningOfAKnownPlaceInCapitals) {
    const MfgField& location = MfgField::of(MfgField::Location);
    EXPECT_EQ(location.check("us"), Verdict::Invalid);
    EXPECT_EQ(location.check("u"), Verdict::Invalid);
    EXPECT_EQ(location.check("E"), Verdict::Fits);
    EXPECT_FALSE(location.valid("E"));
    EXPECT_EQ(location.check("EX"), Verdict::Invalid);
    EXPECT_EQ(location.check("USA"), Verdict::TooLong);
    for (const char* place : {"US", "CA", "CN", "MX", "EU"}) {
        EXPECT_TRUE(location.valid(place)) << place;
    }
}

}  // namespace
