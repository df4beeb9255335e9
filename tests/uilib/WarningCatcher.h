// Collects the UI library's warning boxes instead of showing them, while it lives.
#pragma once

#include <QString>
#include <QStringList>

#include "WarningBox.h"

namespace uitest {

class WarningCatcher {
public:
    WarningCatcher() {
        m_previous = kxui::WarningBox::setPresenter(
            [this](QWidget*, const QString& title, const QString& text) {
                titles << title;
                texts << text;
            });
    }
    ~WarningCatcher() { kxui::WarningBox::setPresenter(m_previous); }
    WarningCatcher(const WarningCatcher&) = delete;
    WarningCatcher& operator=(const WarningCatcher&) = delete;

    QStringList titles;
    QStringList texts;

private:
    kxui::WarningBox::Presenter m_previous;
};

}  // namespace uitest
