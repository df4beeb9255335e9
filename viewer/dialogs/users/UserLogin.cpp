#include "UserLogin.h"

#include <QPushButton>
#include <cstring>

#include "LoginStore.h"
#include "PromptService.h"
#include "ui_UserLogin.h"

namespace hv {

namespace {

constexpr int kMaxTries = 3;

// The text shown when a log-in fails with code.
QString loginFailureText(int code) {
    switch (code) {
        case kLoginCannotClose:
            return QStringLiteral("Cannot close login file");
        case kLoginCannotOpen:
            return QStringLiteral("Cannot open login file");
        case kLoginNoMatch:
            return QStringLiteral("Incorrect user name or password. Please try again");
        case kLoginBadPassword:
            return QStringLiteral(
                "invalid password:\ntoo long or too short or contains illegal symbols.");
        case kLoginBadName:
            return QStringLiteral(
                "invalid username:\ntoo long or too short or contains illegal symbols.");
        default:
            return QStringLiteral("Other Errors");
    }
}

}  // namespace

UserLogin::UserLogin(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::UserLoginForm>()) {
    m_ui->setupUi(this);
    connect(m_ui->okayButton, &QPushButton::clicked, this, &UserLogin::OnOkayButton);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &UserLogin::OnCancelButton);
}

UserLogin::~UserLogin() = default;

QString UserLogin::resultUserName() const {
    return QString::fromLatin1(m_resultName);
}

std::optional<QByteArray> UserLogin::storeText(const QString& text, int mode) {
    QByteArray bytes = text.toLatin1();
    // The field widths are checked here, whatever the store's rules say, since the result name
    // is copied into its field. A NUL would end the text early for the store: what it checked
    // would not be what was typed.
    const qsizetype width = mode == 0 ? kUserNameMax : kPasswordMax;
    if (bytes.size() > width || bytes.contains('\0') ||
        !isValidLoginText(bytes.constData(), mode)) {
        return std::nullopt;
    }
    return bytes;
}

void UserLogin::OnOkayButton() {
    m_resultType = -1;
    m_resultName[0] = '\0';

    const std::optional<QByteArray> name = storeText(m_ui->usernameEdit->text(), 0);
    const std::optional<QByteArray> password = storeText(m_ui->passwordEdit->text(), 1);
    if (!name) {
        failTry(kLoginBadName);
        return;
    }
    if (!password) {
        failTry(kLoginBadPassword);
        return;
    }
    const int type = verifyLogin("login.txt", name->constData(), password->constData());
    if (type < 0) {
        failTry(type);
        return;
    }
    // storeText kept the name within the field, so it fits with its NUL.
    static_assert(sizeof m_resultName == kUserNameMax + 1);
    std::memcpy(m_resultName, name->constData(), static_cast<std::size_t>(name->size()) + 1);
    m_resultType = type;
    accept();
}

void UserLogin::OnCancelButton() {
    close();
}

void UserLogin::failTry(int code) {
    PromptService& prompts = PromptService::current();
    prompts.message(this, QMessageBox::NoIcon, QString(), loginFailureText(code), QMessageBox::Ok,
                    QMessageBox::Ok);
    m_ui->usernameEdit->clear();
    m_ui->passwordEdit->clear();
    ++m_failedTries;
    if (m_failedTries >= kMaxTries) {
        prompts.message(this, QMessageBox::NoIcon, QString(),
                        QStringLiteral("Maximum number of tries reached."), QMessageBox::Ok,
                        QMessageBox::Ok);
        close();
    }
}

}  // namespace hv
