// The session driving the real ftp client (tnftp) against a real FTP server (pyftpdlib under
// Debian's /usr/bin/python3) on 127.0.0.1.

#include "ftp/silentserver.h"

#include "ftp/ftpshell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using quillon::ftp::fileItem;
using quillon::ftp::FTPshell;

namespace {

constexpr int kServerLifetimeSeconds = 90; // the server stops by itself after this at the latest

using ftptest::SilentServer;

// A port on 127.0.0.1 with nothing listening (bound once to find it, then released).
int closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), len);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

// True once the process is gone and reaped (no zombie left either).
bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QByteArray commandLine(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().replace('\0', ' ');
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_FtpShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void login_data();
    void login();
    void session();
    void uploadRefused();
    void serverGoesAway();
    void stopFlagEndsWait();
    void silenceEndsWait();
    void destructionEndsClient();
    void onWorkerThread();

private:
    bool login(FTPshell& shell, const QString& user, const QString& password,
               const QString& path = QString());

    QTemporaryDir m_root;  // what the server serves
    QTemporaryDir m_local; // the client's side
    QProcess m_server;
    int m_port = 0;
};

void tst_FtpShell::initTestCase()
{
    QVERIFY(m_root.isValid() && m_local.isValid());
    QVERIFY(QDir(m_root.path()).mkdir(QStringLiteral("up")));
    QFile hello(m_root.filePath(QStringLiteral("hello.txt")));
    QVERIFY(hello.open(QIODevice::WriteOnly));
    hello.write("hello\n");
    hello.close();
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(QUILLON_SOURCE_DIR "/tests/ftp/ftpserver.py"), m_root.path(),
                    QString::number(kServerLifetimeSeconds)});
    QVERIFY2(m_server.waitForStarted(5000), qPrintable(m_server.errorString()));
    while (!m_server.canReadLine())
        QVERIFY2(m_server.waitForReadyRead(10000), "the test FTP server did not start");
    const QByteArray line = m_server.readLine().trimmed();
    QVERIFY2(line.startsWith("PORT "), line.constData());
    m_port = line.mid(5).toInt();
    QVERIFY(m_port > 0);
}

void tst_FtpShell::cleanupTestCase()
{
    m_server.closeWriteChannel(); // the server stops when its input ends
    if (!m_server.waitForFinished(5000))
        m_server.kill();
}

bool tst_FtpShell::login(FTPshell& shell, const QString& user, const QString& password,
                         const QString& path)
{
    shell.setPort(m_port);
    shell.setCurrentPath(path);
    shell.setSilenceLimit(std::chrono::seconds(10));
    return shell.sConnect(QStringLiteral("127.0.0.1"), user, password);
}

void tst_FtpShell::login_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("port"); // 0: the test server's
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("reason");
    QTest::newRow("plain password") << "alice" << "secret" << "" << 0 << true << "";
    QTest::newRow("password with @ : / and blank") << "bob" << "p@ss w:rd/x" << "/up" << 0 << true << "";
    QTest::newRow("wrong password") << "alice" << "wrong" << "" << 0 << false << "530";
    QTest::newRow("password of another user") << "alice" << "p@ss w:rd/x" << "" << 0 << false << "530";
    QTest::newRow("nothing listening") << "alice" << "secret" << "" << closedPort() << false
                                       << "Connection refused";
    QTest::newRow("path that does not exist") << "alice" << "secret" << "/nonexist" << 0 << false
                                              << "550";
}

void tst_FtpShell::login()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, path);
    QFETCH(int, port);
    QFETCH(bool, accepted);
    QFETCH(QString, reason);
    FTPshell shell;
    QSignalSpy finished(&shell, &FTPshell::clientFinished);
    QSignalSpy debug(&shell, &FTPshell::debug);
    shell.setPort(port ? port : m_port);
    shell.setCurrentPath(path);
    shell.setSilenceLimit(std::chrono::seconds(10));
    QElapsedTimer clock;
    clock.start();
    const bool ok = shell.sConnect(QStringLiteral("127.0.0.1"), user, password);
    QVERIFY2(ok == accepted, qPrintable(shell.lastError()));
    QCOMPARE(shell.isConnected(), accepted);
    QVERIFY(clock.elapsed() < 8000);
    QVERIFY(!shell.lastError().contains(password));
    for (const QVariantList& chunk : debug)
        QVERIFY(!chunk.first().toString().contains(password));
    if (accepted) {
        const qint64 pid = shell.clientPid();
        QVERIFY(pid > 0);
        const QByteArray argv = commandLine(pid);
        QVERIFY2(argv.contains("ftp://" + QUrl::toPercentEncoding(user) + "@127.0.0.1:"), argv.constData());
        QVERIFY2(argv.contains("/ "), argv.constData()); // the URL's path ends in "/"
        QVERIFY2(!argv.contains(password.toUtf8()) &&
                     !argv.contains(QUrl::toPercentEncoding(password)),
                 argv.constData());
        shell.disconnect();
        QVERIFY(finished.wait(5000));
        QVERIFY(processGone(pid));
    } else {
        QVERIFY2(shell.lastError().contains(reason), qPrintable(shell.lastError()));
        QVERIFY(shell.lastError().contains(QStringLiteral("127.0.0.1")));
        if (finished.isEmpty())
            QVERIFY(finished.wait(5000)); // the client ends by itself after a failed login
        QCOMPARE(shell.clientPid(), -1);
    }
}

void tst_FtpShell::session()
{
    FTPshell shell;
    QVERIFY2(login(shell, QStringLiteral("alice"), QStringLiteral("secret")),
             qPrintable(shell.lastError()));
    const qint64 pid = shell.clientPid();

    QSignalSpy gotPath(&shell, &FTPshell::gotCurrentPath);
    shell.getCurrentPath();
    QVERIFY(gotPath.wait(5000));
    QCOMPARE(gotPath.last().first().toString(), QStringLiteral("/"));

    QSignalSpy listed(&shell, &FTPshell::receivedFileList);
    shell.getFileList();
    QVERIFY(listed.wait(5000));
    QStringList names;
    for (const fileItem& item : listed.last().first().value<QList<fileItem>>())
        names << item.filename + (item.folder ? QStringLiteral("/") : QString());
    names.sort();
    QCOMPARE(names, (QStringList{"hello.txt", "up/"}));

    QSignalSpy changed(&shell, &FTPshell::changedDir);
    shell.setDirectory(QStringLiteral("up"));
    QVERIFY(changed.wait(5000));
    shell.getCurrentPath();
    QVERIFY(gotPath.wait(5000));
    QCOMPARE(gotPath.last().first().toString(), QStringLiteral("/up"));

    // A name with blanks, quotes and brackets: escaping and the client's globbing turned off.
    const QString name = QStringLiteral("my \"best\" [1].bin");
    const QString local = m_local.filePath(name);
    QByteArray data(300 * 1024, Qt::Uninitialized);
    QRandomGenerator gen(7);
    gen.fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
    {
        QFile f(local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QVERIFY2(shell.sUploadFile(local), qPrintable(shell.lastError()));
    QCOMPARE(readAll(m_root.filePath(QStringLiteral("up/") + name)), data);

    QSignalSpy downloaded(&shell, &FTPshell::downloadFinished);
    const QString back = m_local.filePath(QStringLiteral("back again.bin"));
    shell.downloadFile(name, back);
    QVERIFY(downloaded.wait(5000));
    QCOMPARE(downloaded.last().first().toString(), name);
    QCOMPARE(readAll(back), data);

    QSignalSpy deleted(&shell, &FTPshell::fileDeleted);
    QSignalSpy failed(&shell, &FTPshell::commandFailed);
    shell.deleteFile(name);
    QVERIFY(deleted.wait(5000));
    QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("up/") + name)));
    shell.deleteFile(name); // no longer there
    QVERIFY(failed.wait(5000));
    QVERIFY2(failed.last().at(2).toString().startsWith(QStringLiteral("550")),
             qPrintable(failed.last().at(2).toString()));

    QSignalSpy disconnected(&shell, &FTPshell::disconnected);
    QSignalSpy finished(&shell, &FTPshell::clientFinished);
    shell.disconnect();
    QVERIFY(finished.wait(5000));
    QCOMPARE(disconnected.size(), 1);
    QVERIFY(!shell.isConnected());
    QVERIFY(processGone(pid));
    QVERIFY(!shell.sUploadFile(local)); // nothing to upload to any more
}

void tst_FtpShell::uploadRefused()
{
    FTPshell shell;
    QVERIFY2(login(shell, QStringLiteral("reader"), QStringLiteral("readonly")),
             qPrintable(shell.lastError()));
    const QString local = m_local.filePath(QStringLiteral("refused.jpg"));
    QFile f(local);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not wanted");
    f.close();
    QVERIFY(!shell.sUploadFile(local));
    QVERIFY2(shell.lastError().contains(QStringLiteral("550")), qPrintable(shell.lastError()));
    QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("refused.jpg"))));
    QVERIFY(shell.isConnected()); // the session goes on
    QVERIFY(!shell.sUploadFile(m_local.filePath(QStringLiteral("missing.jpg"))));
    QVERIFY2(shell.lastError().contains(QStringLiteral("missing.jpg")), qPrintable(shell.lastError()));
}

void tst_FtpShell::serverGoesAway()
{
    QTemporaryDir root;
    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(QUILLON_SOURCE_DIR "/tests/ftp/ftpserver.py"), root.path(),
                  QString::number(kServerLifetimeSeconds)});
    QVERIFY(server.waitForStarted(5000));
    while (!server.canReadLine())
        QVERIFY(server.waitForReadyRead(10000));
    FTPshell shell;
    shell.setPort(server.readLine().trimmed().mid(5).toInt());
    shell.setSilenceLimit(std::chrono::seconds(10));
    QVERIFY2(shell.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                            QStringLiteral("secret")),
             qPrintable(shell.lastError()));
    server.closeWriteChannel(); // the server stops and drops the session
    QVERIFY(server.waitForFinished(5000));
    const QString local = m_local.filePath(QStringLiteral("lost.jpg"));
    QFile f(local);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("never arrives");
    f.close();
    QVERIFY(!shell.sUploadFile(local));
    QVERIFY(!shell.lastError().isEmpty());
    QVERIFY(!shell.isConnected()); // so the next image logs in again
    QVERIFY(!QFile::exists(root.filePath(QStringLiteral("lost.jpg"))));
}

void tst_FtpShell::stopFlagEndsWait()
{
    SilentServer silent;
    QVERIFY(silent.port() > 0);
    FTPshell shell;
    std::atomic_bool stop{false};
    shell.setStopFlag(&stop);
    shell.setPort(silent.port());
    QTimer::singleShot(300, [&stop] { stop = true; });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!shell.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                            QStringLiteral("secret")));
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY2(shell.lastError().contains(QStringLiteral("stopped")), qPrintable(shell.lastError()));
    const qint64 pid = shell.clientPid();
    QVERIFY(pid > 0); // the batch ends the session itself
    shell.disconnect();
    QCOMPARE(shell.clientPid(), -1);
    QVERIFY(processGone(pid));
}

void tst_FtpShell::silenceEndsWait()
{
    SilentServer silent;
    FTPshell shell;
    shell.setPort(silent.port());
    shell.setSilenceLimit(std::chrono::milliseconds(400));
    QSignalSpy finished(&shell, &FTPshell::clientFinished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!shell.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                            QStringLiteral("secret")));
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY2(shell.lastError().contains(QStringLiteral("no answer")), qPrintable(shell.lastError()));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(shell.clientPid(), -1);
}

void tst_FtpShell::destructionEndsClient()
{
    qint64 pid = -1;
    {
        FTPshell shell;
        QVERIFY2(login(shell, QStringLiteral("alice"), QStringLiteral("secret")),
                 qPrintable(shell.lastError()));
        pid = shell.clientPid();
        QVERIFY(pid > 0 && !processGone(pid));
    }
    QVERIFY(processGone(pid));
}

void tst_FtpShell::onWorkerThread()
{
    // As the batch uses it: created, used and destroyed on a worker thread, stopped from another.
    const QString local = m_local.filePath(QStringLiteral("from worker.jpg"));
    {
        QFile f(local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(50000, 'w'));
    }
    bool uploaded = false;
    bool stoppedEarly = false;
    qint64 pids[2] = {-1, -1};
    std::atomic_bool stop{false};
    SilentServer silent;
    const int port = m_port;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        {
            FTPshell shell;
            shell.setPort(port);
            uploaded = shell.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                                      QStringLiteral("secret")) &&
                       shell.sUploadFile(local);
            pids[0] = shell.clientPid();
            QSignalSpy finished(&shell, &FTPshell::clientFinished);
            shell.disconnect();
            finished.wait(5000);
        }
        FTPshell hanging;
        hanging.setStopFlag(&stop);
        hanging.setPort(silent.port());
        stoppedEarly = !hanging.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                                         QStringLiteral("secret")) &&
                       hanging.lastError().contains(QStringLiteral("stopped"));
        pids[1] = hanging.clientPid();
    }));
    worker->start();
    QTimer::singleShot(1500, [&stop] { stop = true; });
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
    QVERIFY(uploaded);
    QVERIFY(stoppedEarly);
    QCOMPARE(readAll(m_root.filePath(QStringLiteral("from worker.jpg"))), QByteArray(50000, 'w'));
    QVERIFY(pids[0] > 0 && processGone(pids[0]));
    QVERIFY(pids[1] > 0 && processGone(pids[1])); // ended when its session was destroyed
}

QTEST_GUILESS_MAIN(tst_FtpShell)
#include "tst_ftpshell.moc"
