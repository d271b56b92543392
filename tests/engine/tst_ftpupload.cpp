// The batch side of the FTP upload, with the real ftp client (tnftp) against a real FTP server
// (pyftpdlib under Debian's /usr/bin/python3) on 127.0.0.1. The server reports the logins,
// logouts and uploads it saw, so the counts are the server's, not ours.

#include "ftp/silentserver.h"

#include "engine/ftptestserver.h"
#include "engine/steps/ftpupload.h"
#include "ftp/ftpshell.h"
#include "settings/settingkinds.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using quillon::engine::FtpFailure;
using quillon::engine::FtpImage;
using quillon::engine::FtpUpload;
using quillon::engine::FtpUploadResult;
using quillon::settings::FTPSetting;
using quillon::settings::SettingPtr;

namespace {

constexpr int kRed = 6; // Finder label numbers
constexpr int kNone = 0;
constexpr int kBlue = 4;

using ftptest::SilentServer;

bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An output as the export would leave it: some tens of KiB that differ per name.
QByteArray writeOutput(const QString& path)
{
    QByteArray data(40 * 1024 + int(qHash(path) % 4096), Qt::Uninitialized);
    QRandomGenerator gen(uint(qHash(path)));
    gen.fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return {};
    return data;
}

int labelIndexOf(int finderLabel)
{
    for (int index = 0; index < quillon::settings::kLabelCount; ++index) {
        if (quillon::settings::finderLabelNumber(index) == finderLabel)
            return index;
    }
    return 0;
}

std::shared_ptr<FTPSetting> ftpStep(int finderLabel, int port, const QString& user,
                                    const QString& password, const QString& path,
                                    bool dontSaveImages = false)
{
    auto step = std::make_shared<FTPSetting>();
    step->type = quillon::settings::kFTPKind;
    step->label = labelIndexOf(finderLabel);
    step->server = QStringLiteral("127.0.0.1");
    step->port = port;
    step->user = user;
    step->password = password;
    step->path = path;
    step->dontSaveImages = dontSaveImages;
    return step;
}

QStringList fileNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList g_messages; // every log message of the current test
QtMessageHandler g_previousHandler = nullptr;

void collectMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    g_messages << text;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

} // namespace

class tst_FtpUpload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void twoImagesOneConnection();
    void connectionsInArrivalOrder();
    void loginRefusedIsRetried();
    void dontSaveImages_data();
    void dontSaveImages();
    void serverStoppedMidRun();
    void portFromSettingsFile();
    void stopFlagReachesConnections();
    void onBatchThread();

private:
    // What a test sees through the events.
    struct Seen
    {
        QStringList connecting;
        QStringList uploaded;
        QStringList failed;
    };
    void watch(FtpUpload& uploads, Seen& seen);
    void verifyNoPassword(const QString& password, const FtpUpload& uploads);

    QTemporaryDir m_root; // what the server serves
    std::unique_ptr<quillon::test::FtpTestServer> m_server;
    QTemporaryDir m_work; // the outputs' side: a destination and a temporary-items folder per test
    QString m_destination;
    QString m_temporary;
};

void tst_FtpUpload::initTestCase()
{
    QVERIFY(m_root.isValid() && m_work.isValid());
    for (const char* folder : {"up", "red", "none", "other"})
        QVERIFY(QDir(m_root.path()).mkdir(QString::fromLatin1(folder)));
    m_server = std::make_unique<quillon::test::FtpTestServer>(m_root.path());
    QVERIFY2(m_server->waitForPort(), "the test FTP server did not start");
    g_previousHandler = qInstallMessageHandler(collectMessage);
}

void tst_FtpUpload::init()
{
    static int n = 0;
    ++n;
    m_destination = m_work.filePath(QStringLiteral("dest%1").arg(n));
    m_temporary = m_work.filePath(QStringLiteral("tmp%1").arg(n));
    QVERIFY(QDir().mkpath(m_destination) && QDir().mkpath(m_temporary));
    QTest::qWait(0);
    m_server->events.clear();
    g_messages.clear();
}

void tst_FtpUpload::cleanup()
{
    // Empty the served folders again (the root itself stays: the server serves it).
    for (const char* folder : {"up", "red", "none", "other"}) {
        QDir dir(m_root.filePath(QString::fromLatin1(folder)));
        for (const QString& name : fileNames(dir.path()))
            dir.remove(name);
    }
    for (const QString& name : fileNames(m_root.path()))
        QDir(m_root.path()).remove(name);
}

void tst_FtpUpload::watch(FtpUpload& uploads, Seen& seen)
{
    FtpUpload::Events events;
    events.connecting = [&seen](const QString& server) { seen.connecting << server; };
    events.uploaded = [&seen](const QString& server, const QString& file, const QString& remote) {
        seen.uploaded << server + QLatin1Char(' ') + remote;
    };
    events.failed = [&seen](const FtpFailure& failure) { seen.failed << failure.message(); };
    uploads.setEvents(events);
    uploads.setSilenceLimit(std::chrono::seconds(10));
}

void tst_FtpUpload::verifyNoPassword(const QString& password, const FtpUpload& uploads)
{
    for (const FtpFailure& failure : uploads.failures())
        QVERIFY2(!failure.message().contains(password), qPrintable(failure.message()));
    for (const QString& message : g_messages)
        QVERIFY2(!message.contains(password), qPrintable(message));
}

void tst_FtpUpload::twoImagesOneConnection()
{
    const std::vector<SettingPtr> steps{ftpStep(kRed, m_server->port(), QStringLiteral("alice"),
                                                QStringLiteral("secret"), QStringLiteral("/up"))};
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);
    QList<QByteArray> written;
    qint64 pid = -1;
    for (const char* name : {"a.jpg", "b.jpg"}) {
        FtpImage image = uploads.setUp(steps, kRed, QStringLiteral("/src/") + QLatin1String(name));
        QVERIFY2(image.connected, qPrintable(seen.failed.join(QLatin1Char('\n'))));
        QVERIFY(!image.useTemporaryTarget());
        const QString target = QDir(m_destination).filePath(QString::fromLatin1(name));
        written << writeOutput(target);
        const FtpUploadResult result = uploads.upload(image, target, m_destination);
        QCOMPARE(result.status, FtpUploadResult::Status::Uploaded);
        QCOMPARE(result.file, target); // kept: the step keeps local copies
        QCOMPARE(readAll(target), written.last());
        pid = image.connection->clientPid();
    }
    QCOMPARE(seen.connecting, QStringList{QStringLiteral("127.0.0.1")});
    QCOMPARE(seen.uploaded, (QStringList{"127.0.0.1 a.jpg", "127.0.0.1 b.jpg"}));
    QCOMPARE(uploads.ftpConnection().size(), size_t(1));
    QCOMPARE(uploads.ftpConnection().front()->label(), kRed);
    QCOMPARE(uploads.ftpConnection().front()->currentPath(), QStringLiteral("/up"));
    uploads.disconnectAll();
    QVERIFY(uploads.ftpConnection().empty());
    QVERIFY(pid > 0 && processGone(pid));
    QTRY_COMPARE(m_server->count(QStringLiteral("LOGOUT")), 1);
    QCOMPARE(m_server->events,
             (QStringList{"LOGIN alice", "RECEIVED " + m_root.filePath("up/a.jpg"),
                          "RECEIVED " + m_root.filePath("up/b.jpg"), "LOGOUT alice"}));
    QCOMPARE(readAll(m_root.filePath("up/a.jpg")), written[0]);
    QCOMPARE(readAll(m_root.filePath("up/b.jpg")), written[1]);
    QCOMPARE(uploads.connections().size(), size_t(1));
    QCOMPARE(uploads.connections().front().logins, 1);
    QCOMPARE(uploads.connections().front().uploads, 2);
    QCOMPARE(uploads.uploadCount(), 2);
    QVERIFY(uploads.failures().empty());
}

void tst_FtpUpload::connectionsInArrivalOrder()
{
    // The unlabelled step comes first in the list, the red image first in the batch. A second
    // red step further down the list is not the red images' step.
    const int port = m_server->port();
    const std::vector<SettingPtr> steps{
        ftpStep(kNone, port, "alice", "secret", "none"),
        ftpStep(kRed, port, "bob", "p@ss w:rd/x", "red"),
        ftpStep(kRed, port, "alice", "secret", "other"),
    };
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);
    const QList<std::pair<QString, int>> images{
        {"r1.png", kRed}, {"n1.png", kNone}, {"b1.png", kBlue}, {"r2.png", kRed}};
    for (const auto& [name, label] : images) {
        FtpImage image = uploads.setUp(steps, label, name);
        if (label == kBlue) {
            QVERIFY(!image.step && !image.connection && !image.connected);
            continue;
        }
        QVERIFY2(image.connected, qPrintable(seen.failed.join(QLatin1Char('\n'))));
        const QString target = QDir(m_destination).filePath(name);
        const QByteArray data = writeOutput(target);
        QCOMPARE(uploads.upload(image, target, m_destination).status,
                 FtpUploadResult::Status::Uploaded);
        const QString remote = m_root.filePath((label == kRed ? "red/" : "none/") + name);
        QCOMPARE(readAll(remote), data);
    }
    QCOMPARE(seen.connecting.size(), 2);
    QCOMPARE(uploads.connections().size(), size_t(2));
    QCOMPARE(uploads.connections()[0].label, kRed);
    QCOMPARE(uploads.connections()[0].user, QStringLiteral("bob"));
    QCOMPARE(uploads.connections()[0].uploads, 2);
    QCOMPARE(uploads.connections()[1].label, kNone);
    QCOMPARE(uploads.connections()[1].uploads, 1);
    QCOMPARE(m_server->events.mid(0, 2),
             (QStringList{"LOGIN bob", "RECEIVED " + m_root.filePath("red/r1.png")}));
    QVERIFY(fileNames(m_root.filePath("other")).isEmpty());
    uploads.disconnectAll();
    QTRY_COMPARE(m_server->count(QStringLiteral("LOGOUT")), 2);
    QCOMPARE(m_server->count(QStringLiteral("LOGIN")), 2);
    verifyNoPassword(QStringLiteral("p@ss w:rd/x"), uploads);
}

void tst_FtpUpload::loginRefusedIsRetried()
{
    const QString password = QStringLiteral("not-the-password");
    const std::vector<SettingPtr> steps{
        ftpStep(kRed, m_server->port(), "alice", password, "up", /*dontSaveImages=*/true)};
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        FtpImage image = uploads.setUp(steps, kRed, QStringLiteral("/src/") + QLatin1String(name));
        QVERIFY(image.step && image.connection);
        QVERIFY(!image.connected);
        QVERIFY(image.noLocalCopy);
        QVERIFY(!image.useTemporaryTarget()); // the output goes to its destination
        const QString target = QDir(m_destination).filePath(QString::fromLatin1(name));
        const QByteArray data = writeOutput(target);
        const FtpUploadResult result = uploads.upload(image, target, m_destination);
        QCOMPARE(result.status, FtpUploadResult::Status::NotUploaded);
        QCOMPARE(result.file, target);
        QCOMPARE(readAll(target), data);
    }
    QCOMPARE(seen.connecting, QStringList{QStringLiteral("127.0.0.1")});
    QCOMPARE(uploads.connections().size(), size_t(1));
    QCOMPARE(uploads.connections().front().attempts, 3);
    QCOMPARE(uploads.connections().front().logins, 0);
    QCOMPARE(uploads.failures().size(), size_t(3));
    const FtpFailure& first = uploads.failures().front();
    QCOMPARE(first.kind, FtpFailure::Kind::Login);
    QCOMPARE(first.server, QStringLiteral("127.0.0.1"));
    QCOMPARE(first.file, QStringLiteral("/src/a.jpg"));
    QVERIFY2(first.reason.contains(QStringLiteral("530")), qPrintable(first.reason));
    QVERIFY2(first.message().startsWith(
                 QStringLiteral("Could not log in to 127.0.0.1 as alice for /src/a.jpg: ")),
             qPrintable(first.message()));
    QCOMPARE(uploads.failures()[2].file, QStringLiteral("/src/c.jpg"));
    QCOMPARE(seen.failed.size(), 3);
    uploads.disconnectAll();
    QCOMPARE(m_server->count(QStringLiteral("LOGIN")), 0);
    QCOMPARE(fileNames(m_root.filePath("up")), QStringList());
    verifyNoPassword(password, uploads);
}

void tst_FtpUpload::dontSaveImages_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("inDestination"); // a file already in the destination, or ""
    QTest::addColumn<bool>("uploaded");
    QTest::addColumn<QString>("kept"); // the name the output is kept under, or ""
    QTest::newRow("working login: nothing stays") << "alice"
                                                  << "secret"
                                                  << "" << true << "";
    QTest::newRow("upload refused: kept in the destination") << "reader"
                                                             << "readonly"
                                                             << "" << false << "out.jpg";
    QTest::newRow("upload refused: kept beside a file of the same name")
        << "reader"
        << "readonly"
        << "out.jpg" << false << "out 1.jpg";
}

void tst_FtpUpload::dontSaveImages()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, inDestination);
    QFETCH(bool, uploaded);
    QFETCH(QString, kept);
    QByteArray existing;
    if (!inDestination.isEmpty())
        existing = writeOutput(QDir(m_destination).filePath(inDestination));
    const std::vector<SettingPtr> steps{
        ftpStep(kNone, m_server->port(), user, password, "/up", /*dontSaveImages=*/true)};
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);
    FtpImage image = uploads.setUp(steps, kNone, QStringLiteral("/src/out.png"));
    QVERIFY2(image.connected, qPrintable(seen.failed.join(QLatin1Char('\n'))));
    QVERIFY(image.useTemporaryTarget());
    const QString target = QDir(m_temporary).filePath(QStringLiteral("out.jpg"));
    const QByteArray data = writeOutput(target);
    const FtpUploadResult result = uploads.upload(image, target, m_destination);
    QVERIFY(fileNames(m_temporary).isEmpty()); // deleted after the upload, or moved out
    if (uploaded) {
        QCOMPARE(result.status, FtpUploadResult::Status::Uploaded);
        QVERIFY(result.file.isEmpty());
        QCOMPARE(fileNames(m_destination), QStringList());
        QCOMPARE(readAll(m_root.filePath(QStringLiteral("up/out.jpg"))), data);
        QVERIFY(uploads.failures().empty());
    } else {
        QCOMPARE(result.status, FtpUploadResult::Status::Failed);
        const QString keptPath = QDir(m_destination).filePath(kept);
        QCOMPARE(result.file, keptPath);
        QCOMPARE(readAll(keptPath), data);
        if (!inDestination.isEmpty())
            QCOMPARE(readAll(QDir(m_destination).filePath(inDestination)), existing);
        QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("up/out.jpg"))));
        QCOMPARE(uploads.failures().size(), size_t(1));
        const FtpFailure& failure = uploads.failures().front();
        QCOMPARE(failure.kind, FtpFailure::Kind::Upload);
        QCOMPARE(failure.server, QStringLiteral("127.0.0.1"));
        QCOMPARE(failure.file, target);
        QCOMPARE(failure.keptFile, keptPath);
        QVERIFY2(failure.reason.contains(QStringLiteral("550")), qPrintable(failure.reason));
        QVERIFY2(failure.message().contains(QStringLiteral("It was kept as ") + keptPath),
                 qPrintable(failure.message()));
        QCOMPARE(seen.failed, QStringList{failure.message()});
    }
    uploads.disconnectAll();
    verifyNoPassword(password, uploads);
}

void tst_FtpUpload::serverStoppedMidRun()
{
    // Every output the server did not confirm stays; the next image logs in again (and fails),
    // without a second Connecting.
    QTemporaryDir root;
    quillon::test::FtpTestServer server(root.path());
    QVERIFY(server.waitForPort());
    const std::vector<SettingPtr> steps{
        ftpStep(kRed, server.port(), "alice", "secret", "", /*dontSaveImages=*/true)};
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);

    FtpImage first = uploads.setUp(steps, kRed, QStringLiteral("/src/1.tif"));
    QVERIFY(first.useTemporaryTarget());
    const QString target1 = QDir(m_temporary).filePath(QStringLiteral("1.tif"));
    const QByteArray data1 = writeOutput(target1);
    QCOMPARE(uploads.upload(first, target1, m_destination).status,
             FtpUploadResult::Status::Uploaded);
    QCOMPARE(readAll(root.filePath(QStringLiteral("1.tif"))), data1);

    FtpImage second = uploads.setUp(steps, kRed, QStringLiteral("/src/2.tif"));
    QVERIFY(second.useTemporaryTarget());
    server.stop();
    const QString target2 = QDir(m_temporary).filePath(QStringLiteral("2.tif"));
    const QByteArray data2 = writeOutput(target2);
    const FtpUploadResult lost = uploads.upload(second, target2, m_destination);
    QCOMPARE(lost.status, FtpUploadResult::Status::Failed);
    QCOMPARE(readAll(QDir(m_destination).filePath(QStringLiteral("2.tif"))), data2);

    FtpImage third = uploads.setUp(steps, kRed, QStringLiteral("/src/3.tif"));
    QVERIFY(third.connection == first.connection);
    QVERIFY(!third.connected);
    QVERIFY(!third.useTemporaryTarget()); // so the output goes to the destination
    QCOMPARE(
        uploads.upload(third, QDir(m_destination).filePath(QStringLiteral("3.tif")), m_destination)
            .status,
        FtpUploadResult::Status::NotUploaded);

    QCOMPARE(seen.connecting.size(), 1);
    QCOMPARE(uploads.connections().front().attempts, 2);
    QCOMPARE(uploads.failures().size(), size_t(2));
    QCOMPARE(uploads.failures()[0].kind, FtpFailure::Kind::Upload);
    QCOMPARE(uploads.failures()[1].kind, FtpFailure::Kind::Login);
    QVERIFY(fileNames(m_temporary).isEmpty());
    uploads.disconnectAll();
}

void tst_FtpUpload::portFromSettingsFile()
{
    // A settings file keeps the port as a signed 16-bit number: a port above 32767 (every
    // port the system hands out for the test server) comes back negative.
    quillon::settings::SettingsStore store;
    QVERIFY(store.append(ftpStep(kRed, m_server->port(), "alice", "secret", "up")));
    QByteArray bytes;
    QVERIFY(store.toBytes(bytes).ok);
    quillon::settings::SettingsStore readBack;
    QVERIFY(readBack.readBytes(bytes).ok());
    QCOMPARE(readBack.ftp.size(), size_t(1));
    const FTPSetting& step = *readBack.ftp.front();
    if (m_server->port() > 32767)
        QCOMPARE(step.port, m_server->port() - 65536);
    quillon::ftp::FTPshell connection;
    connection.setSilenceLimit(std::chrono::seconds(10));
    QVERIFY2(quillon::engine::connectToFTP(connection, step), qPrintable(connection.lastError()));
    QCOMPARE(connection.label(), kRed);
    QCOMPARE(connection.port(), m_server->port());
    QCOMPARE(connection.currentPath(), QStringLiteral("up"));
    connection.disconnect();
}

void tst_FtpUpload::stopFlagReachesConnections()
{
    SilentServer silent; // a login there could only end by the stop flag or the silence limit
    QVERIFY(silent.port() > 0);
    std::atomic_bool stop{true};
    const std::vector<SettingPtr> steps{
        ftpStep(kRed, silent.port(), "alice", "secret", "", /*dontSaveImages=*/true)};
    FtpUpload uploads;
    Seen seen;
    watch(uploads, seen);
    uploads.setStopFlag(&stop);
    QElapsedTimer clock;
    clock.start();
    FtpImage image = uploads.setUp(steps, kRed, QStringLiteral("/src/a.jpg"));
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(!image.connected);
    QVERIFY(!image.useTemporaryTarget());
    QCOMPARE(uploads.failures().size(), size_t(1));
    QVERIFY2(uploads.failures().front().reason.contains(QStringLiteral("stopped")),
             qPrintable(uploads.failures().front().reason));
    const qint64 pid = image.connection->clientPid();
    uploads.disconnectAll();
    QVERIFY(pid <= 0 || processGone(pid));
}

void tst_FtpUpload::onBatchThread()
{
    // As the job uses it: created on the main thread, used on the batch thread, destroyed on
    // the main thread after the run's end.
    const std::vector<SettingPtr> steps{
        ftpStep(kNone, m_server->port(), "alice", "secret", "up", /*dontSaveImages=*/true)};
    auto uploads = std::make_unique<FtpUpload>();
    std::atomic_bool stop{false};
    uploads->setStopFlag(&stop);
    const QString target = QDir(m_temporary).filePath(QStringLiteral("worker.jpg"));
    const QByteArray data = writeOutput(target);
    FtpUploadResult result;
    QThread* connectionThread = nullptr;
    std::unique_ptr<QThread> batch(QThread::create([&] {
        FtpImage image = uploads->setUp(steps, kNone, QStringLiteral("/src/worker.png"));
        connectionThread = image.connection ? image.connection->thread() : nullptr;
        result = uploads->upload(image, target, m_destination);
        uploads->disconnectAll();
    }));
    batch->start();
    QTRY_VERIFY_WITH_TIMEOUT(batch->isFinished(), 20000);
    QCOMPARE(connectionThread, batch.get());
    QCOMPARE(result.status, FtpUploadResult::Status::Uploaded);
    QCOMPARE(readAll(m_root.filePath(QStringLiteral("up/worker.jpg"))), data);
    QVERIFY(!QFile::exists(target));
    QVERIFY(uploads->ftpConnection().empty());
    uploads.reset();
    QTRY_COMPARE(m_server->count(QStringLiteral("LOGOUT")), 1);
}

QTEST_GUILESS_MAIN(tst_FtpUpload)
#include "tst_ftpupload.moc"
