// Test helpers around the log-in dialog: accounts in the store of the current folder, and
// answers for the next log-in dialog that exec() shows.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "LoginStore.h"
#include "ModalDriver.h"
#include "UserLogin.h"

namespace hvtest {

// Message texts both dialogs show.
inline const QString kIncorrectLogIn =
    QStringLiteral("Incorrect user name or password. Please try again");
inline const QString kInvalidUserName =
    QStringLiteral("invalid username:\ntoo long or too short or contains illegal symbols.");
inline const QString kMaxTries = QStringLiteral("Maximum number of tries reached.");

// An account in "login.txt" of the current folder; typeIndex is its index in kUserTypeNames.
inline void addAccount(const char* name, const char* password, int typeIndex) {
    ASSERT_EQ(hv::addLoginUser("login.txt", name, password, hv::kUserTypeNames[typeIndex]),
              typeIndex)
        << name;
}

// Types name and password into login and presses OK.
inline void tryLogIn(hv::UserLogin& login, const QString& name, const QString& password) {
    login.findChild<QLineEdit*>("usernameEdit")->setText(name);
    login.findChild<QLineEdit*>("passwordEdit")->setText(password);
    login.findChild<QPushButton*>("okayButton")->click();
}

// The next log-in dialog is answered with name and password.
inline void logInWhenAsked(const QString& name, const QString& password) {
    whenModal<hv::UserLogin>(
        [name, password](hv::UserLogin& login) { tryLogIn(login, name, password); });
}

// The next log-in dialog is cancelled.
inline void cancelLogInWhenAsked() {
    whenModal<hv::UserLogin>(
        [](hv::UserLogin& login) { login.findChild<QPushButton*>("cancelButton")->click(); });
}

// The next log-in dialog gets a wrong password three times; one that is still open then is
// closed, so that a test of a dialog that does not give up ends too.
inline void failLogInWhenAsked(const QString& name) {
    whenModal<hv::UserLogin>([name](hv::UserLogin& login) {
        for (int i = 0; i < 3; ++i) {
            tryLogIn(login, name, QStringLiteral("wrong-password"));
        }
        login.close();
    });
}

}  // namespace hvtest
