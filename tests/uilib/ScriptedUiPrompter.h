// The UI library's prompts for tests: while it lives, information and warning boxes are
// recorded, and text boxes and file dialogs take their answers from a script.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>

#include "UiPrompter.h"

namespace uitest {

class ScriptedUiPrompter {
public:
    ScriptedUiPrompter() {
        auto script = std::make_unique<Script>();
        m_script = script.get();
        m_previous = kxui::UiPrompter::install(std::move(script));
    }
    ~ScriptedUiPrompter() { kxui::UiPrompter::install(std::move(m_previous)); }
    ScriptedUiPrompter(const ScriptedUiPrompter&) = delete;
    ScriptedUiPrompter& operator=(const ScriptedUiPrompter&) = delete;

    // The next text box answers text (none: it is cancelled).
    void answerText(std::optional<QString> text) { m_script->texts.push_back(std::move(text)); }
    // The next file dialog answers path.
    void answerFile(const QString& path) { m_script->files.push_back(path); }

    const QStringList& warnings() const { return m_script->warnings; }
    const QStringList& informations() const { return m_script->informations; }
    const QStringList& titles() const { return m_script->titles; }
    const QStringList& textPrompts() const { return m_script->textPrompts; }

private:
    struct Script : kxui::UiPrompter {
        void information(QWidget*, const QString& title, const QString& text) override {
            titles << title;
            informations << text;
        }
        void warning(QWidget*, const QString& title, const QString& text) override {
            titles << title;
            warnings << text;
        }
        std::optional<QString> text(QWidget*, const char* prompt) override {
            textPrompts << QString::fromLatin1(prompt);
            if (texts.empty()) {
                ADD_FAILURE() << "unexpected text box " << prompt;
                return std::nullopt;
            }
            std::optional<QString> next = texts.front();
            texts.pop_front();
            return next;
        }
        QString openFileName(QWidget*, const QString&, const QString&, const QString&) override {
            if (files.empty()) {
                ADD_FAILURE() << "unexpected file dialog";
                return QString();
            }
            QString next = files.front();
            files.pop_front();
            return next;
        }

        std::deque<std::optional<QString>> texts;
        std::deque<QString> files;
        QStringList warnings;
        QStringList informations;
        QStringList titles;
        QStringList textPrompts;
    };

    Script* m_script = nullptr;
    std::unique_ptr<kxui::UiPrompter> m_previous;
};

}  // namespace uitest
