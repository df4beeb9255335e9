// Answers the modal boxes that open while it lives: the text box gets the name given (or is
// cancelled without one), and every message box is noted ("title|text") and closed.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <optional>

#include "TextBox.h"

namespace uitest {

class ModalAnswerer {
public:
    explicit ModalAnswerer(std::optional<QString> name) : m_name(std::move(name)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(5);
    }

    int textBoxes = 0;
    QStringList messages;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<TextBox*>(modal)) {
            ++textBoxes;
            if (m_name) {
                box->findChild<QLineEdit*>("textboxLineEdit")->setText(*m_name);
                box->accept();
            } else {
                box->reject();
            }
        } else if (auto* message = qobject_cast<QMessageBox*>(modal)) {
            messages << message->windowTitle() + "|" + message->text();
            message->accept();
        }
    }

    std::optional<QString> m_name;
    QTimer m_timer;
};

}  // namespace uitest
