#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns SIGTERM, SIGINT and SIGHUP (a session that logs out, a terminal that closes) into a
// quit of the event loop, so that the program ends through its usual path and cleans up after
// itself instead of dying where it stands. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // True once a signal has arrived. A signal handled before the event loop runs (while the
    // program starts up and lets pending events through) cannot quit a loop that does not run
    // yet: the program asks this before it enters the loop.
    bool wasReceived() const { return m_received; }

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
    bool m_received = false;
};

} // namespace platform
