// Every fuzz target over the inputs kept from fuzzing (tests/data/fuzz/<subject>/, each once a
// crash, hang, leak or broken invariant, now fixed) and the hand-made seeds
// (tests/fuzz/seeds/<subject>/). Each input must run through its target with the invariant
// holding; under the sanitizer build the same run checks memory too.
//   settings/watermark-path-with-nul   a watermark path with a NUL byte went to QFileInfo
//   importer/maya-iff-picture-origin-outside-buffer
//                                      a Maya IFF header with a picture origin of -1, -234:
//                                      OpenImageIO's reader copied tiles from before its buffer
//   importer/dpx-24415-image-elements  a DPX header naming 24415 elements of 1.6 billion
//                                      pixels a side: OpenImageIO grew past 3 GiB for 20 s
//   importer/gif-screen-19532-pixels-square
//                                      a 75-byte GIF whose screen size made OpenImageIO
//                                      allocate a 1.5 GB canvas
//   importer/maya-iff-alpha-and-black-flags
//                                      an IFF header whose flags trip an assertion that
//                                      Debian's OpenImageIO keeps: the process aborted
//   importer/psd-colour-mode-data-of-3-gib
//                                      a colour mode data length of 3 GiB in a 64-byte
//                                      Photoshop file, allocated before it was read
// and, from the shared corpus (corpusFindings), the inputs that were corpus files.

#include "fuzz/fuzztarget.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void inputs_data();
    void inputs();
    void corpusFindings_data();
    void corpusFindings();
};

void TestFuzzRegressions::inputs_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("path");
    const QStringList subjects = QStringLiteral(QUILLON_FUZZ_SUBJECTS).split(QLatin1Char(','));
    int rows = 0;
    for (const QString& subject : subjects) {
        for (const QString& root :
             {QStringLiteral(QUILLON_TESTDATA "/fuzz/"), QStringLiteral(QUILLON_FUZZ_SEEDS "/")}) {
            QDirIterator it(root + subject, QDir::Files);
            QStringList paths;
            while (it.hasNext())
                paths << it.next();
            paths.sort();
            for (const QString& path : paths) {
                QTest::newRow(qPrintable(subject + QLatin1Char('/') + QFileInfo(path).fileName()))
                    << subject << path;
                ++rows;
            }
        }
    }
    if (rows == 0)
        QTest::newRow("none") << QString() << QString();
}

void TestFuzzRegressions::inputs()
{
    QFETCH(QString, subject);
    QFETCH(QString, path);
    if (subject.isEmpty())
        QSKIP("no kept inputs");
    const quillon::fuzz::TargetFunction target = quillon::fuzz::target(qPrintable(subject));
    QVERIFY2(target, qPrintable(QStringLiteral("no fuzz target named ") + subject));
    // Qt's complaint about a file name with a NUL in it: such a name reached the file system.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("Broken filename")));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QElapsedTimer timer;
    timer.start();
    QVERIFY2(target(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
             qPrintable(path + QStringLiteral(": the target's invariant broke")));
    // Hangs were findings too: each input runs in well under the fuzzer's 10 s timeout.
    QVERIFY2(timer.elapsed() < 5000, qPrintable(path + QStringLiteral(": took %1 ms").arg(timer.elapsed())));
}

// Findings that were shared corpus files as they are, run from the corpus behind the byte
// their target reads first.
void TestFuzzRegressions::corpusFindings_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QString>("file");
    // OpenImageIO tried every reader on a Photoshop file without a .psd name and hung in the
    // PSD reader's thumbnail (ending "", then ".jpg").
    QTest::newRow("importer: PSD with a thumbnail, no name ending")
        << "importer" << QByteArray(1, '\0') << "legacy/psd/orientation6.psd";
    QTest::newRow("importer: PSD with a thumbnail, named .jpg")
        << "importer" << QByteArray(1, '\1') << "legacy/psd/orientation6.psd";
}

void TestFuzzRegressions::corpusFindings()
{
    QFETCH(QString, subject);
    QFETCH(QByteArray, prefix);
    QFETCH(QString, file);
    const quillon::fuzz::TargetFunction target = quillon::fuzz::target(qPrintable(subject));
    QVERIFY(target);
    QFile in(QStringLiteral(QUILLON_CORPUS "/") + file);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(in.fileName()));
    const QByteArray bytes = prefix + in.readAll();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(target(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QStringLiteral("took %1 ms").arg(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
