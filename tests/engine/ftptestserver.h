#pragma once

// The FTP server of the upload tests: pyftpdlib under Debian's /usr/bin/python3, started with
// the session tests' script on 127.0.0.1 at a free port. It reports the logins, logouts and
// uploads it saw as lines, collected in events, so a test counts what the server saw.

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillon::test {

class FtpTestServer : public QObject
{
public:
    // The server stops by itself after this at the latest.
    static constexpr int kLifetimeSeconds = 90;

    explicit FtpTestServer(const QString& root)
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { read(); });
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(QUILLON_SOURCE_DIR "/tests/ftp/ftpserver.py"), root,
                         QString::number(kLifetimeSeconds), QStringLiteral("events")});
    }
    ~FtpTestServer() override { stop(); }

    bool waitForPort()
    {
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (m_port == 0 && clock.elapsed() < 10000) {
            if (!m_process.waitForReadyRead(10000))
                return false;
            read();
        }
        return m_port > 0;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel(); // the server stops when its input ends
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        read();
    }
    // Takes in what the server printed so far (the event loop does it too).
    void read()
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("PORT ")))
                m_port = line.mid(5).toInt();
            else
                events << line;
        }
    }
    int port() const { return m_port; }
    int count(const QString& prefix) const
    {
        int n = 0;
        for (const QString& e : events)
            n += e.startsWith(prefix) ? 1 : 0;
        return n;
    }

    QStringList events;

private:
    QProcess m_process;
    int m_port = 0;
};

} // namespace quillon::test
