// The UI library's own prompts: Qt's message boxes (warnings through WarningBox), the text box
// and Qt's file dialog.
#pragma once

#include "UiPrompter.h"

namespace kxui {

class QtUiPrompter : public UiPrompter {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QString> text(QWidget* parent, const char* prompt) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
};

}  // namespace kxui
