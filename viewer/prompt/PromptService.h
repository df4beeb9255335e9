// The one way the viewer asks and tells: every modal message box, file and folder dialog, text
// prompt and progress dialog goes through the prompt service in use. The program installs the
// service that shows Qt's dialogs; tests install a scripted one that answers and records.
//
// Used on the GUI thread only.
#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace hv {

// A modal progress dialog while it lives. Cancel sets a flag that stays set.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setValue(int value) = 0;
    virtual bool wasCancelled() const = 0;
};

class PromptService {
public:
    virtual ~PromptService() = default;

    // A modal message box; returns the button that closed it (defaultButton when it was closed
    // otherwise). A box that offers only Ok returns Ok.
    virtual QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // The file chosen to open, or empty when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // The file chosen to save to, or empty when the dialog was cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // The folder chosen, or empty when the dialog was cancelled.
    virtual QString existingFolder(QWidget* parent, const QString& caption,
                                   const QString& folder) = 0;
    // One line typed in the text box under the caption prompt (Latin-1); none when cancelled.
    virtual std::optional<QString> text(QWidget* parent, const QByteArray& prompt) = 0;
    // Opens a modal progress dialog over 0..maximum; it closes when the view is destroyed.
    virtual std::unique_ptr<ProgressView> progress(QWidget* parent, const QString& label,
                                                   const QString& cancelText, int maximum) = 0;

    // The service in use; the Qt dialogs until another one is installed.
    static PromptService& current();
    // Installs next (null: the Qt dialogs again) and returns the one it replaces.
    static std::unique_ptr<PromptService> install(std::unique_ptr<PromptService> next);

    // Shorthands over message().
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);
    // A box with Yes and No, No as default: true for Yes.
    static bool askYesNo(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                         const QString& text);
};

}  // namespace hv
