// quillon-cli run and preview end to end: real photos, a settings file written by an
// independent writer of the format, the outputs checked with ImageMagick and exiftool.

#include "clirunhelpers.h"

#include "engine/icons/customicon.h"
#include "engine/imageservices/colorprofiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace clitest;

Result cli(const QStringList& args)
{
    return runProgram(QStringLiteral(QUILLON_CLI), args);
}


QString exif(const QString& file, const QString& tag)
{
    return runProgram(QStringLiteral("exiftool"), {"-s", "-s", "-s", "-" + tag, file})
        .out.trimmed();
}

QSize imageSize(const QString& file)
{
    const QStringList parts =
        runProgram(QStringLiteral("/usr/bin/identify"), {"-format", "%w %h", file}).out.split(' ');
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
}

// Root-mean-square difference of two pictures, 0..1, by ImageMagick.
double difference(const QString& a, const QString& b)
{
    const Result r =
        runProgram(QStringLiteral("/usr/bin/compare"), {"-metric", "RMSE", a, b, "null:"});
    const qsizetype open = r.err.indexOf('('), close = r.err.indexOf(')');
    if (open < 0 || close < open)
        return 1;
    return r.err.mid(open + 1, close - open - 1).toDouble();
}

void copyInto(const QString& folder, const QString& corpusFile)
{
    QDir().mkpath(folder);
    const QString to = folder + '/' + QFileInfo(corpusFile).fileName();
    QVERIFY(QFile::copy(kCorpus + '/' + corpusFile, to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class tst_CliRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void batch();
    void watermarkAndChosenProfile();
    void failures();
    void arguments_data();
    void arguments();
    void favoriteByName();
    void preview();

private:
    QTemporaryDir m_dir;
};

void tst_CliRun::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(QUILLON_CLI)).isExecutable());
    QVERIFY(m_dir.isValid());
}

void tst_CliRun::batch()
{
    const QString src = m_dir.filePath("batch/src"), out = m_dir.filePath("batch/out");
    copyInto(src, "icc/adobergb_canon_eos7d.jpg");
    copyInto(src, "photos-exif/canon_eos40d.jpg");
    copyInto(src, "photos-exif/nikon_d70.jpg");
    QDir().mkpath(out);
    const QString settingsFile = m_dir.filePath("batch/steps");
    QVERIFY(writeSettings(settingsFile, {"format:0:format=0,options=quality=92", "scale:0:width=50",
                                         "flip:0:rotate=1,rotateMode=0", "colorsync:0:mode=0",
                                         "name:0:p0=0/Trip,p1=3"}));

    const Result first = cli({"run", "--settings", settingsFile, "--dest", out, src});
    QVERIFY2(first.exitCode == 0, qPrintable(first.out + first.err));
    QVERIFY(first.out.contains("Written: 3"));
    const QStringList expected = {"Trip_01_adobergb_canon_eos7d.jpg", "Trip_02_canon_eos40d.jpg",
                                  "Trip_03_nikon_d70.jpg"};
    QCOMPARE(files(out), expected);
    // Scaled so the longer side is 50, then turned 90° clockwise.
    QCOMPARE(imageSize(out + "/" + expected[0]), QSize(50, 33));
    QCOMPARE(imageSize(out + "/" + expected[1]), QSize(34, 50));
    QCOMPARE(imageSize(out + "/" + expected[2]), QSize(33, 50));
    // The turn is clockwise: ImageMagick's own turn of the same picture looks the same.
    const QString reference = m_dir.filePath("batch/reference.png");
    QCOMPARE(runProgram("/usr/bin/convert",
                        {src + "/canon_eos40d.jpg", "-resize", "50x50", "-rotate", "90", reference})
                 .exitCode,
             0);
    const double clockwise = difference(out + "/" + expected[1], reference);
    QVERIFY2(clockwise < 0.06, qPrintable(QString::number(clockwise)));
    // Exif copied with the orientation reset, the source's profile kept.
    QCOMPARE(exif(out + "/" + expected[1], "Make"), "Canon");
    QCOMPARE(exif(out + "/" + expected[2], "Make"), "NIKON CORPORATION");
    QCOMPARE(exif(out + "/" + expected[0], "ProfileDescription"), "Adobe RGB (1998)");
    QCOMPARE(exif(out + "/" + expected[1], "ProfileDescription"), "sRGB IEC61966-2.1");
    // Every output has its custom icon: a 128 x 128 thumbnail with alpha around the picture.
    for (const QString& name : expected) {
        const QImage icon(quillon::engine::thumbnailPath(out + "/" + name));
        QCOMPARE(icon.size(), QSize(128, 128));
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(icon.pixelColor(64, 64).alpha(), 255);
    }

    // Running again never replaces: the new outputs get " 1".
    const Result second = cli({"run", "--settings", settingsFile, "--dest", out, src});
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(files(out),
             (QStringList{"Trip_01_adobergb_canon_eos7d 1.jpg", "Trip_01_adobergb_canon_eos7d.jpg",
                          "Trip_02_canon_eos40d 1.jpg", "Trip_02_canon_eos40d.jpg",
                          "Trip_03_nikon_d70 1.jpg", "Trip_03_nikon_d70.jpg"}));
}

void tst_CliRun::watermarkAndChosenProfile()
{
    const QString src = m_dir.filePath("mark/src"), out = m_dir.filePath("mark/out");
    copyInto(src, "photos-exif/canon_eos40d.jpg");
    QDir().mkpath(out);
    QImage mark(20, 10, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    QPainter(&mark).fillRect(0, 0, 20, 5, QColor(255, 0, 0)); // the top half opaque
    QVERIFY(mark.save(m_dir.filePath("mark/mark.png")));
    const quillon::engine::ColorProfiles profiles = quillon::engine::ColorProfiles::load();
    const bool withProfile = profiles.count() > 1;
    QStringList records = {"format:0:format=8",
                           "watermark:0:placement=4,file=" + m_dir.filePath("mark/mark.png")};
    if (withProfile)
        records << "colorsync:0:mode=1,profile=0";
    const QString settingsFile = m_dir.filePath("mark/steps");
    QVERIFY(writeSettings(settingsFile, records));

    const Result run = cli({"run", "--settings", settingsFile, "--dest", out, src});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QCOMPARE(files(out), QStringList{"canon_eos40d.png"});
    const QImage written(out + "/canon_eos40d.png");
    QCOMPARE(written.size(), QSize(100, 68));
    // Bottom right, flush with both edges: (80, 58) to (99, 67), the top half red.
    QCOMPARE(written.pixelColor(80, 58), QColor(255, 0, 0));
    QCOMPARE(written.pixelColor(99, 62), QColor(255, 0, 0));
    QVERIFY(written.pixelColor(79, 58) != QColor(255, 0, 0));
    QVERIFY(written.pixelColor(99, 63) != QColor(255, 0, 0));
    if (!withProfile)
        QSKIP("only the built-in profile is installed here; the chosen profile is not checked");
    QCOMPARE(exif(out + "/canon_eos40d.png", "ProfileDescription"), profiles.name(1));
}

void tst_CliRun::failures()
{
    const QString src = m_dir.filePath("fail/src");
    copyInto(src, "photos-exif/canon_eos40d.jpg");
    copyInto(src, "odd/truncated_half_canon40d.jpg");
    copyInto(src, "photos-exif/nikon_d70.jpg");
    const QString settingsFile = m_dir.filePath("fail/steps");
    QVERIFY(writeSettings(settingsFile, {"format:0:format=8"}));

    // A damaged picture among good ones: reported, the others written.
    const QString out = m_dir.filePath("fail/out");
    QDir().mkpath(out);
    const Result damaged = cli({"run", "--settings", settingsFile, "--dest", out, src});
    QCOMPARE(damaged.exitCode, 1);
    QCOMPARE(files(out), (QStringList{"canon_eos40d.png", "nikon_d70.png"}));
    QVERIFY2(
        damaged.out.contains("Could not be opened: 1") &&
            damaged.out.contains("could not be opened: " + src + "/truncated_half_canon40d.jpg: "),
        qPrintable(damaged.out));

    // A destination that cannot be written (its parent is a file, which stops root too):
    // exit status 1, the not-saved report, no file.
    QFile blocker(m_dir.filePath("fail/blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Result blocked = cli({"run", "--settings", settingsFile, "--dest",
                                m_dir.filePath("fail/blocker/out"), src + "/canon_eos40d.jpg"});
    QCOMPARE(blocked.exitCode, 1);
    QVERIFY2(blocked.out.contains("Not saved: 1") && blocked.out.contains("not saved: "),
             qPrintable(blocked.out));
    QVERIFY(blocked.err.contains("One or more Files could not be saved.\n\nThe folder/volume "
                                 "you are trying to save might be locked or not writable."));
    QCOMPARE(QFileInfo(m_dir.filePath("fail/blocker")).size(), 0);
}

void tst_CliRun::arguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    const QString steps = m_dir.filePath("args-steps");
    QTest::newRow("no settings") << QStringList{"run", "--dest", "/tmp", "x.jpg"} << 2;
    QTest::newRow("settings and favorite")
        << QStringList{"run", "--settings", steps, "--favorite", "x", "--dest", "/tmp", "x.jpg"}
        << 2;
    QTest::newRow("no destination") << QStringList{"run", "--settings", steps, "x.jpg"} << 2;
    QTest::newRow("both destinations")
        << QStringList{"run", "--settings", steps, "--dest", "/tmp", "--same-as-original", "x.jpg"}
        << 2;
    QTest::newRow("bad depth") << QStringList{"run",  "--settings", steps, "--dest",
                                              "/tmp", "--depth",    "-2",  "x.jpg"}
                               << 2;
    QTest::newRow("no workers") << QStringList{"run", "--settings", steps, "--dest", "/tmp",
                                               "--jobs", "0", "x.jpg"}
                                << 2;
    QTest::newRow("workers not a number")
        << QStringList{"run", "--settings", steps, "--dest", "/tmp", "--jobs", "all", "x.jpg"} << 2;
    QTest::newRow("no sources") << QStringList{"run", "--settings", steps, "--dest", "/tmp"} << 2;
    QTest::newRow("unreadable settings")
        << QStringList{"run", "--settings", m_dir.filePath("missing"), "--dest", "/tmp", "x.jpg"}
        << 2;
    QTest::newRow("unknown favorite")
        << QStringList{"run", "--favorite", "nothing", "--dest", "/tmp", "x.jpg"} << 2;
    QTest::newRow("preview without output")
        << QStringList{"preview", "--settings", steps, "x"} << 2;
}

void tst_CliRun::arguments()
{
    QFETCH(QStringList, args);
    QVERIFY(writeSettings(m_dir.filePath("args-steps"), {"format:0"}));
    const Result r = cli(args);
    QTEST(r.exitCode, "exitCode");
    QVERIFY(!r.err.isEmpty());
}

void tst_CliRun::favoriteByName()
{
    const QString favorites =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        "/Quillon/favorites";
    QDir().mkpath(favorites);
    QVERIFY(writeSettings(favorites + "/Web Copies", {"format:0:format=8", "scale:0:width=40"}));
    const QString src = m_dir.filePath("fav/src");
    copyInto(src, "photos-exif/nikon_d70.jpg");
    const Result r =
        cli({"run", "--favorite", "web COPIES", "--same-as-original", "--depth", "0", src});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    QCOMPARE(imageSize(src + "/nikon_d70.png"), QSize(40, 26));
}

void tst_CliRun::preview()
{
    const QString src = m_dir.filePath("preview");
    copyInto(src, "photos-exif/canon_eos40d.jpg");
    const QString settingsFile = src + "/steps";
    QVERIFY(writeSettings(settingsFile, {"format:0:format=8", "name:0:s0=0/_prev,s1=1"}));
    const Result r =
        cli({"preview", "--settings", settingsFile, src + "/canon_eos40d.jpg", src + "/shown.png"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out, "canon_eos40d_prev.png\n");
    QCOMPARE(imageSize(src + "/shown.png"), QSize(100, 68));
    QCOMPARE(files(src), (QStringList{"canon_eos40d.jpg", "shown.png", "steps"}));
}

QTEST_GUILESS_MAIN(tst_CliRun)
#include "tst_cli_run.moc"
