#include "UiPrompter.h"

#include <utility>

#include "QtUiPrompter.h"

namespace kxui {

namespace {

std::unique_ptr<UiPrompter>& installed() {
    static std::unique_ptr<UiPrompter> prompter = std::make_unique<QtUiPrompter>();
    return prompter;
}

}  // namespace

UiPrompter::~UiPrompter() = default;

UiPrompter& UiPrompter::current() {
    return *installed();
}

std::unique_ptr<UiPrompter> UiPrompter::install(std::unique_ptr<UiPrompter> next) {
    if (!next) {
        next = std::make_unique<QtUiPrompter>();
    }
    return std::exchange(installed(), std::move(next));
}

}  // namespace kxui
