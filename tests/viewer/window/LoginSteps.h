// Steps of a person at the log-in dialog that the next tools request opens.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "ModalDriver.h"
#include "UserLogin.h"

namespace hvtest {

// Types a user name and password into the next log-in dialog and presses OK.
inline void logInAs(const QString& name, const QString& password) {
    hvtest::whenModal<hv::UserLogin>([name, password](hv::UserLogin& login) {
        login.findChild<QLineEdit*>("usernameEdit")->setText(name);
        login.findChild<QLineEdit*>("passwordEdit")->setText(password);
        login.findChild<QPushButton*>("okayButton")->click();
    });
}

inline void cancelLogIn() {
    hvtest::whenModal<hv::UserLogin>(
        [](hv::UserLogin& login) { login.findChild<QPushButton*>("cancelButton")->click(); });
}

}  // namespace hvtest
