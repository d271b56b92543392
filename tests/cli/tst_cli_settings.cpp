// quillon-cli settings dump, run as a program on files written by an independent writer.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QUILLON_CLI), args);
    Run run;
    if (!process.waitForFinished(30000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool writeWithPython(const QString& path, const QString& mode = QString())
{
    QStringList args = {QStringLiteral(QUILLON_TESTDATA "/settings/independent_writer.py"), path};
    if (!mode.isEmpty())
        args << mode;
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), args);
    return python.waitForFinished(30000) && python.exitCode() == 0;
}

QString expectedDump()
{
    QFile file(QStringLiteral(QUILLON_TESTDATA "/settings/independent_writer.dump"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class tst_CliSettings : public QObject
{
    Q_OBJECT

private slots:
    void help();
    void dump();
    void damaged();
    void unreadable_data();
    void unreadable();
};

void tst_CliSettings::help()
{
    const Run run = runCli({QStringLiteral("--help")});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.contains(QStringLiteral("settings dump FILE")), qPrintable(run.out));
}

void tst_CliSettings::dump()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Every Kind"));
    QVERIFY(writeWithPython(path));
    const Run run = runCli({QStringLiteral("settings"), QStringLiteral("dump"), path});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.out, expectedDump());
}

void tst_CliSettings::damaged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Cut Short"));
    QVERIFY(writeWithPython(path, QStringLiteral("truncate")));
    const qint64 size = QFileInfo(path).size();
    const Run run = runCli({QStringLiteral("settings"), QStringLiteral("dump"), path});
    QCOMPARE(run.status, 1);
    // Every record but the last is complete; the last (FTP) record is 59 bytes long when whole,
    // so it starts 58 bytes before the end of the truncated file.
    const QString offset = QString::number(size - 58);
    QVERIFY2(run.err.contains(path) && run.err.contains(QStringLiteral("byte offset ") + offset) &&
                 run.err.contains(QStringLiteral("cut short")),
             qPrintable(run.err));
}

void tst_CliSettings::unreadable_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QStringList{"settings", "dump", "/nonexistent/Favorite"}
                                  << "/nonexistent/Favorite: cannot be opened";
    QTest::newRow("a folder") << QStringList{"settings", "dump", "/"} << "/: is not a file";
    QTest::newRow("no file named")
        << QStringList{"settings", "dump"} << "Usage: quillon-cli settings dump FILE";
}

void tst_CliSettings::unreadable()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run run = runCli(args);
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(tst_CliSettings)
#include "tst_cli_settings.moc"
