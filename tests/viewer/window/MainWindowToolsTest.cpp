// The main window's ways into the tools, on a brought-up board: the Tools button and Ctrl+T both
// run the log-in, whose user type the tools dialog then follows, and the tools hide with the
// window.
#include <QPushButton>
#include <QTest>

#include "LoginSteps.h"
#include "LoginStore.h"
#include "MainWindowFixture.h"
#include "toolsDialog.h"

namespace {

using hvtest::cancelLogIn;
using hvtest::logInAs;

class MainWindowToolsTest : public hvtest::MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_EQ(hv::addLoginUser("login.txt", "admin", "Sesame_42", "Admin"), 2);
    }
};

TEST_F(MainWindowToolsTest, TheToolsButtonAndCtrlTBothLeadThroughTheLogIn) {
    hv::Nelvora& window = bringUp("RT4207");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    logInAs("admin", "Sesame_42");
    window.findChild<QPushButton*>("toolsButton")->click();
    EXPECT_EQ(window.userAccess(), 2);
    EXPECT_TRUE(hv::toolsDialog::instance()->isVisible());

    hv::toolsDialog::instance()->hide();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    cancelLogIn();
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(window.userAccess(), 0);
    EXPECT_TRUE(hv::toolsDialog::instance()->isVisible());

    window.hide();
    EXPECT_FALSE(hv::toolsDialog::instance()->isVisible());
}

}  // namespace
