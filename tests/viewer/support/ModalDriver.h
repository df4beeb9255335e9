// Drives real modal dialogs in tests: whenModal<T>(action) runs action on the next modal dialog
// of class T once its exec() has shown it, from inside that dialog's event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace hvtest {

template <class Dialog>
void whenModal(std::function<void(Dialog&)> action, int timeoutMs = 5000) {
    auto* poll = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, action, timeoutMs] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool late = clock->elapsed() > timeoutMs;
        if (!dialog && !late) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (!dialog) {
            ADD_FAILURE() << "no modal " << Dialog::staticMetaObject.className() << " appeared";
            return;
        }
        action(*dialog);
    });
    poll->start();
}

}  // namespace hvtest
