// quillon-cli run with FTP steps end to end: the real ftp client (tnftp) against a real FTP
// server (pyftpdlib) on 127.0.0.1, real photos, a settings file written by an independent
// writer of the format. The server reports the logins and uploads it saw.

#include "clirunhelpers.h"

#include "engine/ftptestserver.h"
#include "engine/labels/finderlabel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace clitest;


// The port as a settings file holds it: a signed 16-bit Short.
int storedPort(int port)
{
    return port > 32767 ? port - 65536 : port;
}

QString ftpRecord(int labelIndex, int port, const QString& user, const QString& password,
                  const QString& path, bool dontSave)
{
    return QStringLiteral("ftp:%1:server=127.0.0.1,port=%2,user=%3,password=%4,path=%5,dontSave=%6")
        .arg(labelIndex)
        .arg(storedPort(port))
        .arg(user, password, path)
        .arg(dontSave ? 1 : 0);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

int countOf(const QString& text, const QString& part)
{
    return int(text.count(part));
}

} // namespace

class tst_CliRunFtp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void connectionsPerLabel();
    void dontSaveImages_data();
    void dontSaveImages();

private:
    bool copyInto(const QString& folder, const QString& corpusFile, const QString& name,
                  int finderLabel);

    QTemporaryDir m_dir;
    QTemporaryDir m_root; // what the server serves
    std::unique_ptr<quillon::test::FtpTestServer> m_server;
};

void tst_CliRunFtp::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(QUILLON_CLI)).isExecutable());
    QVERIFY(m_dir.isValid() && m_root.isValid());
    for (const char* folder : {"red", "none", "up"})
        QVERIFY(QDir(m_root.path()).mkdir(QString::fromLatin1(folder)));
    m_server = std::make_unique<quillon::test::FtpTestServer>(m_root.path());
    QVERIFY2(m_server->waitForPort(), "the test FTP server did not start");
}

bool tst_CliRunFtp::copyInto(const QString& folder, const QString& corpusFile, const QString& name,
                             int finderLabel)
{
    QDir().mkpath(folder);
    const QString to = folder + '/' + name;
    if (!QFile::copy(kCorpus + '/' + corpusFile, to))
        return false;
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    return finderLabel == 0 || quillon::engine::setFinderLabel(to, finderLabel, &error);
}

void tst_CliRunFtp::connectionsPerLabel()
{
    // Two red images and an unlabelled one, an FTP step for each label: the red images share
    // one connection, and the connections are opened in the order the images arrive.
    const QString src = m_dir.filePath("labels/src"), out = m_dir.filePath("labels/out");
    QVERIFY(copyInto(src, "photos-exif/canon_eos40d.jpg", "a.jpg", 6));
    QVERIFY(copyInto(src, "photos-exif/fujifilm_finepix_e500.jpg", "b.jpg", 6));
    QVERIFY(copyInto(src, "photos-exif/kodak_cx7530_gps.jpg", "c.jpg", 0));
    QDir().mkpath(out);
    const QString settings = m_dir.filePath("labels/steps");
    const int port = m_server->port();
    QVERIFY(writeSettings(
        settings, {"format:0:format=0", ftpRecord(0, port, "alice", "secret", "none", false),
                   "format:1:format=0", ftpRecord(1, port, "bob", "p@ss w:rd/x", "red", false)}));
    m_server->events.clear();
    const Result run = runProgram(QStringLiteral(QUILLON_CLI),
                                  {"run", "--settings", settings, "--dest", out, src});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QCOMPARE(countOf(run.err, "Connecting to: 127.0.0.1 ..."), 2);
    QVERIFY2(run.out.contains("Uploaded: 3"), qPrintable(run.out));
    QCOMPARE(files(out), (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    for (const char* name : {"red/a.jpg", "red/b.jpg", "none/c.jpg"}) {
        const QString remote = m_root.filePath(QString::fromLatin1(name));
        QCOMPARE(readAll(remote), readAll(out + '/' + QFileInfo(remote).fileName()));
    }
    QTRY_COMPARE(m_server->count("LOGOUT"), 2);
    QCOMPARE(m_server->events.mid(0, 5),
             (QStringList{"LOGIN bob", "RECEIVED " + m_root.filePath("red/a.jpg"),
                          "RECEIVED " + m_root.filePath("red/b.jpg"), "LOGIN alice",
                          "RECEIVED " + m_root.filePath("none/c.jpg")}));
    // Both sessions are closed at the end, in whatever order the server hears the two.
    QStringList logouts = m_server->events.mid(5);
    logouts.sort();
    QCOMPARE(logouts, (QStringList{"LOGOUT alice", "LOGOUT bob"}));
    QVERIFY(!(run.out + run.err).contains("p@ss w:rd/x"));
}

void tst_CliRunFtp::dontSaveImages_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("uploaded");
    QTest::addColumn<QString>("failure"); // what the summary says about each image, or ""
    QTest::newRow("working login: nothing stays") << "alice"
                                                  << "secret" << true << "";
    QTest::newRow("upload refused: the outputs stay") << "reader"
                                                      << "readonly" << false << "upload failed: ";
    QTest::newRow("login refused: the outputs stay, no second Connecting")
        << "alice"
        << "wrong-password" << false << "login failed: 127.0.0.1: ";
}

void tst_CliRunFtp::dontSaveImages()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, uploaded);
    QFETCH(QString, failure);
    static int row = 0; // the folder names must not hold the password the test looks for
    const QString base = m_dir.filePath(QString("dont-%1").arg(++row));
    const QString src = base + "/src", out = base + "/out";
    QVERIFY(copyInto(src, "photos-exif/canon_eos40d.jpg", "d1.jpg", 0));
    QVERIFY(copyInto(src, "photos-exif/fujifilm_finepix_e500.jpg", "d2.jpg", 0));
    QDir().mkpath(out);
    const QString settings = base + "/steps";
    QVERIFY(writeSettings(settings, {"format:0:format=0,options=quality=90",
                                     ftpRecord(0, m_server->port(), user, password, "up", true)}));
    m_server->events.clear();
    const Result run = runProgram(QStringLiteral(QUILLON_CLI),
                                  {"run", "--settings", settings, "--dest", out, src});
    QCOMPARE(countOf(run.err, "Connecting to: 127.0.0.1 ..."), 1);
    QVERIFY(!(run.out + run.err).contains(password));
    if (uploaded) {
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        QVERIFY2(run.out.contains("Uploaded: 2"), qPrintable(run.out));
        QCOMPARE(files(out), QStringList());
        QCOMPARE(files(m_root.filePath("up")), (QStringList{"d1.jpg", "d2.jpg"}));
        // What arrived is a whole JPEG of the source's size, decoded by an independent reader.
        QProcess identify;
        identify.start("/usr/bin/identify", {"-format", "%m %w %h", m_root.filePath("up/d1.jpg")});
        QVERIFY(identify.waitForFinished(30000));
        QProcess source;
        source.start("/usr/bin/identify", {"-format", "%m %w %h", src + "/d1.jpg"});
        QVERIFY(source.waitForFinished(30000));
        QCOMPARE(identify.readAllStandardOutput(), source.readAllStandardOutput());
    } else {
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(files(out), (QStringList{"d1.jpg", "d2.jpg"}));
        QCOMPARE(countOf(run.out, failure), 2);
        QCOMPARE(files(m_root.filePath("up")).filter("d"), QStringList());
    }
    for (const QString& name : files(m_root.filePath("up")))
        QFile::remove(m_root.filePath("up/" + name));
}

QTEST_GUILESS_MAIN(tst_CliRunFtp)
#include "tst_cli_run_ftp.moc"
