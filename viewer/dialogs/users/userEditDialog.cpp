#include "userEditDialog.h"

#include <QPushButton>

#include "LoginStore.h"
#include "PromptService.h"
#include "UserLogin.h"
#include "ui_userEditDialog.h"

namespace hv {

namespace {

const char* const kLoginFile = "login.txt";
constexpr int kAdminType = 2;

const QString kBadName =
    QStringLiteral("invalid username:\ntoo long or too short or contains illegal symbols.");
const QString kDenied = QStringLiteral("Action cancelled or permission denied.");

// Why adding an account failed with code.
QString createFailureReason(int code) {
    switch (code) {
        case kLoginCannotClose:
            return QStringLiteral("Cannot close login file");
        case kLoginCannotOpen:
            return QStringLiteral("Cannot open login file");
        case kLoginUserExists:
            return QStringLiteral("User already exists or invalid user name");
        default:
            return QStringLiteral("Other Errors");
    }
}

// Why removing an account failed with code.
QString removeFailureReason(int code) {
    switch (code) {
        case kLoginCannotMove:
        case kLoginCannotDelete:
            return QStringLiteral("Cannot update login file: file may be opened by other programs");
        case kLoginCannotClose:
            return QStringLiteral("Cannot close login file");
        case kLoginCannotOpen:
            return QStringLiteral("Cannot open login file");
        case kLoginNoSuchUser:
            return QStringLiteral("User doesn's exist");
        default:
            return QStringLiteral("Other Errors");
    }
}

}  // namespace

userEditDialog::userEditDialog(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::userEditForm>()) {
    m_ui->setupUi(this);
}

userEditDialog::~userEditDialog() = default;

void userEditDialog::initialise(QWidget* parent) {
    m_ui->userTypeComboBox->clear();
    for (const char* typeName : kUserTypeNames) {
        m_ui->userTypeComboBox->addItem(QString::fromLatin1(typeName));
    }
    m_ui->userTypeComboBox->setCurrentIndex(0);

    if (!m_connected) {
        connect(m_ui->createButton, &QPushButton::clicked, this, &userEditDialog::OnCreateButton);
        connect(m_ui->removeButton, &QPushButton::clicked, this, &userEditDialog::OnRemoveButton);
        m_connected = true;
    }

    if (parent) {
        // Both frames, title bars included: this one's top-left corner goes to the parent
        // frame's bottom-left corner.
        const QRect frame = parent->frameGeometry();
        move(frame.x(), frame.y() + frame.height());
    }
}

void userEditDialog::OnCreateButton() {
    const QString nameText = m_ui->usernameEdit->text();
    const QString passwordText = m_ui->passwordEdit->text();
    const std::optional<QByteArray> name = UserLogin::storeText(nameText, 0);
    const std::optional<QByteArray> password = UserLogin::storeText(passwordText, 1);

    if (passwordText != m_ui->passwordEdit_2->text()) {
        tell(QStringLiteral("Passwords didn't match."));
    } else if (!password) {
        tell(QStringLiteral(
            "invalid Password:\ntoo long or too short or contains illegal symbols."));
    } else if (!name) {
        tell(kBadName);
        m_ui->usernameEdit->clear();
    } else {
        tell(QStringLiteral("To verify your identity, please login as an administrator."));
        if (logIn().first == kAdminType) {
            const QByteArray typeName = m_ui->userTypeComboBox->currentText().toLatin1();
            const int code = addLoginUser(kLoginFile, name->constData(), password->constData(),
                                          typeName.constData());
            tell(code >= 0
                     ? QStringLiteral("User \"%1\" created successfully.").arg(nameText)
                     : QStringLiteral("Unable to create new user:\n") + createFailureReason(code));
        } else {
            tell(kDenied);
        }
        m_ui->usernameEdit->clear();
    }
    m_ui->passwordEdit->clear();
    m_ui->passwordEdit_2->clear();
}

void userEditDialog::OnRemoveButton() {
    const QString nameText = m_ui->usernameEdit->text();
    const std::optional<QByteArray> name = UserLogin::storeText(nameText, 0);

    if (!name) {
        tell(kBadName);
    } else {
        tell(
            QStringLiteral("To verify your identity, please login as an administrator or provide "
                           "the login information for the user to be removed."));
        const auto [type, userName] = logIn();
        // An administrator removes anyone; any user removes his own account.
        if (type == kAdminType || userName == nameText) {
            const int code = removeLoginUser(kLoginFile, name->constData(), nullptr, nullptr);
            tell(code >= 0 ? QStringLiteral("User \"%1\" removed successfully.").arg(nameText)
                           : QStringLiteral("Unable to remove user \"%1\":\n").arg(nameText) +
                                 removeFailureReason(code));
        } else {
            tell(kDenied);
        }
    }
    m_ui->usernameEdit->clear();
    m_ui->passwordEdit->clear();
    m_ui->passwordEdit_2->clear();
}

std::pair<int, QString> userEditDialog::logIn() {
    UserLogin login(this);
    login.exec();
    return {login.resultUserType(), login.resultUserName()};
}

void userEditDialog::tell(const QString& text) {
    PromptService::current().message(this, QMessageBox::NoIcon, QString(), text, QMessageBox::Ok,
                                     QMessageBox::Ok);
}

}  // namespace hv
