// The log-in dialog: a user name and a password checked against "login.txt". After exec() the
// caller reads the result: the account's user type (-1 for none) and its user name. Three failed
// tries close the dialog.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class UserLoginForm;
}

namespace hv {

class UserLogin : public QDialog {
    Q_OBJECT

public:
    explicit UserLogin(QWidget* parent = nullptr);
    ~UserLogin() override;

    int resultUserType() const { return m_resultType; }
    QString resultUserName() const;
    int failedTries() const { return m_failedTries; }

public slots:
    void OnOkayButton();
    void OnCancelButton();

private:
    std::unique_ptr<Ui::UserLoginForm> m_ui;
    int m_resultType = -1;
    char m_resultName[16] = {};
    int m_failedTries = 0;
};

}  // namespace hv
