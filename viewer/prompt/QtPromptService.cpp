#include "QtPromptService.h"

#include <QFileDialog>
#include <QProgressDialog>
#include <cstdio>

#include "TextBox.h"

namespace hv {

namespace {

// A modal QProgressDialog; setValue lets the dialog handle its events, so Cancel is seen while
// the work runs on the GUI thread.
class QtProgressView final : public ProgressView {
public:
    QtProgressView(QWidget* parent, const QString& label, const QString& cancelText, int maximum)
        : m_dialog(label, cancelText, 0, maximum, parent) {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        QObject::connect(&m_dialog, &QProgressDialog::canceled, &m_dialog,
                         [this] { m_cancelled = true; });
        m_dialog.setValue(0);
    }

    void setValue(int value) override { m_dialog.setValue(value); }
    bool wasCancelled() const override { return m_cancelled; }

private:
    QProgressDialog m_dialog;
    bool m_cancelled = false;
};

}  // namespace

QMessageBox::StandardButton QtPromptService::message(QWidget* parent, QMessageBox::Icon icon,
                                                     const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton) {
    // Every message also goes to standard error: a terminal or a session log keeps what the
    // operator was told after the box is gone.
    std::fprintf(stderr, "Harnview: %s\n", qUtf8Printable(text));
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(defaultButton);
    const int answer = box.exec();
    const auto button = static_cast<QMessageBox::StandardButton>(answer);
    return buttons.testFlag(button) ? button : defaultButton;
}

QString QtPromptService::openFileName(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtPromptService::saveFileName(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QString QtPromptService::existingFolder(QWidget* parent, const QString& caption,
                                        const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

std::optional<QString> QtPromptService::text(QWidget* parent, const QByteArray& prompt) {
    TextBox box(parent);
    box.setupTextBox(prompt.constData());
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.getTextBox();
}

std::unique_ptr<ProgressView> QtPromptService::progress(QWidget* parent, const QString& label,
                                                        const QString& cancelText, int maximum) {
    return std::make_unique<QtProgressView>(parent, label, cancelText, maximum);
}

}  // namespace hv
