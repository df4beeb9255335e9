#include "TextBoxForm.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kxui {

namespace {

const char* const kDialogStyle =
    "color: rgb(25, 25, 25);\nbackground-color: rgb(170, 170, 170);\nfont: 12pt \"Cambria\";";
const char* const kFieldStyle =
    "background-color: rgb(200, 200, 200);\nfont: 75 12pt \"Cambria\";\ncolor: rgb(25, 25, 25);";

}  // namespace

void TextBoxForm::setupUi(QDialog* dialog) {
    if (buttonBox == nullptr) {
        buttonBox = new QDialogButtonBox(dialog);
        buttonBox->setObjectName("buttonBox");
        buttonBox->setOrientation(Qt::Horizontal);
        buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        // Return in the line edit ends the dialog through OK.
        buttonBox->button(QDialogButtonBox::Ok)->setDefault(true);
        QObject::connect(buttonBox, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        QObject::connect(buttonBox, &QDialogButtonBox::rejected, dialog, &QDialog::reject);

        textboxLineEdit = new QLineEdit(dialog);
        textboxLineEdit->setObjectName("textboxLineEdit");
        textboxLineEdit->setStyleSheet(kFieldStyle);

        textboxLabel = new QLabel(dialog);
        textboxLabel->setObjectName("textboxLabel");
        textboxLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        textboxLabel->setStyleSheet(kFieldStyle);
    }
    dialog->resize(400, 70);
    dialog->setStyleSheet(kDialogStyle);
    // Below the 70-pixel client area: not visible at the starting size.
    buttonBox->setGeometry(220, 70, 160, 30);
    textboxLineEdit->setGeometry(80, 20, 300, 30);
    textboxLabel->setGeometry(20, 20, 54, 30);
    textboxLabel->clear();
}

}  // namespace kxui
