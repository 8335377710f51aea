#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

#include "signal_actions.h"

namespace zirared {

// SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGALRM, SIGUSR1 and SIGUSR2 (a logout, a kill, Ctrl-C
// in the terminal that started the window) reach the event loop as a signal of this object
// instead of ending the process at once, so a running operation can leave the folder as it
// found it before the window closes. SIGPIPE and SIGXFSZ are ignored, so a write they would
// cut short fails and is cleaned up like any other. A signal ignored at start (nohup) stays
// ignored; every action goes back as it was found when the object is destroyed. One instance
// at a time.
class EndingSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EndingSignals)

public:
    EndingSignals();
    ~EndingSignals() override;

    // The last ending signal received, 0 for none: once the window has closed, the process
    // ends by it, so whoever sent it sees that.
    int Received() const { return m_received; }

signals:
    void endRequested();

private:
    void Drain();

    SignalActions m_actions;
    int m_received = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace zirared
