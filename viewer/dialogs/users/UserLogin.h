// The log-in dialog: a user name and a password checked against "login.txt". After exec() the
// caller reads the result: the account's user type (-1 for none) and its user name. Three failed
// tries close the dialog.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

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

    // The 8-bit text the account store is given for text typed as a user name (mode 0) or a
    // password (mode 1): none when it breaks the rules, so that a text longer than its field is
    // refused whole and never cut.
    static std::optional<QByteArray> storeText(const QString& text, int mode);

public slots:
    void OnOkayButton();
    void OnCancelButton();

private:
    // The failure of one try: its message, both edits cleared, and the dialog closed after the
    // third.
    void failTry(int code);

    std::unique_ptr<Ui::UserLoginForm> m_ui;
    int m_resultType = -1;
    char m_resultName[16] = {};
    int m_failedTries = 0;
};

}  // namespace hv
