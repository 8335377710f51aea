#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace zirared {

// SIGTERM, SIGHUP and SIGINT (a logout, a kill, Ctrl-C in the terminal that started the
// window) reach the event loop as a signal of this object instead of ending the process
// at once, so a running operation can leave the folder as it found it before the window
// closes. One instance at a time.
class EndingSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EndingSignals)

public:
    EndingSignals();
    ~EndingSignals() override;

signals:
    void endRequested();

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace zirared
