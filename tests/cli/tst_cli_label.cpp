// quillon-cli label, run as a user would, checked with getfattr/setfattr from package attr.
#include "xattrhelpers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using xattrtest::setTags;
using xattrtest::tagsOf;
using xattrtest::writeFile;

} // namespace

class tst_cli_label : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsAndSetsLabels();
};

void tst_cli_label::initTestCase()
{
    QTemporaryDir dir;
    const QString probe = dir.filePath("probe");
    writeFile(probe);
    if (!setTags(probe, "x"))
        QSKIP("the temporary folder does not support user extended attributes");
}

void tst_cli_label::printsAndSetsLabels()
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.jpg");
    const QString b = dir.filePath("b.jpg");
    writeFile(a);
    writeFile(b);
    QVERIFY(setTags(a, "holiday,grey"));
    auto run = [](const QStringList& args, QString* out = nullptr) {
        QProcess cli;
        cli.start(QStringLiteral(QUILLON_CLI), QStringList{"label"} + args);
        if (!cli.waitForFinished(30000))
            return -1;
        if (out)
            *out = QString::fromUtf8(cli.readAllStandardOutput());
        return cli.exitCode();
    };
    QString out;
    QCOMPARE(run({a, b}, &out), 0);
    QCOMPARE(out, a + ": Gray\n" + b + ": none\n");
    QCOMPARE(run({"--set", "PURPLE", a, b}), 0);
    QCOMPARE(tagsOf(a), QByteArray("holiday,Purple"));
    QCOMPARE(tagsOf(b), QByteArray("Purple"));
    QCOMPARE(run({"--set", "none", a}), 0);
    QCOMPARE(tagsOf(a), QByteArray("holiday"));
    QCOMPARE(run({"--set", "pink", a}), 2);
    QCOMPARE(tagsOf(a), QByteArray("holiday"));
    QCOMPARE(run({"--set"}), 2);
    QCOMPARE(run({}), 2);
    QCOMPARE(run({dir.filePath("missing.jpg"), b}, &out), 1);
    QCOMPARE(out, b + ": Purple\n");
}

QTEST_GUILESS_MAIN(tst_cli_label)
#include "tst_cli_label.moc"
