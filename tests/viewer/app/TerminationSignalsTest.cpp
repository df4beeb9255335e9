// A stop request ends the viewer's event loop instead of the process, so the window can close its
// board first; without the handlers the default action comes back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <csignal>

#include "TerminationSignals.h"

namespace {

TEST(TerminationSignals, EachStopSignalEndsTheEventLoopAndIsReported) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        hv::TerminationSignals handlers;
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        // A loop that would otherwise run for 10 s.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        guard.start(10000);
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_EQ(handlers.received(), signal);
    }
    struct sigaction current = {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
