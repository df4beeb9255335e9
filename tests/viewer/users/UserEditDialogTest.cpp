// The user manager against a real "login.txt" in a fresh folder: its requests, the nested log-in
// dialog answered by the test, and the scripted message boxes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <filesystem>

#include "LoginDriver.h"
#include "LoginStore.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "userEditDialog.h"

namespace {

using hvtest::kIncorrectLogIn;
using hvtest::kInvalidUserName;
using hvtest::kMaxTries;

const QString kVerifyCreate =
    QStringLiteral("To verify your identity, please login as an administrator.");
const QString kVerifyRemove = QStringLiteral(
    "To verify your identity, please login as an administrator or provide the "
    "login information for the user to be removed.");
const QString kDenied = QStringLiteral("Action cancelled or permission denied.");
const QString kBadPassword =
    QStringLiteral("invalid Password:\ntoo long or too short or contains illegal symbols.");

class UserEditDialogTest : public testing::Test {
protected:
    void SetUp() override {
        hvtest::addAccount("boss", "boss-pass", 2);
        hvtest::addAccount("helper", "help-pass", 1);
        hvtest::addAccount("viewer", "view-pass", 0);
        dialog.initialise(nullptr);
        // A log-in dialog that no test answers would wait for ever: it is closed and counted.
        strayGuard.setInterval(1000);
        QObject::connect(&strayGuard, &QTimer::timeout, &strayGuard, [this] {
            if (auto* login = qobject_cast<hv::UserLogin*>(QApplication::activeModalWidget())) {
                ++strayLogIns;
                login->close();
            }
        });
        strayGuard.start();
    }
    void TearDown() override { EXPECT_EQ(strayLogIns, 0); }

    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    QComboBox* typeCombo() { return dialog.findChild<QComboBox*>("userTypeComboBox"); }
    void fill(const QString& name, const QString& password, const QString& confirmation) {
        edit("usernameEdit")->setText(name);
        edit("passwordEdit")->setText(password);
        edit("passwordEdit_2")->setText(confirmation);
    }
    void create() { dialog.findChild<QPushButton*>("createButton")->click(); }
    void remove() { dialog.findChild<QPushButton*>("removeButton")->click(); }
    // The texts left in the user name and both password edits.
    QStringList editTexts() {
        return {edit("usernameEdit")->text(), edit("passwordEdit")->text(),
                edit("passwordEdit_2")->text()};
    }
    static int logInType(const char* name, const char* password) {
        return hv::verifyLogin("login.txt", name, password);
    }

    TempDir folder;
    hvtest::ScriptedPrompts prompts;
    hv::userEditDialog dialog;
    QTimer strayGuard;
    int strayLogIns = 0;
};

const QStringList kAllCleared = {"", "", ""};

TEST_F(UserEditDialogTest, FormCarriesItsTitleToolTipsAndHiddenPasswords) {
    EXPECT_EQ(dialog.windowTitle(), "User Manager");
    EXPECT_EQ(edit("usernameEdit")->toolTip(),
              "User names can contain letters (a-z, A-Z), numbers (0-9), hyphen (-), and "
              "underscore (_). Case Sensitive.");
    EXPECT_EQ(edit("passwordEdit")->toolTip(),
              "Passwords can contain letters (a-z, A-Z), numbers (0-9), hyphen (-), and "
              "underscore (_). Case Sensitive.");
    EXPECT_EQ(edit("passwordEdit_2")->toolTip(),
              "Password Confirmation. Repeat the password you entered above.");
    EXPECT_EQ(typeCombo()->toolTip(),
              "Select User privilege. Some types of users don't have full access to all "
              "features.");
    EXPECT_EQ(edit("usernameEdit")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(edit("passwordEdit")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("passwordEdit_2")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.findChild<QPushButton*>("createButton")->text(), "Create User");
    EXPECT_EQ(dialog.findChild<QPushButton*>("removeButton")->text(), "Remove User");
}

TEST_F(UserEditDialogTest, InitialiseResetsTheTypesToOperator) {
    typeCombo()->setCurrentIndex(2);
    dialog.initialise(nullptr);
    QStringList types;
    for (int i = 0; i < typeCombo()->count(); ++i) {
        types << typeCombo()->itemText(i);
    }
    EXPECT_EQ(types, QStringList({"Operator", "Support", "Admin"}));
    EXPECT_EQ(typeCombo()->currentText(), "Operator");
}

TEST_F(UserEditDialogTest, InitialisePlacesTheDialogBelowItsParent) {
    QWidget parent;
    parent.setGeometry(120, 40, 300, 200);
    dialog.initialise(&parent);
    EXPECT_EQ(dialog.pos(), QPoint(120, 240));
}

TEST_F(UserEditDialogTest, RepeatedInitialiseConnectsTheButtonsOnce) {
    dialog.initialise(nullptr);
    fill("newbie", "pass-one", "pass-two");
    create();
    EXPECT_EQ(prompts.messageTexts(), QStringList({"Passwords didn't match."}));
}

TEST_F(UserEditDialogTest, AdminCreatesAnAccountOfTheChosenType) {
    typeCombo()->setCurrentText("Support");
    fill("full_width-name", "twenty_characters_pw", "twenty_characters_pw");
    hvtest::logInWhenAsked("boss", "boss-pass");
    create();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({kVerifyCreate, "User \"full_width-name\" created successfully."}));
    EXPECT_EQ(logInType("full_width-name", "twenty_characters_pw"), 1);
    EXPECT_EQ(editTexts(), kAllCleared);
}

TEST_F(UserEditDialogTest, CreatingAnExistingNameIsRefused) {
    typeCombo()->setCurrentText("Admin");
    fill("helper", "other-pass", "other-pass");
    hvtest::logInWhenAsked("boss", "boss-pass");
    create();
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList({kVerifyCreate,
                     "Unable to create new user:\nUser already exists or invalid user name"}));
    EXPECT_EQ(logInType("helper", "other-pass"), hv::kLoginNoMatch);
    EXPECT_EQ(editTexts(), kAllCleared);
}

TEST_F(UserEditDialogTest, OnlyAnAdminLogInMayCreate) {
    struct Case {
        const char* what;
        std::function<void()> answerLogIn;
        QStringList texts;
    };
    const Case cases[] = {
        {"support",
         [] { hvtest::logInWhenAsked("helper", "help-pass"); },
         {kVerifyCreate, kDenied}},
        {"operator",
         [] { hvtest::logInWhenAsked("viewer", "view-pass"); },
         {kVerifyCreate, kDenied}},
        {"cancelled", [] { hvtest::cancelLogInWhenAsked(); }, {kVerifyCreate, kDenied}},
        {"three failures",
         [] { hvtest::failLogInWhenAsked("boss"); },
         {kVerifyCreate, kIncorrectLogIn, kIncorrectLogIn, kIncorrectLogIn, kMaxTries, kDenied}},
    };
    for (const Case& c : cases) {
        hvtest::ScriptedPrompts fresh;
        typeCombo()->setCurrentText("Admin");
        fill("newbie", "new-pass", "new-pass");
        c.answerLogIn();
        create();
        EXPECT_EQ(fresh.messageTexts(), c.texts) << c.what;
        EXPECT_EQ(editTexts(), kAllCleared) << c.what;
    }
    EXPECT_EQ(logInType("newbie", "new-pass"), hv::kLoginNoMatch);
}

TEST_F(UserEditDialogTest, CreateChecksConfirmationThenPasswordThenName) {
    struct Case {
        QString name;
        QString password;
        QString confirmation;
        QString text;
        QString nameLeft;
    };
    const Case cases[] = {
        {"ab", "new-pass", "new-Pass", "Passwords didn't match.", "ab"},
        {"ab", "pass", "pass", kBadPassword, "ab"},
        {"newbie", "twenty_characters_pwX", "twenty_characters_pwX", kBadPassword, "newbie"},
        {"new bie", "new-pass", "new-pass", kInvalidUserName, ""},
        {"ab", "new-pass", "new-pass", kInvalidUserName, ""},
        {"full_width-nameX", "new-pass", "new-pass", kInvalidUserName, ""},
    };
    for (const Case& c : cases) {
        hvtest::ScriptedPrompts fresh;
        fill(c.name, c.password, c.confirmation);
        create();
        EXPECT_EQ(fresh.messageTexts(), QStringList({c.text})) << c.name.toStdString();
        EXPECT_EQ(editTexts(), QStringList({c.nameLeft, "", ""})) << c.name.toStdString();
    }
    EXPECT_EQ(logInType("full_width-name", "new-pass"), hv::kLoginNoMatch);
}

TEST_F(UserEditDialogTest, AdminRemovesAnyAccount) {
    fill("helper", "ignored", "");
    hvtest::logInWhenAsked("boss", "boss-pass");
    remove();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({kVerifyRemove, "User \"helper\" removed successfully."}));
    EXPECT_EQ(logInType("helper", "help-pass"), hv::kLoginNoMatch);
    EXPECT_EQ(logInType("viewer", "view-pass"), 0);
    EXPECT_EQ(editTexts(), kAllCleared);
    for (const hvtest::PromptRecord& box : prompts.records()) {
        EXPECT_EQ(box.title, "");
        EXPECT_EQ(box.icon, QMessageBox::NoIcon);
        EXPECT_EQ(box.buttons, QMessageBox::Ok);
    }
}

TEST_F(UserEditDialogTest, UserRemovesHisOwnAccountOnly) {
    fill("helper", "", "");
    hvtest::logInWhenAsked("viewer", "view-pass");
    remove();
    EXPECT_EQ(prompts.messageTexts(), QStringList({kVerifyRemove, kDenied}));
    EXPECT_EQ(logInType("helper", "help-pass"), 1);

    fill("viewer", "", "");
    hvtest::logInWhenAsked("viewer", "view-pass");
    remove();
    EXPECT_EQ(prompts.messageTexts().mid(2),
              QStringList({kVerifyRemove, "User \"viewer\" removed successfully."}));
    EXPECT_EQ(logInType("viewer", "view-pass"), hv::kLoginNoMatch);
    EXPECT_EQ(logInType("helper", "help-pass"), 1);
}

TEST_F(UserEditDialogTest, CancelledLogInDeniesRemoval) {
    fill("viewer", "view-pass", "view-pass");
    hvtest::cancelLogInWhenAsked();
    remove();
    EXPECT_EQ(prompts.messageTexts(), QStringList({kVerifyRemove, kDenied}));
    EXPECT_EQ(logInType("viewer", "view-pass"), 0);
    EXPECT_EQ(editTexts(), kAllCleared);
}

TEST_F(UserEditDialogTest, RemovalFailuresGiveTheirReasons) {
    fill("nobody", "", "");
    hvtest::logInWhenAsked("boss", "boss-pass");
    remove();
    fill("helper", "", "");
    hvtest::whenModal<hv::UserLogin>([](hv::UserLogin& login) {
        hvtest::tryLogIn(login, "boss", "boss-pass");
        std::filesystem::remove("login.txt");
    });
    remove();
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList({kVerifyRemove, "Unable to remove user \"nobody\":\nUser doesn's exist",
                     kVerifyRemove, "Unable to remove user \"helper\":\nCannot open login file"}));
}

TEST_F(UserEditDialogTest, RemovalRefusesABadNameWithoutALogIn) {
    // The first 15 characters name an account: the longer name must not remove it.
    hvtest::addAccount("full_width-name", "new-pass", 0);
    for (const QString name : {"ab", "full_width-nameX", "view.er"}) {
        hvtest::ScriptedPrompts fresh;
        fill(name, "new-pass", "new-pass");
        remove();
        EXPECT_EQ(fresh.messageTexts(), QStringList({kInvalidUserName})) << name.toStdString();
        EXPECT_EQ(editTexts(), kAllCleared);
    }
    EXPECT_EQ(logInType("full_width-name", "new-pass"), 0);
}

}  // namespace
