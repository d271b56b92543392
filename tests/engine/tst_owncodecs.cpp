// Quillon's own codecs (Photoshop writer, PICT and MacPaint reader and writer) checked against
// ImageMagick as an independent decoder, over pictures written here and the legacy corpus.

#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"
#include "engine/codecs/psd/psdcodec.h"
#include "engine/imagecompare.h"
#include "engine/imagetesthelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillon::engine::codecs;
using namespace quillon::tests;

namespace {

const QString kConvert = QStringLiteral("/usr/bin/convert");
const QString kIdentify = QStringLiteral("/usr/bin/identify");
const QString kLegacy = QStringLiteral(QUILLON_CORPUS "/legacy");
const QString kProfile = QStringLiteral("/usr/share/color/icc/colord/AdobeRGB1998.icc");

// An odd-sized picture with gradients, flat areas (for the run-length coders) and, for RGBA,
// an alpha ramp from transparent to opaque plus a fully transparent block.
QImage testPicture(bool alpha, int width = 67, int height = 43)
{
    QImage p(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r = (x * 255) / (width - 1), g = (y * 255) / (height - 1), b = (x * y * 7) & 0xFF;
            if (x < width / 4)
                r = g = b = 40; // a flat band
            int a = 255;
            if (alpha)
                a = y < height / 3 ? (x * 255) / (width - 1) : (x > width - 10 ? 0 : 255);
            p.setPixel(x, y, qRgba(r, g, b, a));
        }
    }
    return p;
}

QImage overWhite(const QImage& picture)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, picture);
    return flat;
}

QString run(const QString& program, const QStringList& args, bool* ok = nullptr)
{
    QProcess process;
    process.start(program, args);
    const bool finished = process.waitForFinished(60000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The file as ImageMagick decodes it, as 8-bit ARGB (a null picture when it cannot).
QImage imageMagick(const QString& path, const QString& scratch)
{
    const QString png = scratch + QStringLiteral("/im.png");
    QFile::remove(png);
    bool ok = false;
    run(kConvert, {path + QStringLiteral("[0]"), QStringLiteral("-depth"), QStringLiteral("8"),
                   QStringLiteral("PNG32:") + png},
        &ok);
    return ok ? QImage(png).convertToFormat(QImage::Format_ARGB32) : QImage();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray encodePict(const QImage& p, double dpi, bool packBits)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writePict(p, dpi, packBits, buffer, &error))
        qWarning("%s", qPrintable(error));
    return buffer.data();
}

using imagetest::macBinary;

QByteArray encodeMacPaint(const QImage& p)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeMacPaint(p, buffer, &error))
        qWarning("%s", qPrintable(error));
    return buffer.data();
}


} // namespace

class TestOwnCodecs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void psdRoundTrip_data();
    void psdRoundTrip();
    void pictRoundTrip_data();
    void pictRoundTrip();
    void pictFromImageMagick_data();
    void pictFromImageMagick();
    void pictRefusesWhatItCannotWrite();
    void macPaintPage_data();
    void macPaintPage();
    void macPaintRunsCrossRows();
    void macPaintRoundTrip_data();
    void macPaintRoundTrip();
    void corpus_data();
    void corpus();
    void damaged_data();
    void damaged();
    void sniffers_data();
    void sniffers();

private:
    QTemporaryDir m_dir;
};

void TestOwnCodecs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(kConvert), "ImageMagick is needed as the independent decoder");
}

void TestOwnCodecs::psdRoundTrip_data()
{
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<bool>("rle");
    QTest::addColumn<bool>("withProfile");
    QTest::newRow("rgb raw") << false << false << true;
    QTest::newRow("rgb rle") << false << true << false;
    QTest::newRow("rgba raw") << true << false << false;
    QTest::newRow("rgba rle") << true << true << true;
}

void TestOwnCodecs::psdRoundTrip()
{
    QFETCH(bool, alpha);
    QFETCH(bool, rle);
    QFETCH(bool, withProfile);
    const QImage picture = testPicture(alpha);
    const QByteArray icc = withProfile ? readAll(kProfile) : QByteArray();
    if (withProfile)
        QVERIFY2(!icc.isEmpty(), qPrintable(kProfile));
    const QString path = m_dir.filePath(QStringLiteral("out.psd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QString error;
    QVERIFY2(writePsd(picture, 150, icc, rle, file, &error), qPrintable(error));
    file.close();

    // The header says what was asked: channels and compression.
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes.mid(0, 4), QByteArray("8BPS"));
    QCOMPARE(int(uchar(bytes[13])), alpha ? 4 : 3);

    // A flat document's fourth channel is an extra alpha channel: Photoshop lists it as
    // "Alpha 1", ImageMagick and OpenImageIO show the colour channels, which hold the picture
    // matted against white. Raw data ends with the alpha plane itself.
    if (alpha && !rle) {
        const QByteArray plane = bytes.right(qsizetype(picture.width()) * picture.height());
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                QCOMPARE(int(uchar(plane[qsizetype(y) * picture.width() + x])), qAlpha(picture.pixel(x, y)));
    }
    const QImage decoded = imageMagick(path, m_dir.path());
    QVERIFY2(!decoded.isNull(), "ImageMagick cannot decode the written Photoshop file");
    // Matting rounds once more than Qt's compositing: 1 where partly transparent.
    QVERIFY(samePicture(decoded, overWhite(picture), alpha ? 1 : 0,
                        QStringLiteral("psd-%1").arg(QTest::currentDataTag())));
    QCOMPARE(run(kIdentify, {QStringLiteral("-format"), QStringLiteral("%x"), path}).toDouble(), 150.0);
    if (withProfile) {
        const QByteArray embedded = [&] {
            QProcess exiftool;
            exiftool.start(QStringLiteral("exiftool"), {QStringLiteral("-b"), QStringLiteral("-ICC_Profile"), path});
            exiftool.waitForFinished(60000);
            return exiftool.readAllStandardOutput();
        }();
        QCOMPARE(embedded, icc);
    }
}

void TestOwnCodecs::pictRoundTrip_data()
{
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<bool>("packBits");
    QTest::addColumn<int>("width");
    QTest::newRow("rgb packbits") << false << true << 67;
    QTest::newRow("rgb unpacked") << false << false << 67;
    QTest::newRow("rgba packbits") << true << true << 67;
    QTest::newRow("rgba unpacked") << true << false << 67;
    QTest::newRow("narrow rows, byte counts") << false << true << 9;
    QTest::newRow("rows of 248 bytes, byte counts") << false << true << 62;
    QTest::newRow("rows of 252 bytes, word counts") << false << true << 63;
    QTest::newRow("one pixel wide, never packed") << false << true << 1;
}

void TestOwnCodecs::pictRoundTrip()
{
    QFETCH(bool, alpha);
    QFETCH(bool, packBits);
    QFETCH(int, width);
    QImage picture(1, 5, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    if (width > 1)
        picture = testPicture(alpha, width);
    const QImage expected = overWhite(picture); // PICT carries no alpha
    const QByteArray bytes = encodePict(picture, 150, packBits);
    QVERIFY(!bytes.isEmpty());

    QImage mine;
    double dpi = 0;
    QString error;
    QVERIFY2(readPict(bytes, &mine, &dpi, &error), qPrintable(error));
    QVERIFY(samePicture(mine, expected, 0, QStringLiteral("pict-quillon-%1").arg(QTest::currentDataTag())));
    QCOMPARE(dpi, 150.0);

    const QString path = m_dir.filePath(QStringLiteral("out.pct"));
    QVERIFY(writeFile(path, bytes));
    QCOMPARE(run(QStringLiteral("exiftool"), {QStringLiteral("-s3"), QStringLiteral("-XResolution"), path}).toDouble(), 150.0);
    // ImageMagick 6 decodes only PackBits rows of 8 bytes or more (it ignores packType 1), and
    // takes a word count for rows over 200 bytes where QuickDraw's rule is over 250; those
    // files are checked by Quillon's reader alone.
    const int rowBytes = width * 4;
    if (!packBits || rowBytes < 8 || (rowBytes > 200 && rowBytes <= 250))
        return;
    const QImage decoded = imageMagick(path, m_dir.path());
    QVERIFY2(!decoded.isNull(), "ImageMagick cannot decode the written PICT");
    QVERIFY(samePicture(decoded, expected, 0, QStringLiteral("pict-im-%1").arg(QTest::currentDataTag())));
}

void TestOwnCodecs::pictFromImageMagick_data()
{
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<int>("width");
    QTest::newRow("rgb, rows over 250 bytes") << false << 67;
    QTest::newRow("rgb, rows of 220 bytes (word counts from ImageMagick)") << false << 55;
    QTest::newRow("rgb, short rows") << false << 9;
    QTest::newRow("rgba") << true << 67;
}

// PICTs that ImageMagick writes read back as the picture it was given.
void TestOwnCodecs::pictFromImageMagick()
{
    QFETCH(bool, alpha);
    QFETCH(int, width);
    const QImage picture = testPicture(alpha, width);
    const QString png = m_dir.filePath(QStringLiteral("in.png"));
    const QString pict = m_dir.filePath(QStringLiteral("im.pct"));
    QVERIFY(picture.save(png));
    bool ok = false;
    run(kConvert, {png, QStringLiteral("PICT:") + pict}, &ok);
    QVERIFY(ok);
    QImage mine;
    double dpi = 0;
    QString error;
    QVERIFY2(readPict(readAll(pict), &mine, &dpi, &error), qPrintable(error));
    QVERIFY(samePicture(mine, picture, 0, QStringLiteral("pict-from-im-%1").arg(QTest::currentDataTag())));
}

void TestOwnCodecs::pictRefusesWhatItCannotWrite()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(!writePict(QImage(5000, 2, QImage::Format_RGB32), 72, true, buffer, &error));
    QVERIFY(error.contains(QStringLiteral("5000")));
    QVERIFY(buffer.data().isEmpty());
}

void TestOwnCodecs::macPaintPage_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QRect>("blackArea"); // where the page is black; white elsewhere
    QTest::newRow("small picture stays top-left, unscaled") << QSize(10, 7) << QColor(Qt::black) << QRect(0, 0, 10, 7);
    QTest::newRow("wide picture shrinks to the width") << QSize(1152, 400) << QColor(Qt::black) << QRect(0, 0, 576, 200);
    QTest::newRow("tall picture shrinks to the height") << QSize(300, 1440) << QColor(Qt::black) << QRect(0, 0, 150, 720);
    QTest::newRow("exact page size") << QSize(576, 720) << QColor(Qt::black) << QRect(0, 0, 576, 720);
    QTest::newRow("transparent picture is white") << QSize(50, 50) << QColor(0, 0, 0, 0) << QRect();
    QTest::newRow("white picture is white") << QSize(50, 50) << QColor(Qt::white) << QRect();
}

void TestOwnCodecs::macPaintPage()
{
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    QFETCH(QRect, blackArea);
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(colour);
    const QImage page = quillon::engine::codecs::macPaintPage(picture);
    QCOMPARE(page.size(), QSize(kMacPaintWidth, kMacPaintHeight));
    QCOMPARE(page.format(), QImage::Format_Mono);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((page.pixel(x, y) == qRgb(0, 0, 0)) != blackArea.contains(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is wrong").arg(x).arg(y)));

    // Mid grey dithers to about half black pixels.
    QImage grey(40, 40, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    const QImage dithered = quillon::engine::codecs::macPaintPage(grey);
    int black = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            black += dithered.pixel(x, y) == qRgb(0, 0, 0);
    QVERIFY2(black > 600 && black < 1000, qPrintable(QString::number(black)));
}

void TestOwnCodecs::macPaintRunsCrossRows()
{
    // Some writers pack the page as one stream: a run of 128 black bytes fills row 0 and
    // 56 bytes of row 1.
    QByteArray bytes(512, '\0');
    bytes[3] = 2;
    bytes.append("\x81\xFF", 2);
    qsizetype left = 72 * 720 - 128;
    for (; left >= 128; left -= 128)
        bytes.append("\x81\x00", 2);
    bytes.append(char(1 - left));
    bytes.append('\0');
    QImage page;
    QString error;
    QVERIFY2(readMacPaint(bytes, &page, &error), qPrintable(error));
    QCOMPARE(page.pixel(575, 0), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(447, 1), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(448, 1), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(0, 2), qRgb(255, 255, 255));
}

void TestOwnCodecs::macPaintRoundTrip_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::newRow("rgb") << testPicture(false);
    QTest::newRow("rgba") << testPicture(true);
    QTest::newRow("larger than the page") << testPicture(false, 900, 1000);
}

void TestOwnCodecs::macPaintRoundTrip()
{
    QFETCH(QImage, picture);
    const QImage expected = quillon::engine::codecs::macPaintPage(picture);
    const QByteArray bytes = encodeMacPaint(picture);
    QVERIFY(!bytes.isEmpty());
    QImage mine;
    QString error;
    QVERIFY2(readMacPaint(bytes, &mine, &error), qPrintable(error));
    QVERIFY(samePicture(mine, expected, 0, QStringLiteral("mac-quillon-%1").arg(QTest::currentDataTag())));

    QImage wrapped;
    QVERIFY2(readMacPaint(macBinary(bytes), &wrapped, &error), qPrintable(error));
    QCOMPARE(wrapped, mine);
    const QString path = m_dir.filePath(QStringLiteral("out.mac"));
    QVERIFY(writeFile(path, macBinary(bytes)));
    const QImage decoded = imageMagick(QStringLiteral("MAC:") + path, m_dir.path());
    QVERIFY2(!decoded.isNull(), "ImageMagick cannot decode the written MacPaint file");
    QVERIFY(samePicture(decoded, expected, 0, QStringLiteral("mac-im-%1").arg(QTest::currentDataTag())));
}

void TestOwnCodecs::corpus_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");       // what Quillon returns
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("tolerance");    // against ImageMagick; -1: ImageMagick cannot decode it
    QTest::addColumn<QString>("refusal");  // non-empty: Quillon refuses, with this in the message
    QTest::newRow("pict 32-bit DirectBitsRect") << "pict/32bit.pict" << QSize(269, 269) << 96.0 << 0 << "";
    // 5-bit channels: ImageMagick shifts them left (31 -> 248), Quillon replicates the top
    // bits into the low ones (31 -> 255).
    QTest::newRow("pict 16-bit DirectBitsRect") << "pict/16bit.pict" << QSize(269, 269) << 96.0 << 7 << "";
    QTest::newRow("pict 24-bit pixmap") << "pict/flag_b24.pct" << QSize(124, 124) << 72.0 << 0 << "";
    QTest::newRow("pict three-plane PackBits") << "pict/mire32.pict" << QSize(64, 64) << 72.0 << -1 << "";
    QTest::newRow("pict without application header") << "pict/exiftool.pict" << QSize(8, 8) << 72.0 << -1 << "";
    QTest::newRow("pict QuickTime JPEG") << "pict/qt_jpeg.pict" << QSize() << 0.0 << -1 << "QuickTime";
    QTest::newRow("macpaint bare") << "macpaint/marbles.mac" << QSize(576, 720) << 72.0 << 0 << "";
    QTest::newRow("macpaint in MacBinary") << "macpaint/porsches.mac" << QSize(576, 720) << 72.0 << 0 << "";
}

void TestOwnCodecs::corpus()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(double, dpi);
    QFETCH(int, tolerance);
    QFETCH(QString, refusal);
    const QString path = kLegacy + QLatin1Char('/') + file;
    const QByteArray bytes = readAll(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));
    const bool macPaint = file.startsWith(QLatin1String("macpaint"));
    QImage mine;
    double readDpi = 72;
    QString error;
    const bool ok = macPaint ? readMacPaint(bytes, &mine, &error) : readPict(bytes, &mine, &readDpi, &error);
    if (!refusal.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY2(error.contains(refusal), qPrintable(error));
        return;
    }
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(mine.size(), size);
    QCOMPARE(readDpi, dpi);
    if (tolerance < 0)
        return;
    QString oraclePath = path;
    if (macPaint && uchar(bytes[65]) != 'P') { // bare: give ImageMagick the MacBinary form
        oraclePath = m_dir.filePath(QStringLiteral("corpus.mac"));
        QVERIFY(writeFile(oraclePath, macBinary(bytes)));
    }
    QImage decoded = imageMagick((macPaint ? QStringLiteral("MAC:") : QStringLiteral("PICT:")) + oraclePath, m_dir.path());
    QVERIFY2(!decoded.isNull(), "ImageMagick no longer decodes this file");
    // ImageMagick shows a whole pixel map even where it reaches past the picture's source
    // rectangle (one column in the 16- and 32-bit samples); only the picture's area is compared.
    QVERIFY(decoded.width() >= size.width() && decoded.height() >= size.height()
            && decoded.width() - size.width() <= 1 && decoded.height() == size.height());
    decoded = decoded.copy(QRect(QPoint(0, 0), size));
    QVERIFY(samePicture(mine, decoded, tolerance, QStringLiteral("corpus-%1").arg(QTest::currentDataTag())));
}

void TestOwnCodecs::damaged_data()
{
    QTest::addColumn<QString>("kind"); // pict or macpaint
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray written = encodePict(testPicture(false), 72, true);
    const QByteArray pict32 = readAll(kLegacy + QStringLiteral("/pict/32bit.pict"));
    const QByteArray pict16 = readAll(kLegacy + QStringLiteral("/pict/16bit.pict"));
    const QByteArray bare = readAll(kLegacy + QStringLiteral("/macpaint/marbles.mac"));
    const QByteArray wrapped = readAll(kLegacy + QStringLiteral("/macpaint/porsches.mac"));
    QRandomGenerator random(3);
    auto garbage = [&](qsizetype n) {
        QByteArray g(n, '\0');
        for (char& c : g)
            c = char(random.bounded(256));
        return g;
    };
    auto withTail = [](QByteArray head, qsizetype keep, char fill) {
        const qsizetype n = head.size();
        head.truncate(keep);
        return head + QByteArray(n - keep, fill);
    };
    struct Source { const char* name; const char* kind; QByteArray bytes; qsizetype pixelsAt; };
    const Source sources[] = {{"written pict", "pict", written, 512 + 120},
                              {"32-bit pict", "pict", pict32, 512 + 130},
                              {"16-bit pict", "pict", pict16, 512 + 130},
                              {"bare macpaint", "macpaint", bare, 512},
                              {"macbinary macpaint", "macpaint", wrapped, 128 + 512}};
    for (const Source& s : sources) {
        const QString name = QString::fromLatin1(s.name);
        QTest::newRow(qPrintable(name + " empty")) << s.kind << QByteArray();
        QTest::newRow(qPrintable(name + " cut to its header")) << s.kind << s.bytes.left(s.pixelsAt);
        QTest::newRow(qPrintable(name + " cut in half")) << s.kind << s.bytes.left(s.bytes.size() / 2);
        QTest::newRow(qPrintable(name + " last byte cut")) << s.kind << s.bytes.left(s.bytes.size() - 1);
        QTest::newRow(qPrintable(name + " all zero")) << s.kind << QByteArray(s.bytes.size(), '\0');
        QTest::newRow(qPrintable(name + " garbage")) << s.kind << garbage(s.bytes.size());
        // PackBits no-op codes (0x80) produce nothing: the reader must run out, not loop.
        QTest::newRow(qPrintable(name + " no-op pixel data")) << s.kind << withTail(s.bytes, s.pixelsAt, '\x80');
    }
    // Size fields from the header are checked before anything is allocated.
    QByteArray bomb = written;
    bomb[512 + 6] = char(0x7F); // frame bottom 0x7FFF
    bomb[512 + 8] = char(0x7F); // frame right
    bomb[512 + 7] = bomb[512 + 9] = char(0xFF);
    for (int i = 0; i < 8; ++i) // the native rectangle of the header too
        bomb[512 + 28 + i] = (i % 2 == 0 && i >= 4) ? char(0x7F) : (i >= 4 ? char(0xFF) : '\0');
    QTest::newRow("pict frame of 32767 x 32767") << "pict" << bomb;
    QByteArray wrongFork = wrapped;
    wrongFork[83] = char(0x7F); // data fork far longer than the file
    QTest::newRow("macbinary fork longer than the file") << "macpaint" << wrongFork;
}

void TestOwnCodecs::damaged()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QImage picture;
    double dpi = 0;
    QString error;
    const bool ok = kind == QLatin1String("pict") ? readPict(bytes, &picture, &dpi, &error)
                                                  : readMacPaint(bytes, &picture, &error);
    QVERIFY(!ok);
    QVERIFY2(error.startsWith(kind == QLatin1String("pict") ? QStringLiteral("PICT: ")
                                                           : QStringLiteral("MacPaint: ")),
             qPrintable(error));
    QVERIFY(picture.isNull());
}

void TestOwnCodecs::sniffers_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("pict");
    QTest::addColumn<bool>("macPaint");
    auto head = [](const QString& path) { return readAll(path).left(1024); };
    const QString corpus = QStringLiteral(QUILLON_CORPUS);
    QTest::newRow("written pict") << encodePict(testPicture(false), 72, true).left(1024) << true << false;
    QTest::newRow("written macpaint") << encodeMacPaint(testPicture(false)).left(1024) << false << true;
    const char* picts[] = {"16bit.pict", "32bit.pict", "exiftool.pict", "flag_b24.pct", "mire32.pict", "qt_jpeg.pict"};
    for (const char* f : picts)
        QTest::newRow(f) << head(kLegacy + QStringLiteral("/pict/") + QLatin1String(f)) << true << false;
    QTest::newRow("marbles.mac") << head(kLegacy + QStringLiteral("/macpaint/marbles.mac")) << false << true;
    QTest::newRow("porsches.mac") << head(kLegacy + QStringLiteral("/macpaint/porsches.mac")) << false << true;
    const char* others[] = {"formats/gray.jpg", "formats/palette.gif", "formats/gray_photo.png",
                            "formats/tiff16_rgb.tiff", "legacy/psd/indexed.psd", "legacy/bmp/rgb24.bmp",
                            "legacy/tga/rgba.tga", "legacy/sgi/rle.rgb", "icc/ecirgbv2.jp2"};
    for (const char* f : others)
        QTest::newRow(f) << head(corpus + QLatin1Char('/') + QLatin1String(f)) << false << false;
    QTest::newRow("zeros") << QByteArray(1024, '\0') << false << false;
}

void TestOwnCodecs::sniffers()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, pict);
    QFETCH(bool, macPaint);
    QVERIFY(!head.isEmpty());
    QCOMPARE(looksLikePict(head), pict);
    QCOMPARE(looksLikeMacPaint(head), macPaint);
}

QTEST_GUILESS_MAIN(TestOwnCodecs)
#include "tst_owncodecs.moc"
