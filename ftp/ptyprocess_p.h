#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <sys/types.h>

class QSocketNotifier;

namespace quillon::ftp {

// A child program on a pseudo-terminal of its own (80 columns, no echo), started from an
// argument vector with LC_ALL=C.UTF-8. Output arrives through a QSocketNotifier on the master
// side; the child is reaped when it ends and killed (by its PID) when this object goes.
// Lives on the thread that created it.
class PtyProcess : public QObject
{
    Q_OBJECT

public:
    explicit PtyProcess(QObject* parent = nullptr);
    ~PtyProcess() override;

    // Starts program (a full path) with arguments. False with a message when it cannot.
    bool start(const QString& program, const QStringList& arguments, QString* error);
    bool isRunning() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // Writes all of data to the child's terminal; false when the child is gone.
    bool write(const QByteArray& data);
    // Ends the child: hang-up, then SIGTERM, then SIGKILL after a short grace; always reaps it.
    void kill();

signals:
    void output(const QByteArray& chunk);
    void finished(int exitStatus);

private:
    void readAvailable();
    void checkExited();
    void reaped(int status);
    void dropNotifiers();

    pid_t m_pid = -1;
    int m_master = -1;
    int m_pidfd = -1;
    QSocketNotifier* m_outputNotifier = nullptr;
    QSocketNotifier* m_exitNotifier = nullptr;
};

} // namespace quillon::ftp
