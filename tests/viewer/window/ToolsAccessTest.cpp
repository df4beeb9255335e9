// The way into the tools: the log-in decides the user type, and the tools dialog follows it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "LoginSteps.h"
#include "LoginStore.h"
#include "ModalDriver.h"
#include "Nelvora.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "TempDir.h"
#include "ToolsAccess.h"
#include "UserLogin.h"
#include "toolsDialog.h"

namespace {

using hvtest::cancelLogIn;
using hvtest::logInAs;

class ToolsAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(hv::addLoginUser("login.txt", "admin", "Sesame_42", "Admin"), 2);
        ASSERT_EQ(hv::addLoginUser("login.txt", "tech", "Wrench_7", "Support"), 1);
    }
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    bool shown(const char* button) const {
        hv::toolsDialog* tools = hv::toolsDialog::instance();
        return tools->findChild<QPushButton*>(button)->isVisibleTo(tools);
    }

    TempDir folder;
    hvtest::ScriptedPrompts prompts;
    QWidget mainWindow;
    hv::ToolsAccess access{&mainWindow};
};

TEST_F(ToolsAccessTest, AnAdministratorGetsEveryTool) {
    logInAs("admin", "Sesame_42");
    access.open();

    EXPECT_EQ(access.currentUserType(), 2);
    ASSERT_TRUE(hv::toolsDialog::instance()->isVisible());
    EXPECT_TRUE(shown("reviewButton"));
    EXPECT_TRUE(shown("userEditButton"));
    EXPECT_TRUE(shown("helpButton"));
    EXPECT_TRUE(shown("setupButton"));
    EXPECT_TRUE(shown("exitButton"));
    EXPECT_TRUE(shown("preferenceButton"));
    EXPECT_TRUE(
        hv::toolsDialog::instance()->findChild<QPushButton*>("preferenceButton")->isEnabled());
}

TEST_F(ToolsAccessTest, ACancelledLogInLeavesTheOperatorsTools) {
    cancelLogIn();
    access.open();

    EXPECT_EQ(access.currentUserType(), 0);
    EXPECT_TRUE(shown("reviewButton"));
    EXPECT_FALSE(shown("preferenceButton"));
    EXPECT_FALSE(shown("userEditButton"));
    EXPECT_FALSE(shown("setupButton"));
    EXPECT_TRUE(shown("helpButton"));
}

TEST_F(ToolsAccessTest, ALaterLogInRaisesTheTypeAndAFailedOneDropsItToOperator) {
    logInAs("tech", "Wrench_7");
    access.open();
    EXPECT_EQ(access.currentUserType(), 1);
    EXPECT_TRUE(shown("setupButton"));
    EXPECT_TRUE(shown("preferenceButton"));
    EXPECT_FALSE(shown("userEditButton"));

    logInAs("admin", "Sesame_42");
    access.open();
    EXPECT_EQ(access.currentUserType(), 2);
    EXPECT_TRUE(shown("userEditButton"));

    // Three wrong passwords close the log-in without an account.
    hvtest::whenModal<hv::UserLogin>([](hv::UserLogin& login) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            login.findChild<QLineEdit*>("usernameEdit")->setText("admin");
            login.findChild<QLineEdit*>("passwordEdit")->setText("Wrong_1");
            login.findChild<QPushButton*>("okayButton")->click();
        }
    });
    access.open();
    EXPECT_EQ(access.currentUserType(), 0);
    EXPECT_FALSE(shown("setupButton"));
    EXPECT_FALSE(shown("preferenceButton"));
    EXPECT_FALSE(shown("userEditButton"));
    EXPECT_TRUE(prompts.messageTexts().contains("Maximum number of tries reached."));
}

}  // namespace
