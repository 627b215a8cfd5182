#pragma once
#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace app {

class TMainFormDati;

// Ends the program in order when the system asks it to (SIGTERM at shut-down or from a kill,
// SIGINT from Ctrl+C in a terminal, SIGHUP when the terminal or session goes): every window is
// hidden without being closed, so no window saves or asks anything on the way out; the log-on row
// gets its end time; the message loop ends and the start-up finishes as after "Beigt darbu". The
// process then exits with status 0.
//
// The signal handler only writes a byte to a socket pair; the work is done on the interface
// thread when the socket notifier sees it.
//
// Create it once the session's database is attached (see SignalExit.cpp for why); one at a time.
class SignalExit : public QObject {
    Q_OBJECT
public:
    explicit SignalExit(TMainFormDati& dati, QObject* parent = nullptr);
    // Puts back the handlers that were there before.
    ~SignalExit() override;

    // The signal that started the exit; 0 while none has come.
    int receivedSignal() const { return m_received; }

private:
    void readSignal();
    void exitInOrder();

    TMainFormDati& m_dati;
    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
    struct sigaction m_previous[3];
};

}  // namespace app
