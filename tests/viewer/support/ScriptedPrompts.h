// A prompt service for tests: answers from a script and records every prompt. Installed for its
// lifetime; the service it replaced comes back when it is destroyed.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "PromptService.h"

namespace hvtest {

struct PromptRecord {
    enum Kind { Message, OpenFile, SaveFile, Folder, Text, Progress };
    Kind kind = Message;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;  // the message, caption, text prompt or progress label
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString folder;                   // file and folder dialogs
    QString filter;                   // file dialogs
    QString cancelText;               // progress
    int maximum = 0;                  // progress
    std::vector<int> progressValues;  // progress, every value set
};

class ScriptedPrompts : public hv::PromptService {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Answers, taken in order by the prompts that need one. A message box that offers only Ok
    // takes none and returns Ok. A prompt that finds no answer fails the test and gets the
    // default (No, Cancel, an empty path, no text).
    void answer(QMessageBox::StandardButton button);
    void answerPath(const QString& path);  // a file or folder dialog
    void answerText(std::optional<QString> text);
    // The next progress dialog reports Cancel once its value reaches value.
    void cancelProgressAt(int value);

    const std::vector<PromptRecord>& records() const { return m_records; }
    // The texts of the message boxes, in order.
    QStringList messageTexts() const;
    QStringList messageTitles() const;
    // Answers not taken yet.
    std::size_t pendingAnswers() const;

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
    std::unique_ptr<hv::ProgressView> progress(QWidget* parent, const QString& label,
                                               const QString& cancelText, int maximum) override;

private:
    class Progress;
    class Installer;

    QString takePath(PromptRecord record);
    QStringList messageField(QString PromptRecord::*field) const;

    std::vector<PromptRecord> m_records;
    std::deque<QMessageBox::StandardButton> m_buttons;
    std::deque<QString> m_paths;
    std::deque<QString> m_texts;
    std::deque<bool> m_textGiven;  // false: the text box is cancelled
    std::deque<int> m_cancelAt;
    // The service this one replaced; owned here while this one is installed.
    std::unique_ptr<hv::PromptService> m_previous;
};

}  // namespace hvtest
