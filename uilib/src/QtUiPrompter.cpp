#include "QtUiPrompter.h"

#include <QFileDialog>
#include <QMessageBox>

#include "TextBox.h"
#include "WarningBox.h"

namespace kxui {

void QtUiPrompter::information(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void QtUiPrompter::warning(QWidget* parent, const QString& title, const QString& text) {
    WarningBox::show(parent, title, text);
}

std::optional<QString> QtUiPrompter::text(QWidget* parent, const char* prompt) {
    TextBox box(parent);
    box.setupTextBox(prompt);
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.getTextBox();
}

QString QtUiPrompter::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                   const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

}  // namespace kxui
