// The PICT reader over small pictures built opcode by opcode: version 1 BitMaps, indexed pixel
// maps with colour tables, 16-bit direct pixels, skipped opcodes, a picture drawn at an offset.

#include "engine/codecs/pict/pictcodec.h"
#include "engine/imagecompare.h"

#include <QImage>
#include <QtTest>

using namespace quillon::engine::codecs;
using namespace quillon::tests;

namespace {

// Builds small PICTs opcode by opcode for the reader paths the corpus does not cover.
struct PictBuilder
{
    int version = 2;
    QByteArray b;
    void u8(int v) { b.append(char(v & 0xFF)); }
    void u16(int v) { u8(v >> 8); u8(v); }
    void u32(quint32 v) { u16(int(v >> 16)); u16(int(v & 0xFFFF)); }
    void rect(int top, int left, int bottom, int right) { u16(top); u16(left); u16(bottom); u16(right); }
    void op(int code) { version == 1 ? u8(code) : u16(code); }
    void begin(int height, int width)
    {
        u16(0);
        rect(0, 0, height, width);
        if (version == 1) {
            u16(0x1101);
        } else {
            u16(0x0011);
            u16(0x02FF);
            u16(0x0C00);
            u16(0xFFFE);
            u16(0);
            u32(72u << 16);
            u32(72u << 16);
            rect(0, 0, height, width);
            u32(0);
        }
    }
    void pixMap(int rowBytes, int height, int width, int packType, int pixelSize, int cmpCount)
    {
        u16(rowBytes | 0x8000);
        rect(0, 0, height, width);
        u16(0);
        u16(packType);
        u32(0);
        u32(72u << 16);
        u32(72u << 16);
        u16(pixelSize > 8 ? 16 : 0);
        u16(pixelSize);
        u16(cmpCount);
        u16(pixelSize > 8 ? (pixelSize == 16 ? 5 : 8) : pixelSize);
        u32(0);
        u32(0);
        u32(0);
    }
    // Rows as PackBits literals with their byte counts (words when rowBytes > 250).
    void packedRows(const QList<QByteArray>& rows, int rowBytes)
    {
        for (const QByteArray& row : rows) {
            const int count = int(row.size()) + 1;
            rowBytes > 250 ? u16(count) : u8(count);
            u8(int(row.size()) - 1);
            b.append(row);
        }
    }
    QByteArray end()
    {
        if (version == 2 && (b.size() & 1))
            u8(0);
        op(0x00FF);
        return b;
    }
};

const QRgb kPalette[4] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
int paletteIndex(int x, int y) { return (x + 2 * y) % 4; }

} // namespace

class TestPictReader : public QObject
{
    Q_OBJECT

private slots:
    void pictOpcodes_data();
    void pictOpcodes();
};

void TestPictReader::pictOpcodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("expected");

    { // Version 1, a one-bit BitMap with unpacked rows, after a comment and a rectangle.
        PictBuilder p;
        p.version = 1;
        p.begin(3, 16);
        p.op(0xA0);
        p.u16(100);
        p.op(0x30);
        p.rect(0, 0, 2, 2);
        p.op(0x90);
        p.u16(2);
        p.rect(0, 0, 3, 16);
        p.rect(0, 0, 3, 16);
        p.rect(0, 0, 3, 16);
        p.u16(0);
        const uchar rows[3][2] = {{0xAA, 0x55}, {0xFF, 0x00}, {0x0F, 0xF0}};
        QImage e(16, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y) {
            p.u8(rows[y][0]);
            p.u8(rows[y][1]);
            for (int x = 0; x < 16; ++x)
                e.setPixel(x, y, (rows[y][x / 8] >> (7 - x % 8)) & 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
        QTest::newRow("version 1 BitsRect") << p.end() << e;
    }
    { // Version 1, PackBitsRect of a 64 pixel wide BitMap.
        PictBuilder p;
        p.version = 1;
        p.begin(2, 64);
        p.op(0x98);
        p.u16(8);
        p.rect(0, 0, 2, 64);
        p.rect(0, 0, 2, 64);
        p.rect(0, 0, 2, 64);
        p.u16(0);
        p.packedRows({QByteArray("\xF0\x0F\xFF\x00\x81\x18\x42\x24", 8), QByteArray(8, '\x01')}, 8);
        QImage e(64, 2, QImage::Format_RGB32);
        const QByteArray rows[2] = {QByteArray("\xF0\x0F\xFF\x00\x81\x18\x42\x24", 8), QByteArray(8, '\x01')};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 64; ++x)
                e.setPixel(x, y, (uchar(rows[y][x / 8]) >> (7 - x % 8)) & 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        QTest::newRow("version 1 PackBitsRect") << p.end() << e;
    }
    // Version 2 indexed pixel maps: 8 bits packed and 4 bits unpacked, drawn at an offset on
    // a larger frame (white around), after a clip region, a long comment and a colour.
    for (int bits : {8, 4}) {
        const int width = bits == 8 ? 12 : 5, height = 3, rowBytes = (width * bits + 7) / 8;
        PictBuilder p;
        p.begin(height + 2, width + 3);
        p.op(0x001E);
        p.op(0x0001);
        p.u16(10);
        p.rect(0, 0, height + 2, width + 3);
        p.op(0x00A1);
        p.u16(100);
        p.u16(3);
        p.b.append("abc", 3);
        p.u8(0);
        p.op(0x001A);
        p.u16(0xFFFF); p.u16(0); p.u16(0);
        p.op(bits == 8 ? 0x98 : 0x90);
        p.pixMap(rowBytes, height, width, 0, bits, 1);
        p.u32(0);      // ctSeed
        p.u16(0);      // ctFlags
        p.u16(3);      // four entries
        for (int i = 0; i < 4; ++i) {
            p.u16(i);
            p.u16(qRed(kPalette[i]) * 257);
            p.u16(qGreen(kPalette[i]) * 257);
            p.u16(qBlue(kPalette[i]) * 257);
        }
        p.rect(0, 0, height, width);
        p.rect(1, 2, height + 1, width + 2);
        p.u16(0);
        QList<QByteArray> rows;
        for (int y = 0; y < height; ++y) {
            QByteArray row(rowBytes, '\0');
            for (int x = 0; x < width; ++x) {
                const int bit = x * bits;
                row[bit / 8] = char(uchar(row[bit / 8]) | (paletteIndex(x, y) << (8 - bits - bit % 8)));
            }
            rows.append(row);
        }
        if (bits == 8)
            p.packedRows(rows, rowBytes);
        else
            for (const QByteArray& row : rows)
                p.b.append(row);
        QImage e(width + 3, height + 2, QImage::Format_RGB32);
        e.fill(Qt::white);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                e.setPixel(x + 2, y + 1, kPalette[paletteIndex(x, y)]);
        QTest::newRow(bits == 8 ? "8-bit PackBitsRect with colour table" : "4-bit BitsRect with colour table")
            << p.end() << e;
    }
    { // 16-bit DirectBitsRect, unpacked rows.
        PictBuilder p;
        p.begin(2, 3);
        p.op(0x9A);
        p.u32(0xFF);
        p.pixMap(6, 2, 3, 1, 16, 3);
        p.rect(0, 0, 2, 3);
        p.rect(0, 0, 2, 3);
        p.u16(0);
        const int words[6] = {0x7C00, 0x03E0, 0x001F, 0x0000, 0x7FFF, 0x4210};
        QImage e(3, 2, QImage::Format_RGB32);
        for (int i = 0; i < 6; ++i) {
            p.u16(words[i]);
            const int r = (words[i] >> 10) & 31, g = (words[i] >> 5) & 31, b = words[i] & 31;
            e.setPixel(i % 3, i / 3, qRgb((r * 255 + 15) / 31, (g * 255 + 15) / 31, (b * 255 + 15) / 31));
        }
        QTest::newRow("16-bit DirectBitsRect unpacked") << p.end() << e;
    }
}

void TestPictReader::pictOpcodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, expected);
    QImage mine;
    double dpi = 0;
    QString error;
    QVERIFY2(readPict(bytes, &mine, &dpi, &error), qPrintable(error));
    QVERIFY(samePicture(mine, expected, 0, QStringLiteral("pict-opcodes-%1").arg(QTest::currentDataTag())));
    QCOMPARE(dpi, 72.0);
    QVERIFY(looksLikePict(bytes));
    // And with the 512-byte application header in front.
    QVERIFY2(readPict(QByteArray(512, '\0') + bytes, &mine, &dpi, &error), qPrintable(error));
    QVERIFY(samePicture(mine, expected, 0, QStringLiteral("pict-opcodes-header-%1").arg(QTest::currentDataTag())));
}

QTEST_GUILESS_MAIN(TestPictReader)
#include "tst_pictreader.moc"
