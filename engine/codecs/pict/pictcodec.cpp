// The PICT sniffer and writer; the reader is in pictreader.cpp.

#include "engine/codecs/pict/pictcodec.h"

#include "engine/codecs/codecio_p.h"
#include "engine/codecs/pict/pictformat_p.h"

#include <QImage>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillon::engine::codecs {

using namespace pict;

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// A picture at offset `at`: a non-empty frame followed by the version opcode.
bool pictAt(const uchar* p, qsizetype size, qsizetype at)
{
    if (size < at + 12)
        return false;
    p += at;
    auto s16 = [p](int i) { return int(std::int16_t((p[i] << 8) | p[i + 1])); };
    if (!(s16(6) > s16(2) && s16(8) > s16(4)))
        return false;
    return (p[10] == 0x00 && size >= at + 14 && p[11] == 0x11 && p[12] == 0x02 && p[13] == 0xFF)
           || (p[10] == 0x11 && p[11] == 0x01);
}

void appendRect(QByteArray& out, int top, int left, int bottom, int right)
{
    appendBe16(out, std::uint16_t(top));
    appendBe16(out, std::uint16_t(left));
    appendBe16(out, std::uint16_t(bottom));
    appendBe16(out, std::uint16_t(right));
}

} // namespace

bool looksLikePict(const QByteArray& head)
{
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    const qsizetype size = std::min<qsizetype>(head.size(), 1024);
    // Formats whose own signature could put PICT-like bytes at offset 10 are never PICTs.
    struct Magic
    {
        const char* bytes;
        int length;
    };
    static const Magic others[] = {{"\xFF\xD8", 2}, {"\x89PNG", 4}, {"GIF8", 4}, {"BM", 2},
                                   {"II*\0", 4},     {"MM\0*", 4},   {"8BPS", 4}, {"RIFF", 4},
                                   {"\0\0\0\x0CjP", 6}};
    for (const Magic& magic : others)
        if (size >= magic.length && std::memcmp(p, magic.bytes, size_t(magic.length)) == 0)
            return false;
    return pictAt(p, size, kAppHeaderBytes) || pictAt(p, size, 0);
}

bool writePict(const QImage& picture, double dpi, bool packBitsRows, QIODevice& out, QString* error)
{
    if (picture.isNull())
        return fail(error, QStringLiteral("PICT: there is no picture to write."));
    const int width = picture.width(), height = picture.height();
    if (qsizetype(width) * 4 > kMaxRowBytes || height > 32767)
        return fail(error, QStringLiteral("PICT: %1 x %2 pixels is larger than a 32-bit PICT holds "
                                          "(%3 pixels a row, 32767 rows).")
                               .arg(width).arg(height).arg(kMaxRowBytes / 4));
    if (!(dpi > 0) || dpi > 32767)
        dpi = 72;
    const std::uint32_t resolution = std::uint32_t(std::lround(dpi * 65536.0));

    // PICT has no alpha that readers agree on: the picture is composited over white and the
    // fourth component written opaque.
    QImage flat(width, height, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }

    const int rowBytes = width * 4;
    // Rows shorter than 8 bytes are never packed.
    const bool packed = packBitsRows && rowBytes >= 8;

    QByteArray pic;
    appendBe16(pic, 0); // picture size, filled in below
    appendRect(pic, 0, 0, height, width);
    appendBe16(pic, opVersion);
    appendBe16(pic, 0x02FF);
    appendBe16(pic, opHeader);
    appendBe16(pic, 0xFFFE); // extended version 2 header: native resolution and rectangle
    appendBe16(pic, 0);
    appendBe32(pic, resolution);
    appendBe32(pic, resolution);
    appendRect(pic, 0, 0, height, width);
    appendBe32(pic, 0);
    appendBe16(pic, opDefHilite);
    appendBe16(pic, opClip);
    appendBe16(pic, 10);
    appendRect(pic, 0, 0, height, width);

    appendBe16(pic, opDirectBitsRect);
    appendBe32(pic, 0x000000FF); // baseAddr
    appendBe16(pic, std::uint16_t(rowBytes | 0x8000));
    appendRect(pic, 0, 0, height, width);
    appendBe16(pic, 0);              // pmVersion
    appendBe16(pic, packed ? 4 : 1); // packType
    appendBe32(pic, 0);              // packSize
    appendBe32(pic, resolution);
    appendBe32(pic, resolution);
    appendBe16(pic, 16); // pixelType RGBDirect
    appendBe16(pic, 32); // pixelSize
    appendBe16(pic, packed ? 4 : 3); // cmpCount
    appendBe16(pic, 8);  // cmpSize
    appendBe32(pic, 0);  // planeBytes
    appendBe32(pic, 0);  // pmTable
    appendBe32(pic, 0);  // pmReserved
    appendRect(pic, 0, 0, height, width); // source
    appendRect(pic, 0, 0, height, width); // destination
    appendBe16(pic, 0);                   // srcCopy

    QByteArray line(rowBytes, '\0');
    auto* l = reinterpret_cast<uchar*>(line.data());
    QByteArray packedRow;
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
        if (!packed) {
            for (int x = 0; x < width; ++x) {
                l[4 * x] = 0xFF;
                l[4 * x + 1] = uchar(qRed(in[x]));
                l[4 * x + 2] = uchar(qGreen(in[x]));
                l[4 * x + 3] = uchar(qBlue(in[x]));
            }
            pic.append(line);
            continue;
        }
        // Component planes per row, alpha first, as QuickTime packs 32-bit rows.
        for (int x = 0; x < width; ++x) {
            l[x] = 0xFF;
            l[width + x] = uchar(qRed(in[x]));
            l[2 * width + x] = uchar(qGreen(in[x]));
            l[3 * width + x] = uchar(qBlue(in[x]));
        }
        packedRow.clear();
        packBits(l, rowBytes, packedRow);
        if (rowBytes > 250)
            appendBe16(pic, std::uint16_t(packedRow.size()));
        else
            pic.append(char(packedRow.size()));
        pic.append(packedRow);
    }
    if (pic.size() & 1)
        pic.append('\0');
    appendBe16(pic, opEndOfPicture);
    pic[0] = char((pic.size() >> 8) & 0xFF);
    pic[1] = char(pic.size() & 0xFF);

    const QByteArray header(kAppHeaderBytes, '\0');
    if (out.write(header) != header.size() || out.write(pic) != pic.size())
        return fail(error, QStringLiteral("PICT: could not write the file: %1").arg(out.errorString()));
    return true;
}

} // namespace quillon::engine::codecs
