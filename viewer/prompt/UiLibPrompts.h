// The UI library's dialogs ask and tell through the viewer's prompt service: this prompter
// hands their information and warning boxes, text boxes and file dialogs to
// PromptService::current().
#pragma once

#include "UiPrompter.h"

namespace hv {

class UiLibPrompts final : public kxui::UiPrompter {
public:
    // Makes the UI library use the viewer's prompt service (once; later calls change nothing).
    static void route();

    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QString> text(QWidget* parent, const char* prompt) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
};

}  // namespace hv
