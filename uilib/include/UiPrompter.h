// How the UI library's dialogs ask and tell: information and warning boxes, a line of text typed
// in the text box and a file to open. A program that routes its prompts elsewhere (or a test that
// answers them) installs a prompter of its own; until then the library's Qt dialogs are used.
//
// Used on the GUI thread only.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "kxUiExport.h"

class QWidget;

namespace kxui {

class KXUI_API UiPrompter {
public:
    virtual ~UiPrompter();

    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // The line typed under the caption prompt (Latin-1); none when the box was cancelled.
    virtual std::optional<QString> text(QWidget* parent, const char* prompt) = 0;
    // The file chosen, or empty when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;

    // The prompter in use.
    static UiPrompter& current();
    // Installs next (null: the Qt dialogs again) and returns the one it replaces.
    static std::unique_ptr<UiPrompter> install(std::unique_ptr<UiPrompter> next);
};

}  // namespace kxui
