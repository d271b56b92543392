// The session's interpretation of the client's output, fed with recorded transcripts (in
// chunks of every size) instead of a running client.

#include "ftp/ftpshell.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using quillon::ftp::fileItem;
using quillon::ftp::FTPshell;

namespace {

// Records what the session would start and write instead of running the client.
class RecordingShell : public FTPshell
{
public:
    QStringList arguments;
    QStringList written;
    bool running = false;
    QList<QByteArray> script; // output delivered, one chunk per event-loop turn, once started

protected:
    bool startClient(const QStringList& args, QString*) override
    {
        arguments = args;
        running = true;
        for (int i = 0; i < script.size(); ++i)
            QTimer::singleShot(0, this, [this, chunk = script[i]] { handleOutput(chunk); });
        return true;
    }
    bool writeToClient(const QByteArray& line) override
    {
        written << QString::fromUtf8(line);
        return running;
    }
    bool isClientRunning() const override { return running; }
    void stopClient() override
    {
        running = false;
        clientEnded(-1);
    }
};

// A transcript file: one recorded chunk per line, written with \r, \n and \\ escapes; lines
// beginning with "#" are comments.
QList<QByteArray> transcript(const QString& name)
{
    QFile file(QStringLiteral(QUILLON_TESTDATA "/ftp/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing transcript %s", qPrintable(name));
    QList<QByteArray> chunks;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QByteArray chunk;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                const char c = line[++i];
                chunk += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
            } else {
                chunk += line[i];
            }
        }
        chunks << chunk;
    }
    return chunks;
}

// The whole transcript re-cut into pieces of `size` bytes (0: as recorded).
QList<QByteArray> recut(const QList<QByteArray>& chunks, int size)
{
    if (size == 0)
        return chunks;
    const QByteArray all = chunks.join();
    QList<QByteArray> pieces;
    for (qsizetype i = 0; i < all.size(); i += size)
        pieces << all.mid(i, size);
    return pieces;
}

void feed(FTPshell& shell, const QList<QByteArray>& chunks)
{
    for (const QByteArray& c : chunks)
        shell.handleOutput(c);
}

} // namespace

class tst_FtpReplies : public QObject
{
    Q_OBJECT

private slots:
    void loginUrl_data();
    void loginUrl();
    void loginInChunks_data();
    void loginInChunks();
    void synchronousLogin_data();
    void synchronousLogin();
    void sessionEnd_data();
    void sessionEnd();
    void outputWithoutTask();
    void listing_data();
    void listing();
    void overlongLines_data();
    void overlongLines();
    void listingEntryLimit();
    void uploadWithProgress_data();
    void uploadWithProgress();
    void uploadNotConfirmed_data();
    void uploadNotConfirmed();
    void twoQueuedUploads();
    void commandsWaitForLogin();
    void currentPath_data();
    void currentPath();
    void changeDirectory();
    void goBack_data();
    void goBack();
    void escaping();
};

void tst_FtpReplies::loginUrl_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::newRow("no port, no path") << "alice" << 0 << "" << "ftp://alice@example.org/";
    QTest::newRow("port and path") << "alice" << 2121 << "/up" << "ftp://alice@example.org:2121/up/";
    QTest::newRow("path already ends in slash") << "alice" << 0 << "/a/b/" << "ftp://alice@example.org/a/b/";
    QTest::newRow("relative path") << "alice" << 21 << "up" << "ftp://alice@example.org:21/up/";
    QTest::newRow("user with @ : / and blank") << "me@home: x/y" << 0 << "/"
                                               << "ftp://me%40home%3A%20x%2Fy@example.org/";
    QTest::newRow("path with blank and hash") << "u" << 0 << "/my pics/#1"
                                              << "ftp://u@example.org/my%20pics/%231/";
    QTest::newRow("anonymous") << "" << 0 << "" << "ftp://example.org/";
}

void tst_FtpReplies::loginUrl()
{
    QFETCH(QString, user);
    QFETCH(int, port);
    QFETCH(QString, path);
    QFETCH(QString, url);
    QCOMPARE(FTPshell::loginUrl(QStringLiteral("example.org"), user, port, path), url);
}

void tst_FtpReplies::loginInChunks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<QString>("serverInfo");
    for (int size : {0, 1, 2, 3, 5, 7, 64}) {
        QTest::addRow("pyftpdlib, chunks of %d", size)
            << "pyftpdlib-login.txt" << size << "pyftpdlib 1.5.7 ready.";
        QTest::addRow("vsftpd multi-line 230, chunks of %d", size)
            << "vsftpd-multiline-login.txt" << size << "(vsFTPd 3.0.3)";
    }
}

void tst_FtpReplies::loginInChunks()
{
    QFETCH(QString, file);
    QFETCH(int, chunkSize);
    QFETCH(QString, serverInfo);
    RecordingShell shell;
    QSignalSpy connected(&shell, &FTPshell::connected);
    QSignalSpy debug(&shell, &FTPshell::debug);
    const QString password = QStringLiteral("p@ss w:rd/x");
    shell.connect(QStringLiteral("127.0.0.1"), QStringLiteral("bob"), password);
    QCOMPARE(shell.task(), QList<int>{FTPshell::Login});
    QVERIFY(!shell.arguments.join(QLatin1Char(' ')).contains(QStringLiteral("p@ss")));
    QCOMPARE(shell.arguments.mid(0, 3), (QStringList{"-e", "-g", "-v"}));
    const QList<QByteArray> chunks = recut(transcript(file), chunkSize);
    feed(shell, chunks);
    QCOMPARE(debug.size(), chunks.size());
    QCOMPARE(shell.serverInfo(), serverInfo);
    QCOMPARE(shell.written, QStringList{password + QLatin1Char('\n')});
    QVERIFY(shell.isConnected());
    QCOMPARE(connected.size(), 1);
    QCOMPARE(connected.first().first().toString(), serverInfo);
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::synchronousLogin_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("230 accepted") << "pyftpdlib-login.txt" << true;
    QTest::newRow("530 refused") << "pyftpdlib-refused.txt" << false;
}

void tst_FtpReplies::synchronousLogin()
{
    QFETCH(QString, file);
    QFETCH(bool, accepted);
    RecordingShell shell;
    shell.script = transcript(file);
    QSignalSpy connected(&shell, &FTPshell::connected);
    QSignalSpy refused(&shell, &FTPshell::incorrectLogin);
    QSignalSpy error(&shell, &FTPshell::Error);
    QCOMPARE(shell.sConnect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"),
                            QStringLiteral("secret")),
             accepted);
    QCOMPARE(shell.isConnected(), accepted);
    QVERIFY(shell.synchronous());
    // Notifications the batch does not want are held back in synchronous mode.
    QCOMPARE(connected.size(), 0);
    QCOMPARE(refused.size(), 0);
    QCOMPARE(error.size(), 0);
    QCOMPARE(shell.written, QStringList{QStringLiteral("secret\n")});
    if (!accepted) {
        QVERIFY2(shell.lastError().contains(QStringLiteral("530")), qPrintable(shell.lastError()));
        QVERIFY(shell.lastError().contains(QStringLiteral("127.0.0.1")));
        QVERIFY(!shell.lastError().contains(QStringLiteral("secret")));
    }
}

void tst_FtpReplies::sessionEnd_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("221 Goodbye") << QByteArray("221 Goodbye.\r\n");
    QTest::newRow("221 other words") << QByteArray("221 Service closing control connection.\r\n");
    QTest::newRow("421 server went away")
        << QByteArray("421 Service not available, remote server has closed connection.\r\n");
}

void tst_FtpReplies::sessionEnd()
{
    QFETCH(QByteArray, line);
    RecordingShell shell;
    QSignalSpy disconnected(&shell, &FTPshell::disconnected);
    shell.setPort(2121);
    shell.setCurrentPath(QStringLiteral("/up"));
    shell.connect(QStringLiteral("127.0.0.1"), QStringLiteral("alice"), QStringLiteral("secret"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QVERIFY(shell.isConnected());
    shell.disconnect();
    QCOMPARE(shell.task(), QList<int>{FTPshell::Close});
    QCOMPARE(shell.written.last(), QStringLiteral("close\n"));
    shell.handleOutput(line);
    QCOMPARE(disconnected.size(), 1);
    QCOMPARE(shell.written.last(), QStringLiteral("exit\n"));
    QVERIFY(shell.task().isEmpty());
    QVERIFY(!shell.isConnected());
    QCOMPARE(shell.port(), 0);
    QVERIFY(shell.currentPath().isEmpty());
    QVERIFY(shell.currentServer().isEmpty());
    QVERIFY(shell.serverInfo().isEmpty());
}

void tst_FtpReplies::outputWithoutTask()
{
    RecordingShell shell;
    QSignalSpy debug(&shell, &FTPshell::debug);
    QSignalSpy disconnected(&shell, &FTPshell::disconnected);
    QSignalSpy error(&shell, &FTPshell::Error);
    shell.setCurrentPath(QStringLiteral("/up"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    shell.handleOutput("550 No such file or directory.\r\n221 Goodbye.\r\n");
    QCOMPARE(debug.size(), 5);
    QCOMPARE(disconnected.size(), 0);
    QCOMPARE(error.size(), 0);
    QVERIFY(!shell.isConnected());
    QVERIFY(shell.serverInfo().isEmpty());
    QCOMPARE(shell.currentPath(), QStringLiteral("/up"));
    QVERIFY(shell.written.isEmpty());
}

void tst_FtpReplies::listing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("pyftpdlib, 125 start") << "pyftpdlib-listing.txt";
    QTest::newRow("vsftpd, wider columns, a year") << "vsftpd-listing.txt";
    QTest::newRow("BSD, block total line") << "bsd-listing.txt";
}

void tst_FtpReplies::listing()
{
    QFETCH(QString, file);
    for (int size : {0, 1, 9}) {
        RecordingShell shell;
        shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
        feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
        QSignalSpy received(&shell, &FTPshell::receivedFileList);
        shell.getFileList();
        QCOMPARE(shell.written.last(), QStringLiteral("ls\n"));
        feed(shell, recut(transcript(file), size));
        QCOMPARE(received.size(), 1);
        const auto files = received.first().first().value<QList<fileItem>>();
        QCOMPARE(files.size(), 3);
        QCOMPARE(files[0].filename, QStringLiteral("a b.txt"));
        QCOMPARE(files[0].size, 20480);
        QCOMPARE(files[0].date, QStringLiteral("Dec 11 14:53"));
        QCOMPARE(files[0].permission, QStringLiteral("-rw-r--r--"));
        QVERIFY(!files[0].folder);
        QCOMPARE(files[1].filename, QStringLiteral("hello.txt"));
        QCOMPARE(files[1].size, 6);
        QCOMPARE(files[2].filename, QStringLiteral("up"));
        QVERIFY(files[2].folder);
        QVERIFY(shell.task().isEmpty());
        QVERIFY(!shell.gettingFileList());
    }
}

void tst_FtpReplies::overlongLines_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("in one piece") << 0;
    QTest::newRow("in pieces of 1000") << 1000;
    QTest::newRow("in pieces of 7") << 7;
}

// A line longer than any reply or entry (here with what looks like a prompt and a reply code
// inside it) is skipped to its end; the lines around it count as ever.
void tst_FtpReplies::overlongLines()
{
    QFETCH(int, size);
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy received(&shell, &FTPshell::receivedFileList);
    shell.getFileList();
    const QByteArray longLine = QByteArray("-rw-r--r-- 1 a b 1 Dec 11 14:53 ") +
                                QByteArray(quillon::ftp::kMaxOutputLineBytes, 'x') +
                                "ftp> 226 Transfer complete.";
    const QByteArray output = QByteArray("150 Here it comes.\r\n") + longLine +
                              "\r\n-rw-r--r-- 1 a b 6 Dec 11 14:53 hello.txt\r\n" + longLine +
                              "\r\n226 Transfer complete.\r\nftp> ";
    feed(shell, recut({output}, size));
    QCOMPARE(received.size(), 1);
    const auto files = received.first().first().value<QList<fileItem>>();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files[0].filename, QStringLiteral("hello.txt"));
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::listingEntryLimit()
{
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy received(&shell, &FTPshell::receivedFileList);
    shell.getFileList();
    QByteArray output("150 Here it comes.\r\n");
    output += QByteArray("-rw-r--r-- 1 a b 6 Dec 11 14:53 f\r\n")
                  .repeated(quillon::ftp::kMaxListingEntries + 10);
    output += "226 Transfer complete.\r\nftp> ";
    feed(shell, {output});
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().value<QList<fileItem>>().size(),
             quillon::ftp::kMaxListingEntries);
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::uploadWithProgress_data()
{
    QTest::addColumn<bool>("synchronous");
    QTest::newRow("asynchronous") << false;
    QTest::newRow("synchronous mode") << true;
}

void tst_FtpReplies::uploadWithProgress()
{
    QFETCH(bool, synchronous);
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("big.bin"));
    QFile f(local);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.resize(3145728);
    f.close();

    RecordingShell shell;
    shell.script = transcript(QStringLiteral("pyftpdlib-login.txt"));
    if (synchronous) {
        QVERIFY(shell.sConnect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p")));
    } else {
        shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
        QTRY_VERIFY(shell.isConnected());
    }
    QSignalSpy progress(&shell, &FTPshell::uploadProgress);
    QSignalSpy finished(&shell, &FTPshell::uploadFinished);
    QSignalSpy failed(&shell, &FTPshell::commandFailed);
    if (synchronous) {
        const QList<QByteArray> put = transcript(QStringLiteral("pyftpdlib-put.txt"));
        for (const QByteArray& chunk : put)
            QTimer::singleShot(0, &shell, [&shell, chunk] { shell.handleOutput(chunk); });
        QVERIFY2(shell.sUploadFile(local), qPrintable(shell.lastError()));
        QCOMPARE(progress.size(), 0);
        QCOMPARE(finished.size(), 0);
    } else {
        shell.uploadFile(local);
        QCOMPARE(shell.uploadQueue(), QStringList{"big.bin"});
        feed(shell, recut(transcript(QStringLiteral("pyftpdlib-put.txt")), 11));
        QCOMPARE(progress.size(), 3);
        const QVariantList at45 = progress.at(1);
        QCOMPARE(at45.at(0).toString(), QStringLiteral("big.bin"));
        QCOMPARE(at45.at(1).toInt(), 45);
        QCOMPARE(at45.at(2).toString(), QStringLiteral("1382 KiB"));
        QCOMPARE(at45.at(3).toString(), QStringLiteral("1.35 MiB/s"));
        QCOMPARE(at45.at(4).toString(), QStringLiteral("00:01"));
        QCOMPARE(progress.at(2).at(1).toInt(), 100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(1).toString(),
                 QStringLiteral("3145728 bytes sent in 00:00 (727.80 MiB/s)"));
    }
    QCOMPARE(shell.written.last(),
             QStringLiteral("put ") + QString(local).replace(QLatin1Char(' '), QStringLiteral("\\ ")) +
                 QStringLiteral(" big.bin\n"));
    QCOMPARE(failed.size(), 0);
    QVERIFY(!shell.uploading());
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::uploadNotConfirmed_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("fewer bytes than the file has")
        << QByteArray("150 ok\r\n226 Transfer complete.\r\n100 bytes sent in 00:00 (1 KiB/s)\r\nftp> ")
        << "100 of 3145728";
    QTest::newRow("permission refused")
        << QByteArray("229 Entering extended passive mode (|||1|).\r\n550 Not enough privileges.\r\nftp> ")
        << "550 Not enough privileges.";
    QTest::newRow("unknown error code, then the prompt")
        << QByteArray("553 Could not create file.\r\nftp> ") << "553 Could not create file.";
    QTest::newRow("bytes without a 226")
        << QByteArray("150 ok\r\n3145728 bytes sent in 00:00 (1 KiB/s)\r\nftp> ") << "0 of 3145728";
}

void tst_FtpReplies::uploadNotConfirmed()
{
    QFETCH(QByteArray, output);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("big.bin"));
    QFile f(local);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.resize(3145728);
    f.close();
    RecordingShell shell;
    shell.script = transcript(QStringLiteral("pyftpdlib-login.txt"));
    QVERIFY(shell.sConnect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p")));
    QTimer::singleShot(0, &shell, [&shell, output] { shell.handleOutput(output); });
    QVERIFY(!shell.sUploadFile(local));
    QVERIFY2(shell.lastError().contains(reason), qPrintable(shell.lastError()));
    QVERIFY(!shell.uploading());
    QVERIFY(shell.uploadQueue().isEmpty());
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::twoQueuedUploads()
{
    QTemporaryDir dir;
    QStringList files;
    for (const char* name : {"one.jpg", "two words.jpg"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("12345");
        files << f.fileName();
    }
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy finished(&shell, &FTPshell::uploadFinished);
    shell.uploadFile(files[0]);
    shell.uploadFile(files[1]);
    QCOMPARE(shell.task(), (QList<int>{FTPshell::Upload, FTPshell::Upload}));
    QCOMPARE(shell.written.last(), QStringLiteral("put ") + dir.path() +
                                       QStringLiteral("/two\\ words.jpg two\\ words.jpg\n"));
    const QByteArray done = "150 ok\r\n226 Transfer complete.\r\n5 bytes sent in 00:00 (1 KiB/s)\r\n";
    shell.handleOutput(done);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toString(), QStringLiteral("one.jpg"));
    QVERIFY(shell.uploading());
    shell.handleOutput("ftp> " + done + "ftp> ");
    QCOMPARE(finished.size(), 2);
    QCOMPARE(finished.last().first().toString(), QStringLiteral("two words.jpg"));
    QVERIFY(!shell.uploading());
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::commandsWaitForLogin()
{
    // A command written before the client asked for the password would be taken for it.
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("secret"));
    shell.getCurrentPath();
    QVERIFY(shell.written.isEmpty());
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QCOMPARE(shell.written, (QStringList{"secret\n", "pwd\n"}));
}

void tst_FtpReplies::currentPath_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("path");
    QTest::newRow("tnftp's own words") << QByteArray("Remote directory: /pub/images\r\nftp> ") << "/pub/images";
    QTest::newRow("257 reply") << QByteArray("257 \"/pub/images\" is the current directory.\r\nftp> ") << "/pub/images";
    QTest::newRow("257 with doubled quote") << QByteArray("257 \"/a\"\"b\" is current.\r\nftp> ") << "/a\"b";
    QTest::newRow("257 in pieces") << QByteArray("25") << QString();
}

void tst_FtpReplies::currentPath()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, path);
    RecordingShell shell;
    shell.setCurrentPath(QStringLiteral("/up"));
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy got(&shell, &FTPshell::gotCurrentPath);
    shell.getCurrentPath();
    shell.handleOutput(reply);
    if (path.isEmpty()) { // an unfinished line is kept until its end arrives
        QCOMPARE(got.size(), 0);
        shell.handleOutput("7 \"/x y\" is current.\r\nftp> ");
        path = QStringLiteral("/x y");
    }
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.first().first().toString(), path);
    QCOMPARE(shell.currentPath(), path);
    QVERIFY(shell.task().isEmpty());
}

void tst_FtpReplies::changeDirectory()
{
    RecordingShell shell;
    shell.setCurrentPath(QStringLiteral("/up"));
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy changed(&shell, &FTPshell::changedDir);
    QSignalSpy failed(&shell, &FTPshell::commandFailed);
    QSignalSpy error(&shell, &FTPshell::Error);
    shell.setDirectory(QStringLiteral("my pics"));
    QCOMPARE(shell.written.last(), QStringLiteral("cd my\\ pics\n"));
    shell.handleOutput("250 Directory successfully changed.\r\nftp> ");
    QCOMPARE(changed.size(), 1);
    QCOMPARE(shell.currentPath(), QStringLiteral("/up/my pics"));
    // A failed cd is finished by the prompt and does not take a later command's reply.
    shell.setDirectory(QStringLiteral("nonexist"));
    shell.handleOutput("550 Failed to change directory.\r\nftp> ");
    QCOMPARE(error.size(), 1);
    QCOMPARE(failed.size(), 1);
    QVERIFY(shell.task().isEmpty());
    shell.deleteFile(QStringLiteral("a b.jpg"));
    QSignalSpy deleted(&shell, &FTPshell::fileDeleted);
    shell.handleOutput("250 DELE command successful.\r\nftp> ");
    QCOMPARE(changed.size(), 1);
    QCOMPARE(deleted.size(), 1);
    QCOMPARE(deleted.first().first().toString(), QStringLiteral("a b.jpg"));
    QCOMPARE(shell.written.last(), QStringLiteral("delete a\\ b.jpg\n"));
}

void tst_FtpReplies::goBack_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("levels");
    QTest::addColumn<QString>("command");
    QTest::newRow("/a/b/c by 1") << "/a/b/c" << 1 << "cd /a/b\n";
    QTest::newRow("/a/b/c by 2") << "/a/b/c" << 2 << "cd /a\n";
    QTest::newRow("/a/b/c by 3") << "/a/b/c" << 3 << "cd /\n";
    QTest::newRow("/a/b/c by 9") << "/a/b/c" << 9 << "cd /\n";
    QTest::newRow("/a/b/ by 1") << "/a/b/" << 1 << "cd /a/b\n";
    QTest::newRow("blank in a name") << "/my pics/x" << 1 << "cd /my\\ pics\n";
}

void tst_FtpReplies::goBack()
{
    QFETCH(QString, path);
    QFETCH(int, levels);
    QFETCH(QString, command);
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    shell.setCurrentPath(path);
    shell.goBack(levels);
    QCOMPARE(shell.written.last(), command);
    QCOMPARE(shell.task(), QList<int>{FTPshell::ChangeDir});
}

void tst_FtpReplies::escaping()
{
    QCOMPARE(FTPshell::convertToShellPath(QString()), QStringLiteral("/"));
    QCOMPARE(FTPshell::convertToShellPath(QStringLiteral("a b\t\"c\"\\d")),
             QStringLiteral("a\\ b\\\t\\\"c\\\"\\\\d"));
    // A line end in a name would smuggle in a second command.
    RecordingShell shell;
    shell.connect(QStringLiteral("h"), QStringLiteral("u"), QStringLiteral("p"));
    feed(shell, transcript(QStringLiteral("pyftpdlib-login.txt")));
    QSignalSpy failed(&shell, &FTPshell::commandFailed);
    const qsizetype before = shell.written.size();
    shell.deleteFile(QStringLiteral("x\nclose"));
    QCOMPARE(shell.written.size(), before);
    QCOMPARE(failed.size(), 1);
}

QTEST_GUILESS_MAIN(tst_FtpReplies)
#include "tst_ftpreplies.moc"
