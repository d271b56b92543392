// The batch job: collection (labels, direct files, depth, hidden files, ".app", links), its
// events and the stop sequence, the run's report of what could not be opened or saved, and
// the preview. Runs real pictures from the corpus through the real pipeline.

#include "engine/job/batchtread.h"
#include "jobrecorder.h"
#include "engine/labels/finderlabel.h"
#include "engine/preview/temporaryitems.h"
#include "settings/globals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace quillon;
using engine::batchTread;

namespace {

const QString kPhoto = QStringLiteral(QUILLON_CORPUS "/photos-exif/canon_eos40d.jpg"); // 100x68
const QString kDamaged = QStringLiteral(QUILLON_CORPUS "/odd/truncated_half_canon40d.jpg");

using Recorder = JobRecorder;

std::shared_ptr<settings::formatSetting> addFormat(settings::SettingsStore& steps, int labelIndex,
                                                   int code = 0)
{
    auto format = std::make_shared<settings::formatSetting>();
    format->type = settings::kFormatKind;
    format->label = labelIndex;
    format->format = code;
    format->exporter = std::make_shared<settings::ExporterHandle>(settings::getFormat(code));
    steps.append(format);
    return format;
}

void copyPhoto(const QString& to, const QString& from = kPhoto)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QVERIFY2(QFile::copy(from, to), qPrintable(to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

void writeText(const QString& path, const QByteArray& text = "not a picture\n")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

struct Run
{
    Recorder recorder;
    settings::SettingsStore steps;
    std::unique_ptr<batchTread> job;

    void start(const QStringList& sources, const QString& destination, int depth = -1,
               bool saveToSource = false)
    {
        job = std::make_unique<batchTread>(&recorder);
        job->setCurrentSteps(&steps);
        QVERIFY(job->startProcess(sources, destination, depth, QString(), saveToSource));
        job->wait();
    }
};

QStringList names(const QStringList& paths)
{
    QStringList result;
    for (const QString& path : paths)
        result << QFileInfo(path).fileName();
    return result;
}

} // namespace

class tst_BatchTread : public QObject
{
    Q_OBJECT

private slots:
    void labelGroups();
    void directFilesSkipThePictureTest();
    void depth_data();
    void depth();
    void appFoldersAndLinks();
    void stopSequence();
    void failuresAreReported();
    void rawImages();
    void failedExport();
    void unreadableFavorite();
    void sameAsOriginal();
    void preview();
    void previewOfAnotherLabel();
};

void tst_BatchTread::labelGroups()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("src");
    copyPhoto(src + "/plain.jpg");
    copyPhoto(src + "/red.jpg");
    copyPhoto(src + "/.hidden.jpg");
    writeText(src + "/notes.txt");
    QString error;
    if (!engine::setFinderLabel(src + "/red.jpg", 6, &error))
        QSKIP(qPrintable("no extended attributes here: " + error));
    QDir().mkpath(dir.filePath("out"));

    Run unlabelled;
    addFormat(unlabelled.steps, 0);
    unlabelled.start({src}, dir.filePath("out"));
    QCOMPARE(unlabelled.recorder.of("Started"), QStringList{"Started 1"});
    QCOMPARE(names(unlabelled.job->imageFile()), QStringList{"plain.jpg"});
    QCOMPARE(unlabelled.job->settingLabel(), QList<int>{0});

    Run both;
    addFormat(both.steps, 0);
    addFormat(both.steps, 1); // red
    both.start({src}, dir.filePath("out"));
    QCOMPARE(both.job->settingLabel(), (QList<int>{0, 6}));
    QCOMPARE(names(both.job->imageFile()), (QStringList{"plain.jpg", "red.jpg"}));
    QCOMPARE(both.job->formatExist(), (QList<int>{0, 6}));
    QCOMPARE(both.job->report().written.size(), 2);
}

void tst_BatchTread::directFilesSkipThePictureTest()
{
    QTemporaryDir dir;
    writeText(dir.filePath("notes.txt"));
    copyPhoto(dir.filePath("a.jpg"));
    Run run;
    addFormat(run.steps, 0);
    run.start({dir.filePath("notes.txt"), dir.filePath("a.jpg")}, dir.path());
    QCOMPARE(run.recorder.of("Started"), QStringList{"Started 2"});
    // The text file is counted, gives no picture and is reported; the photo is written.
    QCOMPARE(run.recorder.of("Progress"), QStringList{"Progress a.jpg 0/2"});
    const engine::RunReport& report = run.job->report();
    QCOMPARE(report.notOpened.size(), 1);
    QCOMPARE(QFileInfo(report.notOpened[0].file).fileName(), "notes.txt");
    QVERIFY(!report.notOpened[0].reason.isEmpty());
    QCOMPARE(names(report.written), QStringList{"a 1.jpg"});
    QCOMPARE(run.job->currentImage(), 1);
    QVERIFY(!report.allWritten());
}

void tst_BatchTread::depth_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("scanning");
    QTest::newRow("none") << 0 << 1 << QStringList{};
    QTest::newRow("one level") << 1 << 2 << QStringList{"Scanning a"};
    QTest::newRow("two levels") << 2 << 3 << QStringList{"Scanning a"};
    QTest::newRow("three levels") << 3 << 4 << QStringList{"Scanning a", "Scanning b"};
    QTest::newRow("unlimited") << -1 << 4 << QStringList{"Scanning a", "Scanning b", "Scanning c"};
}

void tst_BatchTread::depth()
{
    QFETCH(int, depth);
    QFETCH(int, count);
    QFETCH(QStringList, scanning);
    QTemporaryDir dir;
    const QString root = dir.filePath("root");
    copyPhoto(root + "/0.jpg");
    copyPhoto(root + "/a/1.jpg");
    copyPhoto(root + "/a/b/2.jpg");
    copyPhoto(root + "/a/b/c/3.jpg");
    QDir().mkpath(dir.filePath("out"));
    Run run;
    addFormat(run.steps, 0);
    run.start({root}, dir.filePath("out"), depth);
    QCOMPARE(run.recorder.of("Scanning"), scanning);
    QCOMPARE(run.job->imageCount(), count);
    // Scanning comes before Started, and every collected image is written.
    QCOMPARE(run.recorder.events().indexOf(QString("Started %1").arg(count)), scanning.size());
    QCOMPARE(run.job->report().written.size(), count);
}

void tst_BatchTread::appFoldersAndLinks()
{
    QTemporaryDir dir;
    const QString root = dir.filePath("root");
    copyPhoto(root + "/Photos.app/inside.jpg");
    copyPhoto(root + "/sub/x.jpg");
    copyPhoto(dir.filePath("outside.jpg"));
    QVERIFY(QFile::link(dir.filePath("outside.jpg"), root + "/linked.jpg"));
    QVERIFY(QFile::link(root, root + "/sub/loop")); // a folder link back to the root
    QDir().mkpath(dir.filePath("out"));
    Run run;
    addFormat(run.steps, 0);
    run.start({root}, dir.filePath("out"), -1);
    QCOMPARE(names(run.job->imageFile()), (QStringList{"linked.jpg", "x.jpg"}));
    QCOMPARE(run.recorder.of("Scanning"), (QStringList{"Scanning sub", "Scanning loop"}));
}

void tst_BatchTread::stopSequence()
{
    QTemporaryDir dir;
    for (int i = 1; i <= 5; ++i)
        copyPhoto(dir.filePath(QString("src/%1.jpg").arg(i)));
    QDir().mkpath(dir.filePath("out"));
    Run run;
    run.recorder.stopAt = 3;
    addFormat(run.steps, 0);
    run.start({dir.filePath("src")}, dir.filePath("out"));
    QCOMPARE(run.recorder.events(),
             (QStringList{"Started 5", "Progress 1.jpg 0/5", "Progress 2.jpg 1/5",
                          "Progress 3.jpg 2/5", "Finished 1"}));
    QCOMPARE(names(run.job->report().written), (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    QVERIFY(run.job->report().stopped);
    QVERIFY(run.job->report().notOpened.isEmpty());
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files).size(), 3);
}

void tst_BatchTread::failuresAreReported()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("src/a.jpg"));
    copyPhoto(dir.filePath("src/b.jpg"), kDamaged);
    copyPhoto(dir.filePath("src/c.jpg"));
    writeText(dir.filePath("file"));

    // A damaged picture among good ones: reported as not opened, the others written.
    Run run;
    addFormat(run.steps, 0, 8); // PNG
    QDir().mkpath(dir.filePath("out"));
    run.start({dir.filePath("src")}, dir.filePath("out"));
    const engine::RunReport& report = run.job->report();
    QCOMPARE(names(report.written), (QStringList{"a.png", "c.png"}));
    QCOMPARE(report.notOpened.size(), 1);
    QCOMPARE(QFileInfo(report.notOpened[0].file).fileName(), "b.jpg");
    QVERIFY(!run.job->someNotSaved());

    // A destination that cannot hold files: every image is reported as not saved, nothing
    // is left behind.
    Run blocked;
    addFormat(blocked.steps, 0, 8);
    blocked.start({dir.filePath("src/a.jpg"), dir.filePath("src/c.jpg")}, dir.filePath("file/out"));
    QVERIFY(blocked.job->someNotSaved());
    QCOMPARE(blocked.job->report().notSaved.size(), 2);
    QVERIFY2(blocked.job->report().notSaved[0].reason.contains("file/out"),
             qPrintable(blocked.job->report().notSaved[0].reason));
    QVERIFY(blocked.job->report().written.isEmpty());
    QCOMPARE(blocked.job->currentImage(), 2);
}

void tst_BatchTread::rawImages()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("src/d30.crw"), QUILLON_CORPUS "/raw/canon_eos_d30.crw");
    QDir().mkpath(dir.filePath("out"));

    // Without a Raw step of its label a raw image is counted, gets no Progress and is
    // reported.
    Run plain;
    addFormat(plain.steps, 0);
    plain.start({dir.filePath("src")}, dir.filePath("out"));
    QCOMPARE(plain.recorder.events(), (QStringList{"Started 1", "Finished 0"}));
    QCOMPARE(plain.job->report().notOpened.size(), 1);
    QVERIFY(plain.job->report().notOpened[0].reason.contains("Raw step"));

    // With one it is decoded at its nominal size and named with the exporter's extension.
    Run raw;
    addFormat(raw.steps, 0);
    auto step = std::make_shared<settings::rawSetting>();
    step->type = settings::kRawKind;
    step->rawWhiteBalance = 2;
    raw.steps.append(step);
    raw.start({dir.filePath("src")}, dir.filePath("out"));
    QCOMPARE(names(raw.job->report().written), QStringList{"d30.jpg"});
    const QImage written(dir.filePath("out/d30.jpg"));
    QVERIFY(written.width() > 1000 && written.height() > 600);
}

void tst_BatchTread::failedExport()
{
    // PICT holds at most 32767 pixels a side: the export fails, the image counts as not
    // saved, and neither a partial file nor the reserved name is left.
    QTemporaryDir dir;
    QImage wide(40000, 2, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(QDir().mkpath(dir.filePath("src")));
    QVERIFY(wide.save(dir.filePath("src/wide.png")));
    copyPhoto(dir.filePath("src/z.jpg"));
    QDir().mkpath(dir.filePath("out"));
    Run run;
    addFormat(run.steps, 0, 5); // PICT
    run.start({dir.filePath("src")}, dir.filePath("out"));
    const engine::RunReport& report = run.job->report();
    QCOMPARE(report.notSaved.size(), 1);
    QCOMPARE(QFileInfo(report.notSaved[0].file).fileName(), "wide.png");
    QVERIFY(!report.notSaved[0].reason.isEmpty());
    QVERIFY(run.job->someNotSaved());
    QCOMPARE(
        QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{"z.pct"});
}

void tst_BatchTread::unreadableFavorite()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("a.jpg"));
    Recorder recorder;
    batchTread job(&recorder);
    QVERIFY(
        job.startProcess({dir.filePath("a.jpg")}, dir.path(), -1, dir.filePath("missing"), false));
    job.wait();
    QCOMPARE(recorder.events(), (QStringList{"Started 0", "Finished 0"}));
    QVERIFY(job.loadError().contains("missing"));
    QVERIFY(job.settingLabel().isEmpty());
}

void tst_BatchTread::sameAsOriginal()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("a.jpg"));
    copyPhoto(dir.filePath("nested/b.jpg"));
    Run run;
    addFormat(run.steps, 0);
    run.start({dir.path()}, QString(), -1, true);
    QCOMPARE(run.job->report().written,
             (QStringList{dir.filePath("a 1.jpg"), dir.filePath("nested/b 1.jpg")}));
}

void tst_BatchTread::preview()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("photo.jpg"));
    settings::SettingsStore steps;
    addFormat(steps, 0, 8); // PNG
    auto name = std::make_shared<settings::nameSetting>();
    name->type = settings::kNameKind;
    name->prefixMode = {3, 5, 5};
    name->suffixMode = {0, 1, 6};
    name->suffixString[0] = QStringLiteral("_prev");
    steps.append(name);

    for (int round = 0; round < 2; ++round) {
        Recorder recorder;
        batchTread job(&recorder);
        job.setCurrentSteps(&steps);
        QString shown, error;
        const QImage picture = job.preview(dir.filePath("photo.jpg"), shown, &error);
        QVERIFY2(!picture.isNull(), qPrintable(error));
        QCOMPARE(picture.size(), QSize(100, 68));
        // A fresh job each time: the serial number is 1 for every preview.
        QCOMPARE(shown, "01_photo_prev.png");
        QCOMPARE(recorder.events(), QStringList{"Progress photo.jpg 0/0"});
        QVERIFY(job.isPreview());
        QVERIFY(QDir(engine::temporaryItemsFolder())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    }
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(engine::temporaryItemsFolder()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0700u);
}

void tst_BatchTread::previewOfAnotherLabel()
{
    QTemporaryDir dir;
    copyPhoto(dir.filePath("red.jpg"));
    QString error;
    if (!engine::setFinderLabel(dir.filePath("red.jpg"), 6, &error))
        QSKIP(qPrintable("no extended attributes here: " + error));
    settings::SettingsStore steps;
    addFormat(steps, 0);
    batchTread job;
    job.setCurrentSteps(&steps);
    QString shown;
    QVERIFY(job.preview(dir.filePath("red.jpg"), shown, &error).isNull());
    QVERIFY(error.contains("no Format step"));
    QVERIFY(job.preview(dir.filePath("gone.jpg"), shown, &error).isNull());
}

QTEST_GUILESS_MAIN(tst_BatchTread)
#include "tst_batchtread.moc"
