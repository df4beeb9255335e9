#include "PromptService.h"

#include <utility>

#include "QtPromptService.h"

namespace hv {

namespace {

std::unique_ptr<PromptService>& installed() {
    static std::unique_ptr<PromptService> service;
    return service;
}

}  // namespace

PromptService& PromptService::current() {
    if (!installed()) {
        installed() = std::make_unique<QtPromptService>();
    }
    return *installed();
}

std::unique_ptr<PromptService> PromptService::install(std::unique_ptr<PromptService> next) {
    return std::exchange(installed(), std::move(next));
}

void PromptService::information(QWidget* parent, const QString& title, const QString& text) {
    current().message(parent, QMessageBox::Information, title, text, QMessageBox::Ok,
                      QMessageBox::Ok);
}

void PromptService::warning(QWidget* parent, const QString& title, const QString& text) {
    current().message(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void PromptService::critical(QWidget* parent, const QString& title, const QString& text) {
    current().message(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool PromptService::askYesNo(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                             const QString& text) {
    return current().message(parent, icon, title, text, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace hv
