// The log-in dialog against a real "login.txt" in a fresh folder, with scripted message boxes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <filesystem>
#include <fstream>

#include "LoginDriver.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "UserLogin.h"

namespace {

using hvtest::kIncorrectLogIn;
using hvtest::kInvalidUserName;
using hvtest::kMaxTries;

const QString kBadPassword =
    QStringLiteral("invalid password:\ntoo long or too short or contains illegal symbols.");

class UserLoginTest : public testing::Test {
protected:
    void SetUp() override {
        hvtest::addAccount("operator_1", "op-pass", 0);
        hvtest::addAccount("support-2", "sup_pass", 1);
        hvtest::addAccount("Chief_of_Staff9", "twenty_characters_pw", 2);
    }

    QLineEdit* edit(const char* name) { return login.findChild<QLineEdit*>(name); }

    TempDir folder;
    hvtest::ScriptedPrompts prompts;
    hv::UserLogin login;
};

TEST_F(UserLoginTest, FormCarriesItsTitleLabelsAndAHiddenPassword) {
    EXPECT_EQ(login.objectName(), "UserLoginDialog");
    EXPECT_EQ(login.windowTitle(), "Log in");
    QStringList labels;
    for (const QLabel* label : login.findChildren<QLabel*>()) {
        labels << label->text();
    }
    labels.sort();
    EXPECT_EQ(labels, QStringList({"Password:", "User Name:"}));
    EXPECT_EQ(edit("usernameEdit")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(edit("passwordEdit")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.findChild<QPushButton*>("okayButton")->text(), "OK");
    EXPECT_EQ(login.findChild<QPushButton*>("cancelButton")->text(), "CANCEL");
    EXPECT_EQ(login.resultUserType(), -1);
    EXPECT_EQ(login.resultUserName(), "");
}

TEST_F(UserLoginTest, AccountLogInGivesItsTypeAndWholeNameAndCloses) {
    hvtest::logInWhenAsked("Chief_of_Staff9", "twenty_characters_pw");
    EXPECT_EQ(login.exec(), QDialog::Accepted);
    EXPECT_EQ(login.resultUserType(), 2);
    EXPECT_EQ(login.resultUserName(), "Chief_of_Staff9");
    EXPECT_FALSE(login.isVisible());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(UserLoginTest, EachFailureShowsItsReasonAndClearsBothEdits) {
    struct Case {
        QString name;
        QString password;
        QString text;
    };
    const Case cases[] = {
        {"operator_1", "op-pasS", kIncorrectLogIn},
        {"Operator_1", "op-pass", kIncorrectLogIn},
        {"op", "op-pass", kInvalidUserName},
        {"operator.1", "op-pass", kInvalidUserName},
        {"operator_1", "op-p", kBadPassword},
        // What follows a NUL must not be dropped: the typed text is not the account's.
        {QStringLiteral("operator_1") + QChar(0) + "x", "op-pass", kInvalidUserName},
        {"operator_1", QStringLiteral("op-pass") + QChar(0) + "x", kBadPassword},
    };
    for (const Case& c : cases) {
        hv::UserLogin fresh;
        hvtest::tryLogIn(fresh, c.name, c.password);
        EXPECT_EQ(prompts.messageTexts().last(), c.text) << c.name.toStdString();
        EXPECT_EQ(fresh.resultUserType(), -1);
        EXPECT_EQ(fresh.failedTries(), 1);
        EXPECT_EQ(fresh.findChild<QLineEdit*>("usernameEdit")->text(), "");
        EXPECT_EQ(fresh.findChild<QLineEdit*>("passwordEdit")->text(), "");
    }
    EXPECT_EQ(prompts.messageTexts().size(), qsizetype(std::size(cases)));
    EXPECT_EQ(prompts.records().front().title, "");
    EXPECT_EQ(prompts.records().front().icon, QMessageBox::NoIcon);
    EXPECT_EQ(prompts.records().front().buttons, QMessageBox::Ok);
}

TEST_F(UserLoginTest, TextsLongerThanTheirFieldsAreRefusedNotCut) {
    // The first 15 characters of the name and the first 20 of the password are an account.
    hvtest::tryLogIn(login, "Chief_of_Staff9X", "twenty_characters_pw");
    hvtest::tryLogIn(login, "Chief_of_Staff9", "twenty_characters_pwX");
    EXPECT_EQ(prompts.messageTexts(), QStringList({kInvalidUserName, kBadPassword}));
    EXPECT_EQ(login.resultUserType(), -1);
    EXPECT_EQ(login.resultUserName(), "");
}

TEST_F(UserLoginTest, MissingOrEmptyStoreFails) {
    std::filesystem::remove("login.txt");
    hvtest::tryLogIn(login, "operator_1", "op-pass");
    std::ofstream("login.txt").close();
    hvtest::tryLogIn(login, "operator_1", "op-pass");
    EXPECT_EQ(prompts.messageTexts(), QStringList({"Cannot open login file", kIncorrectLogIn}));
}

TEST_F(UserLoginTest, FailedTryForgetsAnEarlierResult) {
    hvtest::tryLogIn(login, "operator_1", "op-pass");
    ASSERT_EQ(login.resultUserType(), 0);
    hvtest::tryLogIn(login, "operator_1", "bad-pass");
    EXPECT_EQ(login.resultUserType(), -1);
    EXPECT_EQ(login.resultUserName(), "");
}

TEST_F(UserLoginTest, ThirdFailedTryClosesWithoutAUser) {
    bool openAfterTwo = false;
    bool openAfterThree = true;
    hvtest::whenModal<hv::UserLogin>([&](hv::UserLogin& shown) {
        hvtest::tryLogIn(shown, "operator_1", "bad-pass");
        hvtest::tryLogIn(shown, "nobody", "op-pass");
        openAfterTwo = shown.isVisible();
        hvtest::tryLogIn(shown, "op", "op-pass");
        openAfterThree = shown.isVisible();
        shown.close();
    });
    login.exec();
    EXPECT_TRUE(openAfterTwo);
    EXPECT_FALSE(openAfterThree);
    EXPECT_EQ(login.failedTries(), 3);
    EXPECT_EQ(login.resultUserType(), -1);
    EXPECT_EQ(login.resultUserName(), "");
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({kIncorrectLogIn, kIncorrectLogIn, kInvalidUserName, kMaxTries}));
}

TEST_F(UserLoginTest, CancelClosesWithoutAUserOrMessage) {
    hvtest::cancelLogInWhenAsked();
    EXPECT_EQ(login.exec(), QDialog::Rejected);
    EXPECT_EQ(login.resultUserType(), -1);
    EXPECT_EQ(login.failedTries(), 0);
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

}  // namespace
