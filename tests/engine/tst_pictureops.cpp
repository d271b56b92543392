#include "engine/imageservices/pictureops.h"

#include <QColorSpace>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace quillon::engine;

namespace {

// A 3 x 2 picture whose every pixel differs, so any misplaced pixel shows.
QImage numbered(QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(3, 2, format);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgba(10 + 40 * x, 20 + 100 * y, 30 * x + 7 * y, 255));
    return image;
}

using Op = std::function<QImage(const QImage&)>;
using Where = std::function<QPoint(int x, int y, int w, int h)>; // source pixel -> result pixel

} // namespace

class tst_pictureops : public QObject
{
    Q_OBJECT

private slots:
    void exactTransforms_data();
    void exactTransforms();
    void quarterTurnsComposeToIdentity();
    void nullPictureGivesNull();
    void drawScaledGivesExactSize_data();
    void drawScaledGivesExactSize();
    void drawMaskedBlendsAndClips();
    void openAsPng_data();
    void openAsPng();
};

void tst_pictureops::exactTransforms_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Where>("where");
    QTest::newRow("flip vertical") << Op(mic_FlipV) << QSize(3, 2)
                                   << Where([](int x, int y, int, int h) { return QPoint(x, h - 1 - y); });
    QTest::newRow("flip horizontal") << Op(mic_FlipH) << QSize(3, 2)
                                     << Where([](int x, int y, int w, int) { return QPoint(w - 1 - x, y); });
    QTest::newRow("rotate 90 clockwise") << Op(mic_Rotate90) << QSize(2, 3)
                                         << Where([](int x, int y, int, int h) { return QPoint(h - 1 - y, x); });
    QTest::newRow("rotate 90 counter-clockwise") << Op(mic_Rotate270) << QSize(2, 3)
                                                 << Where([](int x, int y, int w, int) { return QPoint(y, w - 1 - x); });
    QTest::newRow("rotate 180") << Op(mic_Rotate180) << QSize(3, 2)
                                << Where([](int x, int y, int w, int h) { return QPoint(w - 1 - x, h - 1 - y); });
}

void tst_pictureops::exactTransforms()
{
    QFETCH(Op, op);
    QFETCH(QSize, size);
    QFETCH(Where, where);
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB32,
                                  QImage::Format_ARGB32_Premultiplied}) {
        const QImage source = numbered(format);
        const QImage result = op(source);
        QCOMPARE(result.size(), size);
        QCOMPARE(result.format(), format);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                QCOMPARE(result.pixel(where(x, y, source.width(), source.height())), source.pixel(x, y));
        QCOMPARE(source, numbered(format)); // the argument is left alone
    }
}

void tst_pictureops::quarterTurnsComposeToIdentity()
{
    QImage photo(QStringLiteral(QUILLON_CORPUS "/alpha/photo_rgba.png"));
    QVERIFY(!photo.isNull());
    photo = photo.copy(0, 0, 301, 199).convertToFormat(QImage::Format_ARGB32);
    const QImage back = mic_Rotate270(mic_Rotate90(photo));
    QCOMPARE(back.size(), photo.size());
    QCOMPARE(back.format(), photo.format());
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            if (back.pixel(x, y) != photo.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    QCOMPARE(back.colorSpace(), photo.colorSpace());
    QCOMPARE(back, photo);
    QCOMPARE(mic_Rotate180(mic_Rotate90(mic_Rotate90(photo))), photo);
    QCOMPARE(mic_FlipV(mic_FlipH(photo)), mic_Rotate180(photo));
}

void tst_pictureops::nullPictureGivesNull()
{
    QVERIFY(mic_FlipV(QImage()).isNull());
    QVERIFY(mic_Rotate90(QImage()).isNull());
    QVERIFY(drawScaled(QImage(), QSize(4, 4)).isNull());
}

void tst_pictureops::drawScaledGivesExactSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("valid");
    QTest::newRow("shrink") << QSize(7, 3) << true;
    QTest::newRow("enlarge unevenly") << QSize(301, 17) << true;
    QTest::newRow("one pixel") << QSize(1, 1) << true;
    QTest::newRow("zero width") << QSize(0, 10) << false;
    QTest::newRow("negative") << QSize(-5, 10) << false;
    QTest::newRow("beyond the limit") << QSize(70000, 10) << false;
}

void tst_pictureops::drawScaledGivesExactSize()
{
    QFETCH(QSize, size);
    QFETCH(bool, valid);
    QImage source(40, 30, QImage::Format_RGB32);
    source.fill(qRgb(200, 100, 50));
    const QImage result = drawScaled(source, size);
    QCOMPARE(!result.isNull(), valid);
    if (!valid)
        return;
    QCOMPARE(result.size(), size);
    QCOMPARE(result.depth(), 32);
    // A flat colour stays that colour everywhere, edges included (no dark border).
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QCOMPARE(result.pixel(x, y), qRgb(200, 100, 50));
}

void tst_pictureops::drawMaskedBlendsAndClips()
{
    QImage target(50, 50, QImage::Format_RGB32);
    target.fill(qRgb(0, 0, 255));
    QImage overlay(101, 10, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    for (int x = 0; x < 101; ++x) {
        overlay.setPixel(x, 0, qRgba(255, 0, 0, 255)); // opaque row
        overlay.setPixel(x, 1, qRgba(255, 0, 0, 128)); // half-transparent row
    }
    drawMasked(target, overlay, QPoint(-25, 20));
    QCOMPARE(target.format(), QImage::Format_RGB32);
    QCOMPARE(target.size(), QSize(50, 50));
    QCOMPARE(target.pixel(0, 20), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(49, 20), qRgb(255, 0, 0));
    const QRgb half = target.pixel(10, 21);
    QVERIFY2(qAbs(qRed(half) - 128) <= 2 && qAbs(qBlue(half) - 127) <= 2, "half alpha blends");
    QCOMPARE(target.pixel(10, 22), qRgb(0, 0, 255)); // transparent part leaves the picture
    QCOMPARE(target.pixel(10, 19), qRgb(0, 0, 255));
}

void tst_pictureops::openAsPng_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("PNG with alpha") << QStringLiteral(QUILLON_CORPUS "/alpha/logo_with_alpha.png") << true << true;
    QTest::newRow("palette with tRNS") << QStringLiteral(QUILLON_CORPUS "/alpha/palette_trns.png") << true << true;
    QTest::newRow("PNG without alpha") << QStringLiteral(QUILLON_CORPUS "/alpha/logo_no_alpha.png") << true << false;
    QTest::newRow("PNG named .jpg") << QStringLiteral(QUILLON_CORPUS "/odd/png_named.jpg") << true << false;
    QTest::newRow("JPEG named .png") << QStringLiteral("jpeg.png") << false << false;
    QTest::newRow("missing file") << QStringLiteral("missing.png") << false << false;
    QTest::newRow("empty file") << QStringLiteral("empty.png") << false << false;
    QTest::newRow("size bomb") << QStringLiteral(QUILLON_CORPUS "/odd/bomb.png") << false << false;
}

void tst_pictureops::openAsPng()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(bool, transparent);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(QUILLON_CORPUS "/formats/gray.jpg"), dir.filePath("jpeg.png")));
    QFile empty(dir.filePath("empty.png"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    if (!path.startsWith(QLatin1Char('/')))
        path = dir.filePath(path);
    QImage picture;
    QString error;
    QCOMPARE(quillon::engine::openAsPng(path, &picture, &error), ok);
    if (!ok) {
        QVERIFY(picture.isNull());
        QVERIFY2(error.contains(path), qPrintable(error));
        return;
    }
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.format(), QImage::Format_ARGB32_Premultiplied);
    bool anyTransparent = false;
    for (int y = 0; y < picture.height() && !anyTransparent; ++y)
        for (int x = 0; x < picture.width() && !anyTransparent; ++x)
            anyTransparent = qAlpha(picture.pixel(x, y)) < 255;
    QCOMPARE(anyTransparent, transparent);
}

QTEST_GUILESS_MAIN(tst_pictureops)
#include "tst_pictureops.moc"
