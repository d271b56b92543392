// Running a batch on several workers must be indistinguishable from running it one image at a
// time: the same events in the same order, the same names and serial numbers, the same name
// clashes resolved the same way, the same bytes in every written file, and at a stop exactly
// the same files, nothing of the images the workers had made ahead.

#include "engine/job/batchtread.h"
#include "jobrecorder.h"
#include "engine/labels/finderlabel.h"
#include "settings/globals.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace quillon;
using engine::batchTread;

namespace {

const QString kCorpus = QStringLiteral(QUILLON_CORPUS);

// Waits, on the job's thread, until that many files (hidden ones too) are in folder or ten
// seconds have passed; returns how many there were.
int waitForFiles(const QString& folder, int count)
{
    int seen = 0;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        seen = int(QDir(folder).entryList(QDir::Files | QDir::Hidden).size());
        if (seen >= count)
            break;
        QThread::msleep(2);
    }
    return seen;
}

void copyFile(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QVERIFY2(QFile::copy(from, to), qPrintable(to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

// Every file under folder (hidden ones too) with the MD5 of its bytes.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> result;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            result.insert(QDir(folder).relativeFilePath(path),
                          QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
    }
    return result;
}

// The batch: unlabelled images to JPEG at half size under their own names (two sources share
// a name, and the destination already holds one), red-labelled ones to PNG with a File Name
// step numbering them, one damaged picture, one text file in a folder that is scanned.
struct Batch
{
    QTemporaryDir dir;
    settings::SettingsStore steps;
    QStringList sources;
    bool labels = true;

    Batch()
    {
        // Small camera photos with their Exif, one turned by its orientation tag.
        const QStringList photos = {
            "canon_eos40d.jpg", "nikon_d70.jpg",   "pentax_k10d.jpg", "sony_cybershot_orient6.jpg",
            "nikon_d1x.jpg",    "ricoh_dc3z.jpg",  "canon_eos40d.jpg", "nikon_d70.jpg",
            "pentax_k10d.jpg",  "ricoh_dc3z.jpg",
        };
        const QString src = dir.filePath("src");
        for (int i = 0; i < photos.size(); ++i)
            copyFile(kCorpus + "/photos-exif/" + photos[i],
                     src + QString("/%1.jpg").arg(i, 2, 10, QChar('0')));
        copyFile(kCorpus + "/photos-exif/" + photos[0], src + "/sub/03.jpg"); // the same name as src/03.jpg
        copyFile(kCorpus + "/odd/truncated_half_canon40d.jpg", src + "/04b.jpg");
        QFile text(src + "/notes.txt");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture\n");
        text.close();
        for (const char* red : {"/01.jpg", "/05.jpg", "/06.jpg", "/09.jpg"}) {
            QString error;
            labels = labels && engine::setFinderLabel(src + red, 6, &error);
        }
        sources = {src};

        auto addFormat = [this](int label, int code) {
            auto format = std::make_shared<settings::formatSetting>();
            format->type = settings::kFormatKind;
            format->label = label;
            format->format = code;
            format->exporter =
                std::make_shared<settings::ExporterHandle>(settings::getFormat(code));
            steps.append(format);
        };
        addFormat(0, 0); // JPEG
        auto half = std::make_shared<settings::scaleSetting>();
        half->type = settings::kScaleKind;
        half->mode = 1;
        half->width = 50;
        half->height = 50;
        steps.append(half);

        addFormat(1, 8); // red: PNG
        auto numbered = std::make_shared<settings::nameSetting>();
        numbered->type = settings::kNameKind;
        numbered->label = 1;
        numbered->prefixMode = {3, 5, 5}; // a two-digit serial number first
        steps.append(numbered);
    }

    struct Outcome
    {
        QStringList events;
        QStringList written;
        QStringList notOpened;
        QMap<QString, QByteArray> files;
        int peakAhead = 0;
        int hiddenSeen = 0;
    };

    Outcome run(const QString& name, int workers, int stopAt = 0, int holdFirst = 0)
    {
        const QString out = dir.filePath(name);
        QDir().mkpath(out);
        copyFile(kCorpus + "/photos-exif/canon_eos40d.jpg", out + "/02.jpg"); // already there
        // With holdFirst, the first Progress waits until that many files are in the
        // destination, so the workers can run as far ahead as they are allowed.
        JobRecorder recorder;
        recorder.stopAt = stopAt;
        int hiddenSeen = 0;
        if (holdFirst > 0)
            recorder.onProgress = [&](int progress) {
                if (progress == 1)
                    hiddenSeen = waitForFiles(out, holdFirst);
            };
        batchTread job(&recorder);
        job.setCurrentSteps(&steps);
        job.setWorkerCount(workers);
        job.startProcess(sources, out, -1, QString(), false);
        job.wait();
        Outcome outcome;
        outcome.events = recorder.events();
        for (const QString& file : job.report().written)
            outcome.written << QDir(out).relativeFilePath(file);
        for (const auto& problem : job.report().notOpened)
            outcome.notOpened << QFileInfo(problem.file).fileName();
        outcome.files = contents(out);
        outcome.peakAhead = job.peakImagesAhead();
        outcome.hiddenSeen = hiddenSeen;
        return outcome;
    }
};

} // namespace

class tst_ParallelRun : public QObject
{
    Q_OBJECT

private slots:
    void sameAsOneAtATime_data();
    void sameAsOneAtATime();
    void imagesAheadAreBounded();
};

void tst_ParallelRun::sameAsOneAtATime_data()
{
    QTest::addColumn<int>("stopAt");
    QTest::newRow("to the end") << 0;
    QTest::newRow("stop after the third image") << 3;
}

void tst_ParallelRun::sameAsOneAtATime()
{
    QFETCH(int, stopAt);
    Batch batch;
    if (!batch.labels)
        QSKIP("no extended attributes for colour labels here");
    const Batch::Outcome one = batch.run("one", 1, stopAt);
    const Batch::Outcome four = batch.run("four", 4, stopAt);

    QCOMPARE(four.events, one.events);
    QCOMPARE(four.written, one.written);
    QCOMPARE(four.notOpened, one.notOpened);
    QCOMPARE(four.files, one.files);

    // The run itself is what the batch asks for: the clash and the serial numbers resolved,
    // the damaged picture reported, and at a stop only the images up to the third.
    if (stopAt == 0) {
        QCOMPARE(one.notOpened, QStringList{"04b.jpg"});
        QVERIFY2(one.written.contains("02 1.jpg"), qPrintable(one.written.join(", ")));
        QVERIFY2(one.written.contains("03 1.jpg"), qPrintable(one.written.join(", ")));
        for (const char* serial : {"01_01.png", "02_05.png", "03_06.png", "04_09.png"})
            QVERIFY2(one.written.contains(serial), serial);
        QCOMPARE(one.written.size(), 11);
    } else {
        QCOMPARE(one.events.filter("Progress").size(), 3);
        QCOMPARE(one.events.last(), "Finished 1");
        QCOMPARE(one.written.size(), 3);
    }
    // Nothing but the outputs and the file that was there: no staged file stays behind.
    QCOMPARE(four.files.size(), four.written.size() + 1);
}

void tst_ParallelRun::imagesAheadAreBounded()
{
    // While the run waits on its listener at the first image, two workers make at most
    // kImagesAheadPerWorker images each ahead of it, and then wait.
    Batch batch;
    const int workers = 2;
    const int window = workers * engine::kImagesAheadPerWorker;
    // At the first Progress: the first image's own output and the window's, all staged.
    const Batch::Outcome held = batch.run("held", workers, 0, window + 1 + 1 /* 02.jpg */);
    QCOMPARE(held.hiddenSeen, window + 2);
    QCOMPARE(held.peakAhead, window);
    QCOMPARE(held.files.size(), held.written.size() + 1);
}

QTEST_GUILESS_MAIN(tst_ParallelRun)
#include "tst_parallelrun.moc"
