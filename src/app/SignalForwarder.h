#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace zelmora {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered by the event loop. A log-off
// usually ends a desktop program with SIGTERM and no aboutToQuit, and nothing useful may run
// inside a signal handler: the handler only writes the signal number into one end of a socket
// pair, and a socket notifier on the other end emits received() from the event loop, where the
// normal exit can run. One instance at a time owns the handlers.
class SignalForwarder : public QObject {
    Q_OBJECT
public:
    explicit SignalForwarder(QObject* parent = nullptr);
    ~SignalForwarder() override;
    SignalForwarder(const SignalForwarder&) = delete;
    SignalForwarder& operator=(const SignalForwarder&) = delete;

    // Installs the handlers; false when the socket pair or a handler could not be set up (or
    // another instance owns them). The previous dispositions come back in the destructor.
    bool install(const QList<int>& signalNumbers = defaultSignals());
    bool isInstalled() const { return m_notifier != nullptr; }

    static QList<int> defaultSignals();

signals:
    void received(int signalNumber);

private:
    void readPending();
    void uninstall();

    QSocketNotifier* m_notifier = nullptr;
    QList<int> m_signals;
    QList<void*> m_previous; // struct sigaction*, one per signal
};

} // namespace zelmora
