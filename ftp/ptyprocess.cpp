#include "ftp/ptyprocess_p.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QVector>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace quillon::ftp {

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 24;
constexpr int kTermGraceMs = 500;  // time a child gets to end after SIGTERM before SIGKILL
constexpr int kWriteWaitMs = 2000; // longest wait for room in the terminal's input buffer
constexpr int kExitPollMs = 50;    // only when the kernel offers no process descriptor

int openPidfd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    return -1;
#endif
}

} // namespace

PtyProcess::PtyProcess(QObject* parent) : QObject(parent) {}

PtyProcess::~PtyProcess()
{
    kill();
}

bool PtyProcess::start(const QString& program, const QStringList& arguments, QString* error)
{
    kill();
    // Everything the child needs is built before fork: after fork only async-signal-safe
    // calls are made.
    QList<QByteArray> args{program.toLocal8Bit()};
    for (const QString& a : arguments)
        args << a.toLocal8Bit();
    QVector<char*> argv;
    for (QByteArray& a : args)
        argv << a.data();
    argv << nullptr;
    QList<QByteArray> env;
    for (char** e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "LC_ALL=", 7) != 0 && std::strncmp(*e, "COLUMNS=", 8) != 0)
            env << QByteArray(*e);
    }
    env << QByteArrayLiteral("LC_ALL=C.UTF-8");
    QVector<char*> envp;
    for (QByteArray& e : env)
        envp << e.data();
    envp << nullptr;
    const QByteArray path = program.toLocal8Bit();

    struct winsize size{};
    size.ws_col = kColumns;
    size.ws_row = kRows;
    struct termios modes{};
    ::cfmakeraw(&modes);
    // Line ends as a terminal prints them (\r\n), no echo of what is written to the child.
    modes.c_iflag = ICRNL;
    modes.c_oflag = OPOST | ONLCR;
    modes.c_lflag = ICANON | ISIG;
    modes.c_cflag = CS8 | CREAD;
    modes.c_cc[VMIN] = 1;
    modes.c_cc[VTIME] = 0;
    modes.c_cc[VEOF] = 4;
    modes.c_cc[VINTR] = 3;
    ::cfsetispeed(&modes, B38400);
    ::cfsetospeed(&modes, B38400);

    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, &modes, &size);
    if (pid < 0) {
        if (error)
            *error = QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::execve(path.constData(), argv.data(), envp.data());
        ::_exit(127);
    }
    m_pid = pid;
    m_master = master;
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    m_outputNotifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
    connect(m_outputNotifier, &QSocketNotifier::activated, this, &PtyProcess::readAvailable);
    m_pidfd = openPidfd(pid);
    if (m_pidfd >= 0) {
        ::fcntl(m_pidfd, F_SETFD, FD_CLOEXEC);
        m_exitNotifier = new QSocketNotifier(qintptr(m_pidfd), QSocketNotifier::Read, this);
        connect(m_exitNotifier, &QSocketNotifier::activated, this, &PtyProcess::checkExited);
    } else {
        auto* poll = new QTimer(this);
        poll->setObjectName(QStringLiteral("exitPoll"));
        connect(poll, &QTimer::timeout, this, &PtyProcess::checkExited);
        poll->start(kExitPollMs);
    }
    return true;
}

bool PtyProcess::write(const QByteArray& data)
{
    if (m_master < 0)
        return false;
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_master, POLLOUT, 0};
            if (::poll(&p, 1, kWriteWaitMs) > 0)
                continue;
        }
        return false;
    }
    return true;
}

void PtyProcess::readAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit output(QByteArray(buffer, int(n)));
            if (m_master < 0) // a slot ended the child
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // EIO or end of file: the child closed its terminal, it is ending.
        if (m_outputNotifier)
            m_outputNotifier->setEnabled(false);
        checkExited();
        return;
    }
}

void PtyProcess::checkExited()
{
    if (m_pid <= 0)
        return;
    int status = 0;
    const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid || (r < 0 && errno == ECHILD))
        reaped(r == m_pid ? status : 0);
}

void PtyProcess::reaped(int status)
{
    // Output still buffered in the terminal comes before the end.
    if (m_master >= 0 && m_outputNotifier && m_outputNotifier->isEnabled()) {
        m_outputNotifier->setEnabled(false);
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            emit output(QByteArray(buffer, int(n)));
    }
    m_pid = -1;
    dropNotifiers();
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    if (m_pidfd >= 0)
        ::close(m_pidfd);
    m_pidfd = -1;
    emit finished(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

void PtyProcess::dropNotifiers()
{
    // Later, not now: this may run inside one of their own notifications.
    for (QObject* o : {static_cast<QObject*>(m_outputNotifier), static_cast<QObject*>(m_exitNotifier),
                       static_cast<QObject*>(findChild<QTimer*>(QStringLiteral("exitPoll")))}) {
        if (auto* n = qobject_cast<QSocketNotifier*>(o))
            n->setEnabled(false);
        if (auto* t = qobject_cast<QTimer*>(o))
            t->stop();
        if (o) {
            o->setObjectName(QString());
            o->deleteLater();
        }
    }
    m_outputNotifier = nullptr;
    m_exitNotifier = nullptr;
}

void PtyProcess::kill()
{
    if (m_pid <= 0)
        return;
    const pid_t pid = m_pid;
    m_pid = -1;
    dropNotifiers();
    ::close(m_master); // hang-up for the child's terminal
    m_master = -1;
    ::kill(pid, SIGTERM);
    int status = 0;
    bool gone = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!gone && m_pidfd >= 0) {
        pollfd p{m_pidfd, POLLIN, 0};
        ::poll(&p, 1, kTermGraceMs);
        gone = ::waitpid(pid, &status, WNOHANG) == pid;
    }
    if (!gone) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (m_pidfd >= 0)
        ::close(m_pidfd);
    m_pidfd = -1;
}

} // namespace quillon::ftp
