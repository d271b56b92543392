// A batch over a folder that holds what a file system can hold besides pictures: symbolic
// link loops (to the folder itself and to a parent), a FIFO and a character device, both with
// picture names (a raw ending is taken by its name alone), a file that disappears while the
// scan is under way and one that disappears between the scan and the run. The scan and the
// run end, every real picture is written, and what could not be read is reported.

#include "engine/job/batchtread.h"
#include "settings/globals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace quillon;
using engine::batchTread;

namespace {

const QString kPhoto = QStringLiteral(QUILLON_CORPUS "/photos-exif/canon_eos40d.jpg");

// Removes one file when the scan enters a given subfolder, another when the scan is over.
class Remover : public engine::JobListener
{
public:
    QString duringScanAt; // subfolder name
    QString duringScan;   // file removed then
    QString afterScan;    // file removed at Started
    int started = -1;
    bool finished = false;

    void Scanning(const QString& name) override
    {
        if (name == duringScanAt && !duringScan.isEmpty())
            QFile::remove(duringScan);
    }
    void Started(int count) override
    {
        started = count;
        if (!afterScan.isEmpty())
            QFile::remove(afterScan);
    }
    void Finished(bool) override { finished = true; }
};

void copyPhoto(const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QVERIFY2(QFile::copy(kPhoto, to), qPrintable(to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

class tst_HostileFolder : public QObject
{
    Q_OBJECT

private slots:
    void scanAndRun_data();
    void scanAndRun();
};

void tst_HostileFolder::scanAndRun_data()
{
    QTest::addColumn<int>("depth");
    QTest::newRow("unlimited depth") << -1;
    QTest::newRow("two levels") << 2;
}

void tst_HostileFolder::scanAndRun()
{
    QFETCH(int, depth);
    QTemporaryDir dir;
    const QString src = dir.filePath("src");
    copyPhoto(src + "/a.jpg");
    copyPhoto(src + "/b-sub/c.jpg");
    copyPhoto(src + "/z-gone-during-scan.jpg");
    copyPhoto(src + "/y-gone-before-run.jpg");
    QVERIFY(QFile::link(src, src + "/b-sub/loop-to-parent"));
    QVERIFY(QFile::link(".", src + "/b-sub/loop-to-itself"));
    QVERIFY(QFile::link(src + "/b-sub/missing", src + "/dangling.jpg"));
    QCOMPARE(mkfifo(QFile::encodeName(src + "/fifo.nef").constData(), 0600), 0);
    QCOMPARE(mkfifo(QFile::encodeName(src + "/fifo.jpg").constData(), 0600), 0);
    // A device that reads as endless zeros; only root may make one.
    const bool device = mknod(QFile::encodeName(src + "/zero.cr2").constData(), S_IFCHR | 0600,
                              makedev(1, 5)) == 0;
    if (!device)
        qInfo("not root: the folder holds no device node");

    Remover remover;
    remover.duringScanAt = QStringLiteral("b-sub");
    remover.duringScan = src + "/z-gone-during-scan.jpg";
    remover.afterScan = src + "/y-gone-before-run.jpg";
    settings::SettingsStore steps;
    auto format = std::make_shared<settings::formatSetting>();
    format->type = settings::kFormatKind;
    format->label = 0;
    format->format = 8; // PNG
    format->exporter = std::make_shared<settings::ExporterHandle>(settings::getFormat(8));
    steps.append(format);
    QDir().mkpath(dir.filePath("out"));

    batchTread job(&remover);
    job.setCurrentSteps(&steps);
    QVERIFY(job.startProcess({src}, dir.filePath("out"), depth, QString(), false));
    job.wait();
    QVERIFY(remover.finished);

    const engine::RunReport& report = job.report();
    QStringList written;
    for (const QString& path : report.written)
        written << QFileInfo(path).fileName();
    written.sort();
    // Each real picture once, though the loops reach the folders again.
    QCOMPARE(written, (QStringList{"a.png", "c.png"}));
    // The FIFO and the device with raw names are collected by name and fail to open; the
    // files that went away are not written. Each failure names its file.
    QStringList notOpened;
    for (const engine::FileProblem& problem : report.notOpened) {
        QVERIFY2(problem.reason.contains(QFileInfo(problem.file).fileName()), qPrintable(problem.reason));
        notOpened << QFileInfo(problem.file).fileName();
    }
    QVERIFY2(notOpened.contains("fifo.nef"), qPrintable(notOpened.join(", ")));
    if (device)
        QVERIFY2(notOpened.contains("zero.cr2"), qPrintable(notOpened.join(", ")));
    QVERIFY(!notOpened.contains("fifo.jpg")); // the picture test reads no FIFO
    QVERIFY(!QFileInfo::exists(dir.filePath("out/y-gone-before-run.png")));
    QVERIFY(!QFileInfo::exists(dir.filePath("out/z-gone-during-scan.png")));
}

QTEST_GUILESS_MAIN(tst_HostileFolder)
#include "tst_hostilefolder.moc"
