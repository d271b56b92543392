// The picture steps as the pipeline applies them: scaling and the output resolution, flip and
// rotate and their order against scaling, watermark placement, the colour profile choice and
// the raw slider multipliers.

#include "engine/pipeline/imagepipeline.h"
#include "engine/steps/scalestep.h"
#include "engine/steps/watermarkstep.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;

namespace {

QImage picture(int width, int height, QColor colour = Qt::white)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

settings::scaleSetting scaleStep(int mode, bool constrain, int width, int height,
                                 bool setResolution = false, int resolution = 300,
                                 bool keepScale = false)
{
    settings::scaleSetting step;
    step.type = settings::kScaleKind;
    step.mode = mode;
    step.constrainProportions = constrain;
    step.width = width;
    step.height = height;
    step.setResolution = setResolution;
    step.resolution = resolution;
    step.resKeepScale = keepScale;
    return step;
}

std::shared_ptr<settings::flipRotateSetting> rotateStep(int rotateMode, bool flip = false,
                                                        int flipMode = 0)
{
    auto step = std::make_shared<settings::flipRotateSetting>();
    step->type = settings::kFlipRotateKind;
    step->rotate = true;
    step->rotateMode = rotateMode;
    step->flip = flip;
    step->flipMode = flipMode;
    return step;
}

} // namespace

Q_DECLARE_METATYPE(quillon::settings::scaleSetting)

class tst_PictureSteps : public QObject
{
    Q_OBJECT

private slots:
    void scale_data();
    void scale();
    void scaleFails_data();
    void scaleFails();
    void stepOrder();
    void flipThenRotate();
    void watermarkPosition_data();
    void watermarkPosition();
    void watermarkDrawing();
    void colorSync();
    void rawMultiplier_data();
    void rawMultiplier();
};

void tst_PictureSteps::scale_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<int>("sourceResolution");
    QTest::addColumn<settings::scaleSetting>("step");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<double>("resolution");

    QTest::newRow("pixels, landscape")
        << QSize(400, 300) << 72 << scaleStep(0, true, 200, 0) << QSize(200, 150) << 72.0;
    QTest::newRow("pixels, portrait: the longer side")
        << QSize(300, 400) << 72 << scaleStep(0, true, 200, 0) << QSize(150, 200) << 72.0;
    QTest::newRow("percent, constrained")
        << QSize(333, 333) << 72 << scaleStep(1, true, 50, 0) << QSize(166, 166) << 72.0;
    QTest::newRow("57 px at 100 % is 56")
        << QSize(57, 10) << 72 << scaleStep(1, false, 100, 100) << QSize(56, 10) << 72.0;
    QTest::newRow("pixels, not constrained")
        << QSize(1000, 500) << 72 << scaleStep(0, false, 400, 100) << QSize(400, 100) << 72.0;
    QTest::newRow("keep scale 300 over 72, resolution set")
        << QSize(400, 300) << 72 << scaleStep(0, true, 400, 0, true, 300, true) << QSize(1664, 1248)
        << 300.0;
    QTest::newRow("keep scale 300 over 72, resolution not set")
        << QSize(400, 300) << 72 << scaleStep(0, true, 400, 0, false, 300, true)
        << QSize(1664, 1248) << 72.0;
}

void tst_PictureSteps::scale()
{
    QFETCH(QSize, source);
    QFETCH(int, sourceResolution);
    QFETCH(settings::scaleSetting, step);
    QFETCH(QSize, expected);
    QFETCH(double, resolution);
    QImage image = picture(source.width(), source.height());
    double chosen = -1;
    QString error;
    QVERIFY2(engine::function_Scale(image, sourceResolution, step, &chosen, &error),
             qPrintable(error));
    QCOMPARE(image.size(), expected);
    QCOMPARE(chosen, resolution);
}

void tst_PictureSteps::scaleFails_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<int>("sourceResolution");
    QTest::addColumn<settings::scaleSetting>("step");
    QTest::addColumn<QString>("reason");
    QTest::newRow("keep scale at 0 dpi")
        << QSize(40, 30) << 0 << scaleStep(0, true, 40, 0, true, 300, true) << "0 dpi";
    QTest::newRow("below one pixel")
        << QSize(400, 3) << 72 << scaleStep(0, true, 100, 0) << "less than one pixel";
    QTest::newRow("zero percent") << QSize(40, 30) << 72 << scaleStep(1, true, 0, 0)
                                  << "less than one pixel";
    QTest::newRow("beyond the limits")
        << QSize(400, 300) << 1 << scaleStep(0, true, 400, 0, false, 32000, true) << "";
}

void tst_PictureSteps::scaleFails()
{
    QFETCH(QSize, source);
    QFETCH(int, sourceResolution);
    QFETCH(settings::scaleSetting, step);
    QFETCH(QString, reason);
    QImage image = picture(source.width(), source.height());
    QString error;
    double chosen = -1;
    QVERIFY(!engine::function_Scale(image, sourceResolution, step, &chosen, &error));
    QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
    QCOMPARE(image.size(), source);
    QCOMPARE(chosen, -1.0);
}

// Flip & Rotate and Scaling act in the order of the step list.
void tst_PictureSteps::stepOrder()
{
    auto scale = std::make_shared<settings::scaleSetting>(scaleStep(0, false, 100, 50));
    for (bool rotateFirst : {true, false}) {
        settings::SettingsStore steps;
        if (rotateFirst) {
            steps.append(rotateStep(0));
            steps.append(scale);
        } else {
            steps.append(scale);
            steps.append(rotateStep(0));
        }
        engine::OpenedImage image;
        image.picture = picture(400, 200);
        const engine::ProcessedImage done = engine::applySteps(steps, image);
        QVERIFY2(done.ok(), qPrintable(done.error));
        QCOMPARE(done.picture.size(), rotateFirst ? QSize(100, 50) : QSize(50, 100));
        QVERIFY(done.resolutionSet);
    }
}

void tst_PictureSteps::flipThenRotate()
{
    // A 2 x 1 picture, red on the left: flipped horizontally (red right), then turned 90°
    // clockwise, red ends at the bottom. Rotating first would put it at the top.
    QImage image = picture(2, 1);
    image.setPixelColor(0, 0, Qt::red);
    settings::SettingsStore steps;
    steps.append(rotateStep(0, true, 1));
    engine::OpenedImage opened;
    opened.picture = image;
    const engine::ProcessedImage done = engine::applySteps(steps, opened);
    QCOMPARE(done.picture.size(), QSize(1, 2));
    QCOMPARE(done.picture.pixelColor(0, 1), QColor(Qt::red));

    // Unknown modes: flip off does nothing, rotate mode 7 turns by 180°.
    auto odd = rotateStep(7, false, 1);
    settings::SettingsStore oddSteps;
    oddSteps.append(odd);
    opened.picture = image;
    const engine::ProcessedImage turned = engine::applySteps(oddSteps, opened);
    QCOMPARE(turned.picture.pixelColor(1, 0), QColor(Qt::red));
}

void tst_PictureSteps::watermarkPosition_data()
{
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QSize>("mark");
    QTest::addColumn<int>("placement");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("top left") << QSize(200, 100) << QSize(30, 30) << 0 << QPoint(0, 0);
    QTest::newRow("top right") << QSize(200, 100) << QSize(30, 30) << 1 << QPoint(170, 0);
    QTest::newRow("centre, truncated") << QSize(101, 51) << QSize(20, 10) << 2 << QPoint(40, 20);
    QTest::newRow("centre, negative truncated toward zero")
        << QSize(50, 50) << QSize(101, 10) << 2 << QPoint(-25, 20);
    QTest::newRow("bottom left") << QSize(200, 100) << QSize(30, 30) << 3 << QPoint(0, 70);
    QTest::newRow("bottom right") << QSize(200, 100) << QSize(30, 30) << 4 << QPoint(170, 70);
}

void tst_PictureSteps::watermarkPosition()
{
    QFETCH(QSize, canvas);
    QFETCH(QSize, mark);
    QFETCH(int, placement);
    QPoint position;
    QVERIFY(engine::watermarkPosition(canvas, mark, placement, &position));
    QTEST(position, "expected");
    QVERIFY(!engine::watermarkPosition(canvas, mark, 5, &position));
}

void tst_PictureSteps::watermarkDrawing()
{
    QTemporaryDir dir;
    QImage mark(30, 30, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    QPainter(&mark).fillRect(0, 0, 15, 30, Qt::red); // left half opaque red
    QVERIFY(mark.save(dir.filePath("mark.png")));
    QVERIFY(mark.save(dir.filePath("mark.jpg")));

    settings::watermarkSetting step;
    step.wmFile = dir.filePath("mark.png");
    step.wmPlacement = 4;
    QImage canvas = picture(200, 100);
    engine::function_watermark(canvas, step);
    QCOMPARE(canvas.size(), QSize(200, 100));
    QCOMPARE(canvas.pixelColor(170, 70), QColor(Qt::red));
    QCOMPARE(canvas.pixelColor(184, 99), QColor(Qt::red));
    QCOMPARE(canvas.pixelColor(185, 99), QColor(Qt::white)); // transparent half
    QCOMPARE(canvas.pixelColor(169, 70), QColor(Qt::white));

    for (const char* name : {"mark.jpg", "deleted.png"}) {
        step.wmFile = dir.filePath(name);
        QImage untouched = picture(200, 100);
        QString warning;
        engine::function_watermark(untouched, step, &warning);
        QCOMPARE(untouched, picture(200, 100));
        QVERIFY2(warning.contains(name), qPrintable(warning));
    }
}

void tst_PictureSteps::colorSync()
{
    const QByteArray embedded("an embedded profile");
    for (int mode : {0, 1}) {
        settings::SettingsStore steps;
        auto step = std::make_shared<settings::colorsyncSetting>();
        step->type = settings::kColorSyncKind;
        step->colorSyncProfileMode = mode;
        steps.append(step);
        engine::OpenedImage image;
        image.picture = picture(4, 4);
        image.profile = embedded;
        const engine::ProcessedImage done = engine::applySteps(steps, image);
        // "Use Original Profile" hands the embedded profile to the exporter; "Other:" leaves
        // it empty and acts after the export.
        QCOMPARE(done.exportProfile, mode == 0 ? embedded : QByteArray());
        QCOMPARE(done.colorSyncStep, step);
    }
    // Another label's step does not apply.
    settings::SettingsStore steps;
    auto red = std::make_shared<settings::colorsyncSetting>();
    red->type = settings::kColorSyncKind;
    red->label = 1;
    steps.append(red);
    engine::OpenedImage image;
    image.picture = picture(4, 4);
    image.profile = embedded;
    const engine::ProcessedImage done = engine::applySteps(steps, image);
    QVERIFY(done.exportProfile.isEmpty());
    QVERIFY(!done.colorSyncStep);
}

void tst_PictureSteps::rawMultiplier_data()
{
    QTest::addColumn<int>("slider");
    QTest::addColumn<double>("multiplier");
    QTest::newRow("0") << 0 << -1.0;
    QTest::newRow("68") << 68 << 0.0;
    QTest::newRow("136") << 136 << 1.0;
    QTest::newRow("137 capped") << 137 << 1.0;
}

void tst_PictureSteps::rawMultiplier()
{
    QFETCH(int, slider);
    QTEST(engine::rawMultiplier(slider), "multiplier");
}

QTEST_GUILESS_MAIN(tst_PictureSteps)
#include "tst_picturesteps.moc"
