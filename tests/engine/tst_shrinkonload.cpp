// Shrink-on-load: a JPEG decoded reduced in the DCT domain and then resized to the size the
// first Scaling step asks must match the full decode resized by that step: the same size, and
// the same picture within 40 dB PSNR.

#include "engine/imagetesthelpers.h"
#include "engine/imageservices/imageexporter.h"
#include "engine/imageservices/imageimporter.h"
#include "engine/imageservices/jpegdecoder.h"
#include "engine/imageservices/pictureops.h"
#include "engine/pipeline/imagepipeline.h"
#include "engine/steps/scalestep.h"
#include "settings/settingsstore.h"
#include "engine/steps/picturescaler.h"
#include "engine/steps/shrinkonload.h"
#include "settings/settingkinds.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace quillon;
using namespace quillon::engine;

namespace {

const QString kCorpus = QStringLiteral(QUILLON_CORPUS);

using imagetest::psnr;

std::shared_ptr<settings::scaleSetting> scaleStep(int mode, bool constrained, int width,
                                                  int height, int label = 0)
{
    auto step = std::make_shared<settings::scaleSetting>();
    step->mode = mode;
    step->constrainProportions = constrained;
    step->width = width;
    step->height = height;
    step->label = label;
    return step;
}

// The step's own resize, as the pipeline makes it.
ScaleResult stepResize(const QImage& picture, const settings::scaleSetting& step)
{
    if (step.mode == 1)
        return step.constrainProportions
                   ? PictureScaler::RatioScaleInPercent(picture, step.width)
                   : PictureScaler::ScaleInPercent(picture, step.width, step.height);
    return step.constrainProportions ? PictureScaler::RatioScaleInPixels(picture, step.width)
                                     : PictureScaler::ScaleInPixels(picture, step.width, step.height);
}

// Writes the picture as the pipeline does for a Format step with JPEG quality 85: the source's
// resolution and metadata copied.
bool exportLike(const ImageImporter& importer, const QImage& picture, const QString& target)
{
    ImageExporter exporter;
    if (!exporter.openExporter(QStringLiteral("JPEG")))
        return false;
    exporter.setSettings(QStringLiteral("quality=85"));
    const int dpi = int(importer.horizontalResolution());
    exporter.setResolution(dpi, dpi);
    if (importer.hasMetadata()) {
        exporter.setExifEnabled(true);
        exporter.setMetaData(importer.metadata());
    }
    exporter.setInputPicture(picture);
    exporter.setOutputFile(target);
    const ExportResult r = exporter.Export();
    if (!r.ok)
        qWarning("%s", qPrintable(r.error));
    return r.ok;
}

// Every tag exiftool reads from a file, less those about the file itself (name, folder,
// dates, size in bytes).
QJsonObject tagsOf(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("exiftool"), {QStringLiteral("-j"), QStringLiteral("-G1"),
                                         QStringLiteral("-n"), path});
    if (!p.waitForFinished(60000))
        return {};
    QJsonObject tags = QJsonDocument::fromJson(p.readAllStandardOutput()).array().at(0).toObject();
    for (const QString& key : tags.keys())
        if (key.startsWith(QLatin1String("System:")) || key.startsWith(QLatin1String("ExifTool:")) ||
            key == QLatin1String("SourceFile"))
            tags.remove(key);
    return tags;
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

class tst_shrinkonload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scaleChoice_data();
    void scaleChoice();
    void shrinkScale_data();
    void shrinkScale();
    void rule_data();
    void rule();
    void matchesFullDecode_data();
    void matchesFullDecode();
    void refuses_data();
    void refuses();
    void shrinkingFilters();
    void pipeline_data();
    void pipeline();

private:
    QTemporaryDir m_dir;
    QString m_large;
    QString m_grey;
};

void tst_shrinkonload::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A camera-sized JPEG with odd sides, grain and an Exif orientation of 6, so the factor
    // choice, the rounding of reduced sides and the turn are all exercised.
    m_large = m_dir.filePath(QStringLiteral("large.jpg"));
    QVERIFY(run(QStringLiteral("/usr/bin/convert"),
                {QStringLiteral("-size"), QStringLiteral("2401x1799"), QStringLiteral("-seed"),
                 QStringLiteral("7"), QStringLiteral("plasma:fractal"), QStringLiteral("-attenuate"),
                 QStringLiteral("0.3"), QStringLiteral("+noise"), QStringLiteral("Gaussian"),
                 QStringLiteral("-sampling-factor"), QStringLiteral("2x2"), QStringLiteral("-quality"),
                 QStringLiteral("90"), m_large}));
    m_grey = m_dir.filePath(QStringLiteral("grey.jpg"));
    QVERIFY(run(QStringLiteral("/usr/bin/convert"),
                {m_large, QStringLiteral("-resize"), QStringLiteral("1500x1500"),
                 QStringLiteral("-colorspace"), QStringLiteral("Gray"), QStringLiteral("-quality"),
                 QStringLiteral("90"), m_grey}));
    QVERIFY(run(QStringLiteral("exiftool"),
                {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                 QStringLiteral("-Orientation#=6"), QStringLiteral("-Make=Quillon"),
                 QStringLiteral("-Model=Test camera"), m_large}));
}

void tst_shrinkonload::scaleChoice_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("decoded");
    QTest::newRow("12 MP into 1600: half") << QSize(4000, 3000) << QSize(1600, 1200) << QSize(2000, 1500);
    QTest::newRow("one side decides") << QSize(4000, 3000) << QSize(2001, 1) << QSize(2500, 1875);
    QTest::newRow("small target: an eighth") << QSize(4000, 3000) << QSize(500, 375) << QSize(500, 375);
    QTest::newRow("below an eighth stays an eighth") << QSize(4000, 3000) << QSize(10, 10) << QSize(500, 375);
    QTest::newRow("odd sides round up") << QSize(4001, 3001) << QSize(2001, 1501) << QSize(2001, 1501);
    QTest::newRow("full size asked") << QSize(4000, 3000) << QSize(4000, 3000) << QSize(4000, 3000);
    QTest::newRow("larger than the file") << QSize(400, 300) << QSize(800, 600) << QSize(400, 300);
    QTest::newRow("no size asked") << QSize(4000, 3000) << QSize() << QSize(4000, 3000);
}

void tst_shrinkonload::scaleChoice()
{
    QFETCH(QSize, stored);
    QFETCH(QSize, minimum);
    QFETCH(QSize, decoded);
    const JpegScale s = jpegScaleAtLeast(stored, minimum);
    QCOMPARE(QSize(jpegScaledSide(stored.width(), s), jpegScaledSide(stored.height(), s)), decoded);
    QVERIFY(s.numerator <= s.denominator);
}

void tst_shrinkonload::shrinkScale_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("denominator");
    QTest::newRow("12 MP into 1600") << QSize(4000, 3000) << QSize(1600, 1200) << 2;
    QTest::newRow("12 MP into 160: still half") << QSize(4000, 3000) << QSize(160, 120) << 2;
    QTest::newRow("half just 1.25 times the target") << QSize(4000, 3000) << QSize(1600, 1199) << 2;
    QTest::newRow("half below 1.25 times the target") << QSize(4000, 3000) << QSize(1601, 1200) << 1;
    QTest::newRow("portrait") << QSize(3000, 4000) << QSize(1200, 1600) << 2;
    QTest::newRow("no target") << QSize(4000, 3000) << QSize() << 1;
    QTest::newRow("small pictures in full") << QSize(1000, 999) << QSize(100, 100) << 1;
    QTest::newRow("a megapixel") << QSize(1000, 1000) << QSize(100, 100) << 2;
}

void tst_shrinkonload::shrinkScale()
{
    QFETCH(QSize, stored);
    QFETCH(QSize, target);
    QFETCH(int, denominator);
    const JpegScale s = jpegShrinkScale(stored, target);
    QCOMPARE(s.denominator / s.numerator, denominator);
    QCOMPARE(s.denominator % s.numerator, 0);
}

void tst_shrinkonload::rule_data()
{
    using Steps = std::vector<settings::SettingPtr>;
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QSize>("fileSize");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<QSize>("target");

    auto format = std::make_shared<settings::formatSetting>();
    auto name = std::make_shared<settings::nameSetting>();
    auto colour = std::make_shared<settings::colorsyncSetting>();
    auto rotate = std::make_shared<settings::flipRotateSetting>();
    rotate->rotate = true;
    auto flipOff = std::make_shared<settings::flipRotateSetting>();
    auto watermark = std::make_shared<settings::watermarkSetting>();
    auto fit1600 = scaleStep(0, true, 1600, 100);
    auto keepScale = scaleStep(0, true, 1600, 100);
    keepScale->resKeepScale = true;
    keepScale->resolution = 300;

    QTest::newRow("fit 1600, landscape")
        << Steps{format, fit1600} << QSize(4000, 3000) << true << 1 << QSize(1600, 1200);
    QTest::newRow("fit 1600, portrait")
        << Steps{format, fit1600} << QSize(3024, 4032) << true << 1 << QSize(1200, 1600);
    QTest::newRow("name and ColorSync before it are passed over")
        << Steps{format, name, colour, flipOff, fit1600} << QSize(4000, 3000) << true << 4
        << QSize(1600, 1200);
    QTest::newRow("percent of the file's own size")
        << Steps{format, scaleStep(1, true, 50, 0)} << QSize(4001, 3001) << true << 1
        << QSize(2000, 1500);
    QTest::newRow("percent, sides apart")
        << Steps{format, scaleStep(1, false, 50, 25)} << QSize(4000, 3000) << true << 1
        << QSize(2000, 750);
    QTest::newRow("pixels, not constrained")
        << Steps{format, scaleStep(0, false, 400, 100)} << QSize(1000, 500) << true << 1
        << QSize(400, 100);
    QTest::newRow("Keep Scale: the resize by the dimensions")
        << Steps{format, keepScale} << QSize(4000, 3000) << true << 1 << QSize(1600, 1200);
    QTest::newRow("a turn first") << Steps{format, rotate, fit1600} << QSize(4000, 3000) << false
                                  << 0 << QSize();
    QTest::newRow("a watermark first") << Steps{format, watermark, fit1600} << QSize(4000, 3000)
                                       << false << 0 << QSize();
    QTest::newRow("enlarging") << Steps{format, fit1600} << QSize(1000, 750) << false << 0 << QSize();
    QTest::newRow("same size") << Steps{format, scaleStep(1, true, 100, 0)} << QSize(400, 300)
                               << false << 0 << QSize();
    QTest::newRow("smaller one way only")
        << Steps{format, scaleStep(0, false, 400, 900)} << QSize(1000, 500) << false << 0 << QSize();
    QTest::newRow("below one pixel")
        << Steps{format, scaleStep(1, true, 0, 0)} << QSize(4000, 3000) << false << 0 << QSize();
    QTest::newRow("another label's step is not this image's")
        << Steps{format, scaleStep(0, true, 1600, 0, 1)} << QSize(4000, 3000) << false << 0
        << QSize();
    QTest::newRow("no Scaling step") << Steps{format, name} << QSize(4000, 3000) << false << 0
                                     << QSize();
}

void tst_shrinkonload::rule()
{
    using Steps = std::vector<settings::SettingPtr>;
    QFETCH(Steps, steps);
    QFETCH(QSize, fileSize);
    QFETCH(bool, applies);
    QFETCH(int, stepIndex);
    QFETCH(QSize, target);
    const ShrinkOnLoad s = shrinkOnLoadFor(steps, 0, fileSize);
    QCOMPARE(s.applies, applies);
    if (applies) {
        QCOMPARE(int(s.stepIndex), stepIndex);
        QCOMPARE(s.target, target);
    }
}

void tst_shrinkonload::matchesFullDecode_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("reduced"); // whether a factor below 1 must have been used
    QTest::newRow("generated, turned, fit 1600: too little left") << QString() << 0 << 1600 << false;
    QTest::newRow("generated, turned, fit 960") << QString() << 0 << 960 << true;
    QTest::newRow("generated, turned, fit 300") << QString() << 0 << 300 << true;
    QTest::newRow("generated, 37 percent") << QString() << 1 << 37 << true;
    const QString photos = kCorpus + QStringLiteral("/photos-exif/");
    QTest::newRow("canon orientation 6, fit 500") << photos + "canon_sx60hs_orient6.jpg" << 0 << 500 << true;
    QTest::newRow("olympus, fit 320") << photos + "olympus_pen_ep3.jpg" << 0 << 320 << true;
    QTest::newRow("iphone, 30 percent") << photos + "apple_iphone4_gps.jpg" << 1 << 30 << true;
    QTest::newRow("nikon, fit 250: small, in full") << photos + "nikon_d1x.jpg" << 0 << 250 << false;
    QTest::newRow("olympus, fit 500") << photos + "olympus_pen_ep3.jpg" << 0 << 500 << true;
    QTest::newRow("olympus, fit 520: too little left for half size")
        << photos + "olympus_pen_ep3.jpg" << 0 << 520 << false;
    for (const char* o : {"Landscape_2", "Landscape_3", "Landscape_5", "Landscape_7", "Portrait_8"})
        QTest::newRow(qPrintable(QStringLiteral("orientation %1, fit 400").arg(o)))
            << photos + "orientation/" + o + ".jpg" << 0 << 400 << true;
    QTest::newRow("progressive") << kCorpus + "/formats/progressive_photo.jpg" << 0 << 120 << true;
    QTest::newRow("greyscale, small: in full") << kCorpus + "/formats/gray.jpg" << 1 << 40 << false;
    QTest::newRow("greyscale") << QStringLiteral("grey") << 0 << 600 << true;
}

void tst_shrinkonload::matchesFullDecode()
{
    QFETCH(QString, path);
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(bool, reduced);
    if (path.isEmpty())
        path = m_large;
    else if (path == QLatin1String("grey"))
        path = m_grey;
    const auto step = scaleStep(mode, true, width, 0);
    const std::vector<settings::SettingPtr> steps{std::make_shared<settings::formatSetting>(), step};

    // The full path: the whole picture, then the step's own resize.
    ImageImporter full;
    QVERIFY2(full.openFile(path), qPrintable(full.errorString()));
    const ScaleResult expected = stepResize(full.picture(), *step);
    QVERIFY2(expected.ok(), qPrintable(expected.error));

    // Shrink-on-load: the importer asks for the size once it knows the file's own.
    ShrinkOnLoad plan;
    ImageImporter importer;
    importer.setSizeRequest([&](const QSize& fileSize) {
        plan = shrinkOnLoadFor(steps, 0, fileSize);
        return plan.applies ? plan.target : QSize();
    });
    QVERIFY2(importer.openFile(path), qPrintable(importer.errorString()));
    QVERIFY(plan.applies);
    QCOMPARE(importer.fileSize(), full.picture().size());
    QCOMPARE(importer.picture().size() != full.picture().size(), reduced);
    QCOMPARE(importer.horizontalResolution(), full.horizontalResolution());
    QCOMPARE(importer.iccProfile(), full.iccProfile());
    QVERIFY(importer.picture().width() >= plan.target.width());
    QVERIFY(importer.picture().height() >= plan.target.height());
    const ScaleResult actual =
        PictureScaler::ScaleInPixels(importer.picture(), plan.target.width(), plan.target.height());
    QVERIFY2(actual.ok(), qPrintable(actual.error));
    QCOMPARE(actual.picture.size(), expected.picture.size());
    const double quality = psnr(actual.picture, expected.picture);
    if (quality < 40.0) {
        const QString out = QStringLiteral(QUILLON_BINARY_DIR "/test-output/shrinkonload");
        QDir().mkpath(out);
        const QString file = out + QLatin1Char('/') + QFileInfo(path).baseName() + ".png";
        actual.picture.save(file);
        qWarning("PSNR %.2f dB; actual output saved as %s", quality, qPrintable(file));
    }
    QVERIFY(quality >= 40.0);

    // Written out, both carry the same tags: sizes, resolution, the copied metadata.
    const QString a = m_dir.filePath(QStringLiteral("full-%1.jpg").arg(QTest::currentDataTag()));
    const QString b = m_dir.filePath(QStringLiteral("shrunk-%1.jpg").arg(QTest::currentDataTag()));
    QFile::remove(a);
    QFile::remove(b);
    QVERIFY(exportLike(full, expected.picture, a));
    QVERIFY(exportLike(importer, actual.picture, b));
    const QJsonObject tagsA = tagsOf(a), tagsB = tagsOf(b);
    QVERIFY(!tagsA.isEmpty());
    for (const QString& key : tagsA.keys())
        QVERIFY2(tagsB.value(key) == tagsA.value(key),
                 qPrintable(key + QStringLiteral(": ") + tagsB.value(key).toVariant().toString() +
                            QStringLiteral(" against ") + tagsA.value(key).toVariant().toString()));
    QCOMPARE(tagsB.keys(), tagsA.keys());
}

void tst_shrinkonload::refuses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("CMYK") << kCorpus + "/formats/cmyk_ycck_small.jpg" << "CMYK";
    QTest::newRow("truncated") << kCorpus + "/odd/real_truncated.jpg" << "";
    QTest::newRow("header only") << kCorpus + "/odd/truncated_header_only.jpg" << "";
    QTest::newRow("PNG named .jpg") << kCorpus + "/odd/png_named.jpg" << "not a JPEG";
    QTest::newRow("empty") << kCorpus + "/odd/zero_byte.jpg" << "not a JPEG";
    QTest::newRow("decompression bomb") << kCorpus + "/odd/bomb_65500x65500.jpg" << "too large";
    QTest::newRow("missing") << m_dir.filePath("none.jpg") << "not a file";
}

void tst_shrinkonload::refuses()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    const DecodedJpeg d = decodeJpegFile(path, QSize(50, 50));
    QVERIFY(!d.ok());
    QVERIFY2(d.error.contains(path), qPrintable(d.error));
    QVERIFY2(d.error.contains(reason), qPrintable(d.error));
}

// The resize that follows a reduced decode: fine detail is averaged, not aliased, and
// transparent pixels lend no colour.
void tst_shrinkonload::shrinkingFilters()
{
    QImage checker(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < checker.height(); ++y)
        for (int x = 0; x < checker.width(); ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage grey = drawScaled(checker, QSize(97, 61));
    QCOMPARE(grey.size(), QSize(97, 61));
    for (int y = 1; y < grey.height() - 1; ++y)
        for (int x = 1; x < grey.width() - 1; ++x)
            QVERIFY2(qAbs(qGray(grey.pixel(x, y)) - 128) <= 8,
                     qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(qGray(grey.pixel(x, y)))));

    QImage stripes(300, 200, QImage::Format_ARGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, x % 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 255, 0));
    const QImage red = drawScaled(stripes, QSize(100, 50)).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < red.height(); ++y)
        for (int x = 1; x < red.width() - 1; ++x) {
            const QRgb p = red.pixel(x, y);
            QVERIFY(qAlpha(p) >= 96 && qAlpha(p) <= 160);
            QVERIFY(qRed(p) >= 250 && qBlue(p) <= 5);
        }
}

// Through the pipeline: the reduced decode and the file's own size reach the Scaling step, so
// the picture, the resolution and Keep Scale come out as from a full decode.
void tst_shrinkonload::pipeline_data()
{
    QTest::addColumn<bool>("keepScale");
    QTest::addColumn<bool>("flipFirst");
    QTest::newRow("fit 960") << false << false;
    QTest::newRow("fit 960, Keep Scale 150 dpi") << true << false;
    QTest::newRow("a flip first: full decode") << false << true;
}

void tst_shrinkonload::pipeline()
{
    QFETCH(bool, keepScale);
    QFETCH(bool, flipFirst);
    settings::SettingsStore store;
    auto format = settings::createSetting(settings::kFormatKind);
    QVERIFY(store.append(format));
    if (flipFirst) {
        auto flip = settings::createSetting(settings::kFlipRotateKind);
        static_cast<settings::flipRotateSetting&>(*flip).flip = true;
        QVERIFY(store.append(flip));
    }
    auto scaleItem = settings::createSetting(settings::kScaleKind);
    auto& scale = static_cast<settings::scaleSetting&>(*scaleItem);
    scale.width = 960;
    scale.resKeepScale = keepScale;
    scale.resolution = 150;
    QVERIFY(store.append(scaleItem));

    OpenedImage image = openFile(store, m_large, 0);
    QVERIFY2(image.ok(), qPrintable(image.error));
    QCOMPARE(image.shrinkApplies, !flipFirst);
    const bool reduced = image.picture.size() != QSize(1799, 2401);
    QCOMPARE(reduced, !flipFirst);
    const double resolution = image.resolution;
    const ProcessedImage processed = applySteps(store, image);
    QVERIFY2(processed.ok(), qPrintable(processed.error));

    // The same steps on a full decode, by hand.
    ImageImporter full;
    QVERIFY(full.openFile(m_large));
    QCOMPARE(full.horizontalResolution(), resolution);
    QImage expected = full.picture();
    if (flipFirst)
        expected = mic_FlipV(expected);
    double expectedResolution = 0;
    QString error;
    QVERIFY2(function_Scale(expected, int(resolution), scale, &expectedResolution, &error),
             qPrintable(error));
    QCOMPARE(processed.picture.size(), expected.size());
    QCOMPARE(processed.resolution, expectedResolution);
    QVERIFY(psnr(processed.picture, expected) >= 40.0);
}

QTEST_GUILESS_MAIN(tst_shrinkonload)
#include "tst_shrinkonload.moc"
