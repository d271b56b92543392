// The preview window's size and position for a picture on a given screen, and where the
// picture is drawn in its drawing area.

#include "ui/windows/previewwindow.h"

#include <QLayout>
#include <QTest>

using quillon::ui::previewWindow;

class tst_PreviewWindow : public QObject
{
    Q_OBJECT

private slots:
    void reAdjustSize_data();
    void reAdjustSize();
    void drawsCentred();
};

void tst_PreviewWindow::reAdjustSize_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QPoint>("origin");

    const QRect sxga(0, 0, 1280, 1024);
    QTest::newRow("100 x 50: height raised to the minimum")
        << QSize(100, 50) << sxga << QRect(570, 448, 140, 128) << QSize(100, 94) << QPoint(0, 22);
    QTest::newRow("3000 x 2000 on 1280 x 1024: 200 smaller than the screen")
        << QSize(3000, 2000) << sxga << QRect(100, 100, 1080, 824) << QSize(1040, 790)
        << QPoint(-980, -605);
    QTest::newRow("exactly W - 200 wide gets W - 200, not W - 160")
        << QSize(1080, 100) << sxga << QRect(100, 445, 1080, 134) << QSize(1040, 100)
        << QPoint(-20, 0);
    QTest::newRow("tiny picture: both sides at the minimum")
        << QSize(1, 1) << sxga << QRect(576, 448, 128, 128) << QSize(88, 94) << QPoint(43, 46);
    QTest::newRow("screen with an offset and odd sizes")
        << QSize(301, 201) << QRect(50, 30, 1001, 801) << QRect(50 + 330, 30 + 283, 341, 235)
        << QSize(301, 201) << QPoint(0, 0);
}

void tst_PreviewWindow::reAdjustSize()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, screen);
    QFETCH(QRect, window);
    QFETCH(QSize, area);
    QFETCH(QPoint, origin);
    previewWindow preview;
    preview.setWindowTitle(QStringLiteral("Preview: photo.jpg"));
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::red);
    preview.setPicture(image);
    preview.reAdjustSize(screen);
    preview.layout()->activate();
    QCOMPARE(QRect(preview.pos(), preview.size()), window);
    QCOMPARE(preview.canvas()->size(), area);
    QCOMPARE(preview.pictureOrigin(), origin);
}

void tst_PreviewWindow::drawsCentred()
{
    // A picture larger than the area shows its centre: a green dot in the middle of a red
    // picture lands in the middle of the area.
    previewWindow preview;
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixel(300, 200, qRgb(0, 255, 0));
    preview.setPicture(image);
    preview.resize(240, 134); // area 200 x 100
    preview.layout()->activate();
    QCOMPARE(preview.canvas()->size(), QSize(200, 100));
    const QImage shown = preview.canvas()->grab().toImage();
    QCOMPARE(shown.pixel(100, 50), qRgb(0, 255, 0));
    QCOMPARE(shown.pixel(0, 0), qRgb(255, 0, 0));
}

QTEST_MAIN(tst_PreviewWindow)
#include "tst_previewwindow.moc"
