#include "app/SignalExit.h"

#include "app/TMainFormDati.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

// Why the handlers are installed only after the database is attached: the Firebird client library
// (libfbclient 3.0, measured with the embedded engine on Debian 12) installs its own handlers for
// SIGINT and SIGTERM on the first attach or create of the process, even a failed one, and not
// again on later attaches. Its handler shuts the engine down, closing every connection, and only
// then calls the handler that was there before. Installed before the first attach, ours would run
// after the connection was gone ("invalid database handle", no end time on the log-on row);
// installed after it, ours replace the client's and the connection stays usable until the
// program has closed the log-on row. SIGHUP the client leaves alone.

namespace app {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

// [0] is written by the handler, [1] read on the interface thread.
int s_pipe[2] = {-1, -1};

void onSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    // Non-blocking: when the pipe is full, an exit is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[0], &byte, 1);
    errno = saved;
}

}  // namespace

SignalExit::SignalExit(TMainFormDati& dati, QObject* parent) : QObject(parent), m_dati(dati) {
    Q_ASSERT_X(s_pipe[0] < 0, "SignalExit", "only one SignalExit at a time");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, s_pipe) != 0) {
        std::perror("Molarix: socketpair");
        s_pipe[0] = s_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalExit::readSignal);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) sigaction(Signals[i], &action, &m_previous[i]);
}

SignalExit::~SignalExit() {
    if (s_pipe[0] < 0) return;
    for (int i = 0; i < 3; ++i) sigaction(Signals[i], &m_previous[i], nullptr);
    delete m_notifier;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void SignalExit::readSignal() {
    char bytes[16];
    ssize_t n;
    int last = 0;
    while ((n = ::read(s_pipe[1], bytes, sizeof bytes)) > 0) last = bytes[n - 1];
    if (last == 0 || m_received != 0) return;  // a second signal while exiting changes nothing
    m_received = last;
    exitInOrder();
}

void SignalExit::exitInOrder() {
    // Hidden, not closed: a close event would let a window save what is typed in it (or ask
    // whether to), and nobody is there to answer. A modal dialog's own loop ends when it is
    // hidden, as when it is cancelled.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->hide();
    try {
        m_dati.endLogon();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Molarix: %s\n", e.what());
    }
    // exit() ends every running loop, nested ones included, and keeps new nested loops from
    // starting. A signal handled before the main loop began (in a dialog of the start-up) has no
    // main loop to end yet: the queued quit ends it as soon as it starts. It is queued on this
    // object so that it is dropped, not left for a later loop, when the start-up ends first.
    QCoreApplication::exit(0);
    QMetaObject::invokeMethod(
        this, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

}  // namespace app
