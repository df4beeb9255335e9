// The prompt service of the program: Qt's message boxes, file dialogs and progress dialog, and
// the UI library's text box.
#pragma once

#include "PromptService.h"

namespace hv {

class QtPromptService final : public PromptService {
public:
    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    std::optional<QString> text(QWidget* parent, const QByteArray& prompt) override;
    std::unique_ptr<ProgressView> progress(QWidget* parent, const QString& label,
                                           const QString& cancelText, int maximum) override;
};

}  // namespace hv
