// A stop request ends the viewer's event loop instead of the process, so the window can close its
// board first; without the handlers the default action comes back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
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

TEST(TerminationSignals, ASignalWhileADialogAsksEndsTheDialogsLoopAndTheNextOnes) {
    hv::TerminationSignals handlers;
    QDialog asking;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(10000, &asking, [&asking] { asking.done(7); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(asking.exec(), QDialog::Rejected);
    EXPECT_EQ(handlers.received(), SIGTERM);
    // A question asked after it does not wait for an answer either.
    QDialog next;
    QTimer::singleShot(10000, &next, [&next] { next.done(7); });
    EXPECT_NE(next.exec(), 7);
    EXPECT_LT(clock.elapsed(), 5000);
}

}  // namespace
