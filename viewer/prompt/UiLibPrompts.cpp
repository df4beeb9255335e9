#include "UiLibPrompts.h"

#include <QByteArray>

#include "PromptService.h"

namespace hv {

void UiLibPrompts::route() {
    if (dynamic_cast<UiLibPrompts*>(&kxui::UiPrompter::current()) == nullptr) {
        kxui::UiPrompter::install(std::make_unique<UiLibPrompts>());
    }
}

void UiLibPrompts::information(QWidget* parent, const QString& title, const QString& text) {
    PromptService::information(parent, title, text);
}

void UiLibPrompts::warning(QWidget* parent, const QString& title, const QString& text) {
    PromptService::warning(parent, title, text);
}

std::optional<QString> UiLibPrompts::text(QWidget* parent, const char* prompt) {
    return PromptService::current().text(parent, QByteArray(prompt != nullptr ? prompt : ""));
}

QString UiLibPrompts::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                   const QString& filter) {
    return PromptService::current().openFileName(parent, caption, folder, filter);
}

}  // namespace hv
