// Ends the event loop when the program is asked to stop (SIGTERM, SIGINT, SIGHUP: a logout, a
// kill, Ctrl+C in its terminal), so the main window closes its board and saves what it keeps as
// at any other end. The signal handler only writes a byte to a socket; the GUI thread reads it.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace hv {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; they end every running event loop of the application.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // The signal that ended the loop, or 0.
    int received() const { return m_received; }

private:
    void onSignal();

    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_received = 0;
};

}  // namespace hv
