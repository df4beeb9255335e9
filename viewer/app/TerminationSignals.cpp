#include "TerminationSignals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <csignal>

namespace hv {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
int g_sockets[2] = {-1, -1};

void handle(int signal) {
    const char byte = static_cast<char>(signal);
    // Nothing to do when the socket is full: a byte is waiting already.
    [[maybe_unused]] const ssize_t written = write(g_sockets[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_sockets) != 0) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_sockets[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::onSignal);
    struct sigaction action = {};
    action.sa_handler = &handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        sigaction(signal, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    for (int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
    m_notifier.reset();
    for (int& socket : g_sockets) {
        if (socket >= 0) {
            close(socket);
            socket = -1;
        }
    }
}

void TerminationSignals::onSignal() {
    char byte = 0;
    if (read(g_sockets[1], &byte, 1) == 1) {
        m_received = static_cast<unsigned char>(byte);
    }
    // Every event loop ends, a message box's too: a signal that comes while start-up asks
    // something ends the program as well (quit() would wait for the main loop).
    QCoreApplication::exit(0);
}

}  // namespace hv
