// A small modal prompt: one line of text entry with a caption to its left and OK and Cancel
// buttons. The caption widens to fit the prompt it is given.
//
// Use: construct, setupTextBox(prompt), exec(), and on QDialog::Accepted getTextBox().
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "kxUiExport.h"

namespace kxui {
class TextBoxForm;
}

class KXUI_API TextBox : public QDialog {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    // Builds the widgets and sets the caption from prompt (Latin-1, NUL-terminated). The
    // prompt is not copied: the caller keeps it alive while the dialog lives.
    void setupTextBox(const char* prompt);
    // The line edit's current text, also kept as the entered text.
    QString getTextBox();

private:
    void fitCaption();

    const char* m_prompt = nullptr;
    QString m_text;
    std::unique_ptr<kxui::TextBoxForm> m_form;
};
