#include "TextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <cstring>

#include "TextBoxForm.h"

TextBox::TextBox(QWidget* parent) : QDialog(parent), m_form(std::make_unique<kxui::TextBoxForm>()) {
    setWindowTitle("TextBox");
}

TextBox::~TextBox() = default;

void TextBox::setupTextBox(const char* prompt) {
    m_form->setupUi(this);
    m_prompt = prompt;
    if (m_prompt != nullptr && m_prompt[0] != '\0') {
        fitCaption();
    }
}

void TextBox::fitCaption() {
    QLabel* label = m_form->textboxLabel;
    QLineEdit* edit = m_form->textboxLineEdit;
    const int width = label->frameGeometry().width();
    // A caption character is taken as (width - 19) / 5 pixels wide, 20 pixels of margin.
    const qint64 perCharacter = (width - 19) / 5;
    const qint64 needed = perCharacter * static_cast<qint64>(std::strlen(m_prompt)) + 20;
    if (needed > width) {
        const int grow = static_cast<int>(std::min<qint64>(needed - width, QWIDGETSIZE_MAX));
        label->setGeometry(label->x(), label->y(), label->width() + grow, label->height());
        const QRect field = edit->geometry();
        edit->setGeometry(field.x() + grow, field.y(), std::max(0, field.width() - grow),
                          field.height());
    }
    label->setText(QString::fromLatin1(m_prompt));
}

QString TextBox::getTextBox() {
    if (m_form->textboxLineEdit != nullptr) {
        m_text = m_form->textboxLineEdit->text();
    }
    return m_text;
}
