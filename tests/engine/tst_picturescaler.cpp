#include "engine/steps/picturescaler.h"

#include <QTest>

using namespace quillon::engine;

Q_DECLARE_METATYPE(std::function<ScaleResult(const QImage&)>)

namespace {
using Scale = std::function<ScaleResult(const QImage&)>;
}

class tst_picturescaler : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void failures_data();
    void failures();
};

void tst_picturescaler::sizes_data()
{
    using namespace PictureScaler;
    QTest::addColumn<QSize>("source");
    QTest::addColumn<Scale>("scale");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("pixels, landscape longer side") << QSize(400, 300)
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 200); }) << QSize(200, 150);
    QTest::newRow("pixels, portrait longer side") << QSize(300, 400)
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 200); }) << QSize(150, 200);
    QTest::newRow("pixels, square") << QSize(50, 50)
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 128); }) << QSize(128, 128);
    QTest::newRow("pixels, 300x301 to 128") << QSize(300, 301)
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 128); }) << QSize(127, 128);
    QTest::newRow("percent constrained 50 of 333") << QSize(333, 333)
        << Scale([](const QImage& p) { return RatioScaleInPercent(p, 50); }) << QSize(166, 166);
    QTest::newRow("57 at 100 percent loses a pixel") << QSize(57, 29)
        << Scale([](const QImage& p) { return RatioScaleInPercent(p, 100); }) << QSize(56, 28);
    QTest::newRow("58 and 113 at 100 percent") << QSize(58, 113)
        << Scale([](const QImage& p) { return ScaleInPercent(p, 100, 100); }) << QSize(57, 112);
    QTest::newRow("percent, each side its own") << QSize(200, 100)
        << Scale([](const QImage& p) { return ScaleInPercent(p, 50, 300); }) << QSize(100, 300);
    QTest::newRow("keep scale 416 percent") << QSize(400, 300)
        << Scale([](const QImage& p) { return RatioScaleInPercent(p, 416); }) << QSize(1664, 1248);
    QTest::newRow("pixels, not constrained") << QSize(1000, 500)
        << Scale([](const QImage& p) { return ScaleInPixels(p, 400, 100); }) << QSize(400, 100);
}

void tst_picturescaler::sizes()
{
    QFETCH(QSize, source);
    QFETCH(Scale, scale);
    QFETCH(QSize, expected);
    QImage picture(source, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    const ScaleResult result = scale(picture);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.picture.size(), expected);
    QCOMPARE(result.picture.depth(), 32);
    QCOMPARE(result.picture.pixel(expected.width() / 2, expected.height() / 2), qRgb(10, 200, 30));
    QCOMPARE(picture.size(), source);
}

void tst_picturescaler::failures_data()
{
    using namespace PictureScaler;
    QTest::addColumn<QSize>("source");
    QTest::addColumn<Scale>("scale");
    QTest::newRow("zero pixels") << QSize(10, 10)
        << Scale([](const QImage& p) { return ScaleInPixels(p, 0, 10); });
    QTest::newRow("negative percent") << QSize(10, 10)
        << Scale([](const QImage& p) { return RatioScaleInPercent(p, -50); });
    QTest::newRow("percent rounds below one pixel") << QSize(3, 3)
        << Scale([](const QImage& p) { return ScaleInPercent(p, 10, 100); });
    QTest::newRow("thin picture, other side below one") << QSize(1000, 2)
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 100); });
    QTest::newRow("beyond the side limit") << QSize(10, 10)
        << Scale([](const QImage& p) { return ScaleInPixels(p, 100000, 10); });
    QTest::newRow("percent beyond the pixel limit") << QSize(1000, 1000)
        << Scale([](const QImage& p) { return RatioScaleInPercent(p, 2000000000); });
    QTest::newRow("no picture") << QSize()
        << Scale([](const QImage& p) { return RatioScaleInPixels(p, 100); });
}

void tst_picturescaler::failures()
{
    QFETCH(QSize, source);
    QFETCH(Scale, scale);
    QImage picture;
    if (source.isValid()) {
        picture = QImage(source, QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    const ScaleResult result = scale(picture);
    QVERIFY(!result.ok());
    QVERIFY(result.picture.isNull());
    QVERIFY(!result.error.isEmpty());
}

QTEST_GUILESS_MAIN(tst_picturescaler)
#include "tst_picturescaler.moc"
