// The widgets of the text entry box, built in code: the button box, the line edit and the
// caption label, all children of the dialog.
#pragma once

class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace kxui {

class TextBoxForm {
public:
    // Builds the widgets on the first call and puts every one at its starting geometry.
    void setupUi(QDialog* dialog);

    QDialogButtonBox* buttonBox = nullptr;
    QLineEdit* textboxLineEdit = nullptr;
    QLabel* textboxLabel = nullptr;
};

}  // namespace kxui
