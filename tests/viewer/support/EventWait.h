// Runs the event loop until a condition holds, for tests that wait for queued signals and
// timers.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace hvtest {

// Runs the event loop until done() holds or ms pass; whether it held.
inline bool waitForEvents(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace hvtest
