#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <utility>

namespace hvtest {

class ScriptedPrompts::Progress final : public hv::ProgressView {
public:
    Progress(ScriptedPrompts& owner, std::size_t record, std::optional<int> cancelAt)
        : m_owner(owner), m_record(record), m_cancelAt(cancelAt) {}

    void setValue(int value) override {
        m_owner.m_records[m_record].progressValues.push_back(value);
        if (m_cancelAt && value >= *m_cancelAt) {
            m_cancelled = true;
        }
    }
    bool wasCancelled() const override { return m_cancelled; }

private:
    ScriptedPrompts& m_owner;
    std::size_t m_record;
    std::optional<int> m_cancelAt;
    bool m_cancelled = false;
};

// Installs the scripted service without handing ownership to the registry: the test owns it.
class ScriptedPrompts::Installer final : public hv::PromptService {
public:
    explicit Installer(ScriptedPrompts& target) : m_target(target) {}
    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        return m_target.message(parent, icon, title, text, buttons, defaultButton);
    }
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return m_target.openFileName(parent, caption, folder, filter);
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return m_target.saveFileName(parent, caption, folder, filter);
    }
    QString existingFolder(QWidget* parent, const QString& caption,
                           const QString& folder) override {
        return m_target.existingFolder(parent, caption, folder);
    }
    std::optional<QString> text(QWidget* parent, const QByteArray& prompt) override {
        return m_target.text(parent, prompt);
    }
    std::unique_ptr<hv::ProgressView> progress(QWidget* parent, const QString& label,
                                               const QString& cancelText, int maximum) override {
        return m_target.progress(parent, label, cancelText, maximum);
    }

private:
    ScriptedPrompts& m_target;
};

ScriptedPrompts::ScriptedPrompts()
    : m_previous(hv::PromptService::install(std::make_unique<Installer>(*this))) {}

ScriptedPrompts::~ScriptedPrompts() {
    hv::PromptService::install(std::move(m_previous));
}

void ScriptedPrompts::answer(QMessageBox::StandardButton button) {
    m_buttons.push_back(button);
}

void ScriptedPrompts::answerPath(const QString& path) {
    m_paths.push_back(path);
}

void ScriptedPrompts::answerText(std::optional<QString> text) {
    m_textGiven.push_back(text.has_value());
    m_texts.push_back(text.value_or(QString()));
}

void ScriptedPrompts::cancelProgressAt(int value) {
    m_cancelAt.push_back(value);
}

QStringList ScriptedPrompts::messageField(QString PromptRecord::*field) const {
    QStringList values;
    for (const PromptRecord& record : m_records) {
        if (record.kind == PromptRecord::Message) {
            values << record.*field;
        }
    }
    return values;
}

QStringList ScriptedPrompts::messageTexts() const {
    return messageField(&PromptRecord::text);
}

QStringList ScriptedPrompts::messageTitles() const {
    return messageField(&PromptRecord::title);
}

std::size_t ScriptedPrompts::pendingAnswers() const {
    return m_buttons.size() + m_paths.size() + m_texts.size();
}

QMessageBox::StandardButton ScriptedPrompts::message(QWidget*, QMessageBox::Icon icon,
                                                     const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton) {
    PromptRecord record;
    record.kind = PromptRecord::Message;
    record.icon = icon;
    record.title = title;
    record.text = text;
    record.buttons = buttons;
    record.defaultButton = defaultButton;
    m_records.push_back(record);
    if (buttons == QMessageBox::Ok) {
        return QMessageBox::Ok;
    }
    if (m_buttons.empty()) {
        ADD_FAILURE() << "no scripted answer for the box \"" << text.toStdString() << "\"";
        return defaultButton;
    }
    const QMessageBox::StandardButton button = m_buttons.front();
    m_buttons.pop_front();
    EXPECT_TRUE(buttons.testFlag(button))
        << "the scripted answer is not a button of the box \"" << text.toStdString() << "\"";
    return button;
}

QString ScriptedPrompts::takePath(PromptRecord record) {
    m_records.push_back(record);
    if (m_paths.empty()) {
        ADD_FAILURE() << "no scripted path for \"" << record.text.toStdString() << "\"";
        return {};
    }
    QString path = m_paths.front();
    m_paths.pop_front();
    return path;
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& caption, const QString& folder,
                                      const QString& filter) {
    PromptRecord record;
    record.kind = PromptRecord::OpenFile;
    record.text = caption;
    record.folder = folder;
    record.filter = filter;
    return takePath(record);
}

QString ScriptedPrompts::saveFileName(QWidget*, const QString& caption, const QString& folder,
                                      const QString& filter) {
    PromptRecord record;
    record.kind = PromptRecord::SaveFile;
    record.text = caption;
    record.folder = folder;
    record.filter = filter;
    return takePath(record);
}

QString ScriptedPrompts::existingFolder(QWidget*, const QString& caption, const QString& folder) {
    PromptRecord record;
    record.kind = PromptRecord::Folder;
    record.text = caption;
    record.folder = folder;
    return takePath(record);
}

std::optional<QString> ScriptedPrompts::text(QWidget*, const QByteArray& prompt) {
    PromptRecord record;
    record.kind = PromptRecord::Text;
    record.text = QString::fromLatin1(prompt);
    m_records.push_back(record);
    if (m_texts.empty()) {
        ADD_FAILURE() << "no scripted text for \"" << prompt.toStdString() << "\"";
        return std::nullopt;
    }
    const QString text = m_texts.front();
    const bool given = m_textGiven.front();
    m_texts.pop_front();
    m_textGiven.pop_front();
    if (!given) {
        return std::nullopt;
    }
    return text;
}

std::unique_ptr<hv::ProgressView> ScriptedPrompts::progress(QWidget*, const QString& label,
                                                            const QString& cancelText,
                                                            int maximum) {
    PromptRecord record;
    record.kind = PromptRecord::Progress;
    record.text = label;
    record.cancelText = cancelText;
    record.maximum = maximum;
    m_records.push_back(record);
    std::optional<int> cancelAt;
    if (!m_cancelAt.empty()) {
        cancelAt = m_cancelAt.front();
        m_cancelAt.pop_front();
    }
    return std::make_unique<Progress>(*this, m_records.size() - 1, cancelAt);
}

}  // namespace hvtest
