// The account store's rules, digest and codes on files in a fresh folder per test.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "LoginStore.h"
#include "LoginTestFiles.h"
#include "TempDir.h"

using namespace hv;
using namespace logintest;

namespace {

// The texts of the list that the rule of mode accepts.
std::vector<std::string> accepted(int mode, std::initializer_list<const char*> texts) {
    std::vector<std::string> result;
    for (const char* text : texts) {
        if (isValidLoginText(text, mode)) {
            result.emplace_back(text);
        }
    }
    return result;
}

}  // namespace

TEST(LoginRules, UserNamesOfThreeToFifteenLegalCharacters) {
    EXPECT_EQ(accepted(0, {"abc", "ab-_9", "ABCDEFGHIJKLMN5", "ABCDEFGHIJKLMN56", "ab", "",
                           "bob smith", "bob.", ".bob", "Zz_-09"}),
              (std::vector<std::string>{"abc", "ab-_9", "ABCDEFGHIJKLMN5", "Zz_-09"}));
    EXPECT_FALSE(isValidLoginText(nullptr, 0));
}

TEST(LoginRules, PasswordsOfFiveToTwentyLegalCharacters) {
    EXPECT_EQ(accepted(1, {"abcd", "abcde", "abcdefghij-_6789ABCD", "abcdefghij-_6789ABCDE",
                           "abcde!", "abc\xe9z"}),
              (std::vector<std::string>{"abcde", "abcdefghij-_6789ABCD"}));
}

TEST(LoginRules, AnOverlongTextFailsWhateverFollows) {
    const std::string longName(5000, 'a');
    EXPECT_FALSE(isValidLoginText(longName.c_str(), 0));
    EXPECT_FALSE(isValidLoginText(longName.c_str(), 1));
    char line[kLoginLineBytes];
    EXPECT_EQ(makeLoginLine(longName.c_str(), "secret", 0, line), kLoginBadName);
    EXPECT_EQ(makeLoginLine("admin", longName.c_str(), 0, line), kLoginBadPassword);
}

TEST(LoginRules, OnlyModesZeroAndOneExist) {
    EXPECT_FALSE(isValidLoginText("abcdef", 2));
    EXPECT_FALSE(isValidLoginText("abcdef", -1));
}

TEST(LoginRules, TypeNamesMatchExactly) {
    EXPECT_EQ(userTypeIndex("Operator"), 0);
    EXPECT_EQ(userTypeIndex("Support"), 1);
    EXPECT_EQ(userTypeIndex("Admin"), 2);
    EXPECT_EQ(userTypeIndex("admin"), kLoginNoSuchType);
    EXPECT_EQ(userTypeIndex("Admin "), kLoginNoSuchType);
    EXPECT_EQ(userTypeIndex(""), kLoginNoSuchType);
    EXPECT_EQ(userTypeIndex(nullptr), kLoginNoSuchType);
}

TEST(LoginDigest, LinesEqualTheOnesWorkedOutByHand) {
    struct Case {
        const char* name;
        const char* password;
        int type;
        std::string_view expected;
    };
    for (const Case& c :
         {Case{"admin", "secret", 2, kAdminLine}, Case{"Bob", "hunter22", 1, kBobSupportLine},
          Case{"op_15-charsXYZ9", "abcdefghijklmnopqrst", 0, kLongOperatorLine},
          Case{"ab-_9", "passw", 0, kShortOperatorLine}}) {
        char line[kLoginLineBytes];
        std::memset(line, 'x', sizeof line);
        ASSERT_EQ(makeLoginLine(c.name, c.password, c.type, line), c.type) << c.name;
        EXPECT_EQ(std::string(line), std::string(c.expected) + "\n") << c.name;

        char digest[65];
        ASSERT_EQ(makeLoginDigest(c.name, c.password, c.type, digest), c.type);
        EXPECT_EQ(std::string(digest), std::string(c.expected.substr(16))) << c.name;
    }
}

TEST(LoginDigest, EachTypeGivesAnotherLine) {
    const std::string operatorLine = lineOf("Bob", "hunter22", 0);
    const std::string adminLine = lineOf("Bob", "hunter22", 2);
    EXPECT_EQ(operatorLine.size(), 80u);
    EXPECT_NE(operatorLine, kBobSupportLine);
    EXPECT_NE(adminLine, kBobSupportLine);
    EXPECT_NE(operatorLine, adminLine);
    EXPECT_EQ(operatorLine.substr(0, 16), kBobSupportLine.substr(0, 16));
}

TEST(LoginDigest, RuleFailuresWriteNothing) {
    char line[kLoginLineBytes];
    std::memset(line, 'x', sizeof line);
    EXPECT_EQ(makeLoginLine("ab", "abcd", 0, line), kLoginBadName);
    EXPECT_EQ(makeLoginLine("abc", "abcd", 0, line), kLoginBadPassword);
    EXPECT_EQ(makeLoginLine("abc", "abcde", 3, line), kLoginNoSuchType);
    EXPECT_EQ(makeLoginLine("abc", "abcde", -1, line), kLoginNoSuchType);
    EXPECT_EQ(line[0], 'x');
}

class LoginStoreFile : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(LoginStoreFile, AddingCreatesTheFileWithOneCrLfLine) {
    EXPECT_EQ(addLoginUser(kFile, "admin", "secret", "Admin"), 2);
    EXPECT_EQ(addLoginUser(kFile, "Bob", "hunter22", "Support"), 1);
    EXPECT_EQ(m_dir.read(kFile), joined({kAdminLine, kBobSupportLine}));
}

TEST_F(LoginStoreFile, AddingRefusesBadTypesNamesAndPasswordsBeforeTheFile) {
    EXPECT_EQ(addLoginUser(kFile, "admin", "secret", "admin"), kLoginNoSuchType);
    EXPECT_EQ(addLoginUser(kFile, "admin", "secret", nullptr), kLoginNoSuchType);
    EXPECT_EQ(addLoginUser(kFile, "ad", "secret", "Admin"), kLoginBadName);
    EXPECT_EQ(addLoginUser(kFile, "admin", "secr", "Admin"), kLoginBadPassword);
    EXPECT_FALSE(exists(kFile));
}

TEST_F(LoginStoreFile, AUserNameExistsOnceWhateverTheType) {
    ASSERT_EQ(addLoginUser(kFile, "Bobby", "hunter22", "Support"), 1);
    EXPECT_EQ(addLoginUser(kFile, "Bob", "hunter22", "Support"), 1);
    EXPECT_EQ(addLoginUser(kFile, "Bob", "other-pw", "Operator"), kLoginUserExists);
    EXPECT_EQ(addLoginUser(kFile, "Bob", "hunter22", "Support"), kLoginUserExists);
    EXPECT_EQ(addLoginUser(kFile, "Bobby", "hunter22", "Admin"), kLoginUserExists);
    EXPECT_EQ(addLoginUser(kFile, "bob", "hunter22", "Admin"), 2);
    EXPECT_EQ(m_dir.read(kFile), joined({lineOf("Bobby", "hunter22", 1), kBobSupportLine,
                                         lineOf("bob", "hunter22", 2)}));
}

TEST_F(LoginStoreFile, AddingAfterALastLineWithoutLineEndStartsANewLine) {
    writeFile(kFile, kBobSupportLine);
    ASSERT_EQ(addLoginUser(kFile, "admin", "secret", "Admin"), 2);
    EXPECT_EQ(m_dir.read(kFile), joined({kBobSupportLine, kAdminLine}));
}

TEST_F(LoginStoreFile, VerifyingNeedsTheFile) {
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), kLoginCannotOpen);
    writeFile(kFile, "");
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), kLoginNoMatch);
}

TEST_F(LoginStoreFile, VerifyingChecksTheRulesBeforeTheFile) {
    EXPECT_EQ(verifyLogin(kFile, "ad", "secret"), kLoginBadName);
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret!"), kLoginBadPassword);
}

TEST_F(LoginStoreFile, VerifyingGivesTheTypeOfTheAccount) {
    writeFile(kFile, joined({kShortOperatorLine, kBobSupportLine, kAdminLine}));
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), 2);
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
    EXPECT_EQ(verifyLogin(kFile, "ab-_9", "passw"), 0);
    EXPECT_EQ(verifyLogin(kFile, "admin", "Secret"), kLoginNoMatch);
    EXPECT_EQ(verifyLogin(kFile, "Admin", "secret"), kLoginNoMatch);
    EXPECT_EQ(verifyLogin(kFile, "Bobby", "hunter22"), kLoginNoMatch);
}

TEST_F(LoginStoreFile, TheFirstMatchingLineInFileOrderWins) {
    const std::string bobAdmin = lineOf("Bob", "hunter22", 2);
    const std::string bobOperator = lineOf("Bob", "hunter22", 0);
    writeFile(kFile, joined({kAdminLine, bobAdmin, kBobSupportLine, bobOperator}));
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 2);
    writeFile(kFile, joined({kBobSupportLine, bobOperator, bobAdmin}));
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
}

TEST_F(LoginStoreFile, LfAndCrLfLinesAreReadAlike) {
    writeFile(kFile, joined({kAdminLine, kBobSupportLine}, "\n"));
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
    writeFile(kFile, joined({kAdminLine}, "\n") + joined({kBobSupportLine}, "\r\n"));
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), 2);
    writeFile(kFile, std::string(kBobSupportLine) + "\r\r\n");
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), kLoginNoMatch);
}

TEST_F(LoginStoreFile, AnOverlongLineIsOneLineThatMatchesNothing) {
    // An account line at the end of a longer line, whatever a reader's buffer size, is no line
    // of its own.
    for (std::size_t junk = 1; junk <= 300; ++junk) {
        writeFile(kFile, std::string(junk, 'x') + std::string(kAdminLine) + "\n");
        ASSERT_EQ(verifyLogin(kFile, "admin", "secret"), kLoginNoMatch) << junk;
    }
    // An account line at the start of a longer line either; the account after it, across the
    // 4096th byte, is still found.
    writeFile(kFile, std::string(kAdminLine) + std::string(4090, 'x') + "\r\n" +
                         std::string(kBobSupportLine) + "\r\n");
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), kLoginNoMatch);
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
    EXPECT_EQ(removeLoginUser(kFile, "admin", "secret", "Admin"), kLoginNoSuchUser);
    EXPECT_EQ(removeLoginUser(kFile, "Bob", "hunter22", "Support"), 1);
    EXPECT_EQ(m_dir.read(kFile), "");
}

TEST_F(LoginStoreFile, RemovingByNameRemovesEveryLineOfTheName) {
    const std::string bobOperator = lineOf("Bob", "other-pw", 0);
    writeFile(kFile, joined({kBobSupportLine, kAdminLine, bobOperator, kShortOperatorLine,
                             lineOf("Bobby", "hunter22", 2)},
                            "\n"));
    EXPECT_EQ(removeLoginUser(kFile, "Bob", nullptr, nullptr), 0);
    EXPECT_EQ(m_dir.read(kFile),
              joined({kAdminLine, kShortOperatorLine, lineOf("Bobby", "hunter22", 2)}));
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginStoreFile, RemovingDropsLinesThatAreNotEightyCharacters) {
    writeFile(kFile, "short line\r\n" + std::string(kAdminLine) + "\r\n" + std::string(kAdminLine) +
                         "x\r\n\r\n" + std::string(kBobSupportLine) + "\n" +
                         std::string(kLongOperatorLine));
    EXPECT_EQ(removeLoginUser(kFile, "Bob", nullptr, nullptr), 0);
    EXPECT_EQ(m_dir.read(kFile), joined({kAdminLine, kLongOperatorLine}));
}

TEST_F(LoginStoreFile, RemovingWithPasswordAndTypeRemovesThatAccountOnly) {
    const std::string bobAdmin = lineOf("Bob", "hunter22", 2);
    writeFile(kFile, joined({kBobSupportLine, kAdminLine, bobAdmin}));
    EXPECT_EQ(removeLoginUser(kFile, "Bob", "hunter22", "Admin"), 2);
    EXPECT_EQ(m_dir.read(kFile), joined({kBobSupportLine, kAdminLine}));
    EXPECT_EQ(removeLoginUser(kFile, "Bob", "hunter2", "Support"), kLoginNoSuchUser);
    EXPECT_EQ(removeLoginUser(kFile, "Bob", "hunter22", "Operator"), kLoginNoSuchUser);
    EXPECT_EQ(m_dir.read(kFile), joined({kBobSupportLine, kAdminLine}));
}

TEST_F(LoginStoreFile, RemovingAnAbsentUserLeavesTheFileAsItWas) {
    const std::string lfFile = joined({kAdminLine}, "\n");
    writeFile(kFile, lfFile);
    EXPECT_EQ(removeLoginUser(kFile, "Bobby", nullptr, nullptr), kLoginNoSuchUser);
    EXPECT_EQ(m_dir.read(kFile), lfFile);
    EXPECT_FALSE(exists(kTemporary));
    writeFile(kFile, "");
    EXPECT_EQ(removeLoginUser(kFile, "admin", nullptr, nullptr), kLoginNoSuchUser);
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginStoreFile, RemovingChecksItsRequestFirst) {
    EXPECT_EQ(removeLoginUser(kFile, "admin", nullptr, nullptr), kLoginCannotOpen);
    writeFile(kFile, joined({kAdminLine}));
    EXPECT_EQ(removeLoginUser(kFile, "admin", "secret", nullptr), kLoginInconsistent);
    EXPECT_EQ(removeLoginUser(kFile, "admin", nullptr, "Admin"), kLoginInconsistent);
    EXPECT_EQ(removeLoginUser(kFile, "admin", "secret", "Boss"), kLoginNoSuchType);
    EXPECT_EQ(removeLoginUser(kFile, "a.b", nullptr, nullptr), kLoginBadName);
    EXPECT_EQ(removeLoginUser(kFile, "admin", "s", "Admin"), kLoginBadPassword);
    EXPECT_EQ(m_dir.read(kFile), joined({kAdminLine}));
}
