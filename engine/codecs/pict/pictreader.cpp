// The PICT reader: walks the opcodes of a version 1 or 2 picture, draws its bitmap opcodes
// onto a white canvas and skips everything else by its known length.

#include "engine/codecs/pict/pictcodec.h"

#include "engine/codecs/codecio_p.h"
#include "engine/codecs/pict/pictformat_p.h"
#include "engine/imageservices/imagelimits.h"

#include <QImage>

#include <vector>

namespace quillon::engine::codecs {

using namespace pict;

namespace {

// How a bitmap opcode's pixels are laid out.
struct PixMap
{
    bool isPixMap = false; // false: a one-bit BitMap
    int rowBytes = 0;
    Rect bounds;
    int packType = 0;
    int pixelSize = 1;
    int cmpCount = 1;
    double hRes = 0;
    std::vector<QRgb> colours; // indexed pixels
};

class PictReader
{
public:
    explicit PictReader(const QByteArray& data) : m_data(data), m_in(data) {}

    bool read(QImage* picture, double* dpi);
    QString error() const { return m_error; }

private:
    bool fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("PICT: ") + message;
        return false;
    }
    bool truncated() { return fail(QStringLiteral("the file ends in the middle of the picture.")); }

    Rect readRect()
    {
        Rect r;
        r.top = m_in.s16();
        r.left = m_in.s16();
        r.bottom = m_in.s16();
        r.right = m_in.s16();
        return r;
    }
    bool skipSized(qsizetype length) { return m_in.skip(length) || truncated(); }
    bool skipRegion(); // also polygons: a size word that counts itself
    bool skipOpcode(std::uint16_t op);
    bool skipPixPat();
    bool readPixMapFields(PixMap& map); // after rowBytes
    bool readColourTable(PixMap& map);
    bool bitmapOpcode(std::uint16_t op);
    bool decodeRows(std::uint16_t op, const PixMap& map, QImage& tile, int wordCountsAbove);
    bool ensureCanvas();

    const QByteArray& m_data;
    ByteReader m_in;
    qsizetype m_origin = 0;
    int m_version = 2;
    Rect m_frame;
    Rect m_native; // the source rectangle of an extended version 2 header
    double m_headerDpi = 0;
    double m_pixMapDpi = 0;
    QImage m_canvas;
    bool m_alphaUsed = false;
    QString m_error;
};

bool PictReader::skipRegion()
{
    const int size = m_in.u16();
    if (!m_in.ok())
        return truncated();
    if (size < 2)
        return fail(QStringLiteral("a region or polygon has an impossible size of %1 bytes.").arg(size));
    return skipSized(size - 2);
}

bool PictReader::skipPixPat()
{
    const int type = m_in.u16();
    m_in.skip(8); // the one-bit pattern
    if (type == 2)
        return skipSized(6); // dither pattern: an RGB colour
    if (type != 1)
        return m_in.ok() ? fail(QStringLiteral("unknown pixel pattern type %1.").arg(type))
                         : truncated();
    PixMap map;
    const int rowBytes = m_in.u16();
    map.rowBytes = rowBytes & 0x3FFF;
    if (!readPixMapFields(map) || !readColourTable(map))
        return false;
    const int rows = map.bounds.height();
    if (!map.bounds.valid() || rows > kMaxPictureSide)
        return fail(QStringLiteral("a pixel pattern has an impossible size."));
    for (int y = 0; y < rows; ++y) {
        qsizetype length = map.rowBytes;
        if (map.rowBytes >= 8)
            length = map.rowBytes > 250 ? m_in.u16() : m_in.u8();
        if (!m_in.skip(length))
            return truncated();
    }
    return true;
}

bool PictReader::skipOpcode(std::uint16_t op)
{
    if (op == opClip || (op >= 0x70 && op <= 0x77) || (op >= 0x80 && op <= 0x87))
        return skipRegion();
    if (op >= 0x12 && op <= 0x14)
        return skipPixPat();
    static const std::uint8_t fixed[0x30] = {
        0, 0, 8, 2, 1, 2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4,  // 0x00..0x0F
        8, 2, 0, 0, 0, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6,  // 0x10..0x1F
        8, 4, 6, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // 0x20..0x2F
    if (op < 0x30) {
        if (op == opVersion)
            return skipSized(m_version == 1 ? 1 : 2);
        if (op >= 0x24 && op <= 0x27)
            return skipSized(m_in.u16());
        if (op == 0x28) { // LongText: a point, then a Pascal string
            m_in.skip(4);
            return skipSized(m_in.u8());
        }
        if (op == 0x29 || op == 0x2A) {
            m_in.skip(1);
            return skipSized(m_in.u8());
        }
        if (op == 0x2B) {
            m_in.skip(2);
            return skipSized(m_in.u8());
        }
        if (op >= 0x2C && op <= 0x2F)
            return skipSized(m_in.u16());
        return skipSized(fixed[op]);
    }
    if (op <= 0x6F) { // rectangles, rounded rectangles, ovals, arcs; "same" variants carry less
        const int inGroup = op & 0x0F;
        if (op >= 0x60)
            return skipSized(inGroup < 8 ? 12 : 4);
        return skipSized(inGroup < 8 ? 8 : 0);
    }
    if (op <= 0x8F)
        return true; // the "same" polygon and region variants
    if (op == 0xA0)
        return skipSized(2);
    if (op == 0xA1) {
        m_in.skip(2);
        return skipSized(m_in.u16());
    }
    if ((op >= 0x92 && op <= 0x97) || (op >= 0x9C && op <= 0x9F) || (op >= 0xA2 && op <= 0xAF))
        return skipSized(m_in.u16());
    if (op <= 0xCF)
        return true;
    if (op <= 0xFE)
        return skipSized(m_in.u32());
    if (op >= 0x8000 && op <= 0x80FF)
        return true;
    if (op == opCompressedQuickTime || op == opUncompressedQuickTime)
        return fail(QStringLiteral("the picture is QuickTime-compressed, which this reader does not "
                                   "decode."));
    if (op >= 0x8100)
        return skipSized(m_in.u32());
    return skipSized(qsizetype(op >> 8) * 2);
}

bool PictReader::readPixMapFields(PixMap& map)
{
    map.isPixMap = true;
    map.bounds = readRect();
    m_in.u16(); // pmVersion
    map.packType = m_in.u16();
    m_in.u32(); // packSize
    map.hRes = m_in.u32() / 65536.0;
    m_in.u32(); // vRes
    m_in.u16(); // pixelType
    map.pixelSize = m_in.u16();
    map.cmpCount = m_in.u16();
    m_in.u16(); // cmpSize
    m_in.skip(12); // planeBytes, pmTable, pmReserved
    return m_in.ok() || truncated();
}

bool PictReader::readColourTable(PixMap& map)
{
    m_in.u32(); // ctSeed
    const int flags = m_in.u16();
    const int last = m_in.s16();
    if (!m_in.ok())
        return truncated();
    if (last < -1 || last > 255)
        return fail(QStringLiteral("a colour table claims %1 entries.").arg(last + 1));
    map.colours.assign(256, qRgb(0, 0, 0));
    for (int i = 0; i <= last; ++i) {
        const int value = m_in.u16();
        const int r = m_in.u16() >> 8, g = m_in.u16() >> 8, b = m_in.u16() >> 8;
        const int index = (flags & 0x8000) ? i : (value & 0xFF);
        map.colours[size_t(index)] = qRgb(r, g, b);
    }
    return m_in.ok() || truncated();
}

bool PictReader::ensureCanvas()
{
    if (!m_canvas.isNull())
        return true;
    const Rect area = m_native.valid() ? m_native : m_frame;
    if (!pictureSizeAllowed(area.width(), area.height()))
        return fail(QStringLiteral("the picture frame of %1 x %2 pixels is beyond the size "
                                   "Quillon opens.")
                        .arg(area.width()).arg(area.height()));
    m_canvas = QImage(area.width(), area.height(), QImage::Format_ARGB32);
    if (m_canvas.isNull())
        return fail(QStringLiteral("out of memory for a %1 x %2 picture.")
                        .arg(area.width()).arg(area.height()));
    m_canvas.fill(qRgb(255, 255, 255));
    return true;
}

bool PictReader::decodeRows(std::uint16_t op, const PixMap& map, QImage& tile, int wordCountsAbove)
{
    const bool direct = op == opDirectBitsRect || op == opDirectBitsRgn;
    const int width = map.bounds.width(), height = map.bounds.height();
    int packType = map.packType;
    if (direct && packType == 0)
        packType = map.pixelSize == 16 ? 3 : 4;
    const bool packedOp = direct ? packType > 1 : (op == opPackBitsRect || op == opPackBitsRgn);
    const bool packed = packedOp && map.rowBytes >= 8 && !(direct && packType == 2);

    // Bytes one decoded row holds, and the bytes it must hold for the width.
    qsizetype rowLength = map.rowBytes;
    qsizetype needed = (qsizetype(width) * map.pixelSize + 7) / 8;
    if (direct && map.pixelSize == 32) {
        if (packType == 2)
            rowLength = needed = qsizetype(width) * 3;
        else if (packed)
            rowLength = needed = qsizetype(width) * map.cmpCount;
    }
    if (rowLength < needed)
        return fail(QStringLiteral("rows of %1 bytes cannot hold %2 pixels.").arg(rowLength).arg(width));

    std::vector<uchar> row(static_cast<size_t>(rowLength));
    bool anyVisible = false, anyTransparent = false; // alpha above 0, alpha below 255
    for (int y = 0; y < height; ++y) {
        if (!packed) {
            const uchar* p = m_in.take(rowLength);
            if (!p)
                return truncated();
            std::copy(p, p + rowLength, row.begin());
        } else {
            const qsizetype count = map.rowBytes > wordCountsAbove ? m_in.u16() : m_in.u8();
            const uchar* p = m_in.take(count);
            if (!p)
                return truncated();
            const qsizetype used = (direct && packType == 3)
                                       ? unpackBitsWords(p, count, row.data(), rowLength / 2)
                                       : unpackBits(p, count, row.data(), rowLength);
            if (used < 0)
                return fail(QStringLiteral("the packed data of row %1 is damaged.").arg(y + 1));
        }
        QRgb* out = reinterpret_cast<QRgb*>(tile.scanLine(y));
        if (!direct) {
            const int bits = map.pixelSize;
            for (int x = 0; x < width; ++x) {
                const qsizetype bit = qsizetype(x) * bits;
                const int index = (row[size_t(bit >> 3)] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1);
                out[x] = map.isPixMap ? map.colours[size_t(index)]
                                      : (index ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            }
        } else if (map.pixelSize == 16) {
            for (int x = 0; x < width; ++x) {
                const int v = (row[size_t(2 * x)] << 8) | row[size_t(2 * x + 1)];
                const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                out[x] = qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
            }
        } else if (packType == 2) {
            for (int x = 0; x < width; ++x)
                out[x] = qRgb(row[size_t(3 * x)], row[size_t(3 * x + 1)], row[size_t(3 * x + 2)]);
        } else if (packed) { // planes per row: (alpha,) red, green, blue
            const uchar* plane = row.data();
            const bool alpha = map.cmpCount == 4;
            const uchar* red = plane + (alpha ? width : 0);
            for (int x = 0; x < width; ++x) {
                const int a = alpha ? plane[x] : 255;
                anyVisible |= a != 0;
                anyTransparent |= a != 255;
                out[x] = qRgba(red[x], red[x + width], red[x + 2 * width], a);
            }
        } else { // chunky xRGB
            for (int x = 0; x < width; ++x) {
                const uchar* p = row.data() + 4 * x;
                const int a = map.cmpCount == 4 ? p[0] : 255;
                anyVisible |= a != 0;
                anyTransparent |= a != 255;
                out[x] = qRgba(p[1], p[2], p[3], a);
            }
        }
    }
    // QuickDraw ignores the fourth component; many writers leave it zero. Only a channel that
    // is not all zero is taken as alpha.
    if (!anyVisible) {
        for (int y = 0; y < height; ++y) {
            QRgb* out = reinterpret_cast<QRgb*>(tile.scanLine(y));
            for (int x = 0; x < width; ++x)
                out[x] |= 0xFF000000u;
        }
    } else if (anyTransparent) {
        m_alphaUsed = true;
    }
    return true;
}

bool PictReader::bitmapOpcode(std::uint16_t op)
{
    const bool direct = op == opDirectBitsRect || op == opDirectBitsRgn;
    PixMap map;
    if (direct)
        m_in.u32(); // baseAddr
    const int rowBytes = m_in.u16();
    if (direct || (m_version == 2 && (rowBytes & 0x8000))) {
        map.rowBytes = rowBytes & 0x3FFF;
        if (!readPixMapFields(map))
            return false;
        if (!direct && !readColourTable(map))
            return false;
    } else {
        map.rowBytes = rowBytes & 0x7FFF;
        map.bounds = readRect();
    }
    const Rect src = readRect();
    const Rect dst = readRect();
    m_in.u16(); // transfer mode: every mode is drawn as a copy
    if (!m_in.ok())
        return truncated();
    if ((op == opBitsRgn || op == opPackBitsRgn || op == opDirectBitsRgn) && !skipRegion())
        return false;

    if (direct ? !(map.pixelSize == 16 || map.pixelSize == 32)
               : !(map.pixelSize == 1 || map.pixelSize == 2 || map.pixelSize == 4
                   || map.pixelSize == 8))
        return fail(QStringLiteral("%1-bit pixels are not a depth this reader knows.")
                        .arg(map.pixelSize));
    if (direct && map.pixelSize == 32 && !(map.cmpCount == 3 || map.cmpCount == 4))
        return fail(QStringLiteral("%1 colour components are not a layout this reader knows.")
                        .arg(map.cmpCount));
    if (direct && map.packType > 4)
        return fail(QStringLiteral("pack type %1 is not one this reader knows.").arg(map.packType));
    if (!map.bounds.valid() || !pictureSizeAllowed(map.bounds.width(), map.bounds.height()))
        return fail(QStringLiteral("a bitmap of %1 x %2 pixels is impossible or beyond the size "
                                   "Quillon opens.")
                        .arg(map.bounds.width()).arg(map.bounds.height()));
    if (map.pixelSize >= 16)
        m_pixMapDpi = m_pixMapDpi > 0 ? m_pixMapDpi : map.hRes;
    if (!ensureCanvas())
        return false;
    QImage tile(map.bounds.width(), map.bounds.height(), QImage::Format_ARGB32);
    if (tile.isNull())
        return fail(QStringLiteral("out of memory for a bitmap."));
    // QuickDraw counts the bytes of a packed row in a word when rows are over 250 bytes;
    // ImageMagick writes words from 201 bytes on. Such rows fail as byte counts on the first
    // row (its count's high byte is zero), and are read again the other way.
    const ByteReader pixels = m_in;
    if (!decodeRows(op, map, tile, 250)) {
        if (map.rowBytes <= 200 || map.rowBytes > 250)
            return false;
        m_in = pixels;
        m_error.clear();
        if (!decodeRows(op, map, tile, 200))
            return false;
    }

    // Copy the source rectangle onto the destination rectangle (nearest pixel when the two
    // differ in size), cut to the canvas.
    if (!src.valid() || !dst.valid())
        return true;
    const Rect area = m_native.valid() ? m_native : m_frame;
    for (int cy = 0; cy < m_canvas.height(); ++cy) {
        const int py = cy + area.top;
        if (py < dst.top || py >= dst.bottom)
            continue;
        const int sy = src.top + int(qint64(py - dst.top) * src.height() / dst.height()) - map.bounds.top;
        if (sy < 0 || sy >= tile.height())
            continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(tile.constScanLine(sy));
        QRgb* out = reinterpret_cast<QRgb*>(m_canvas.scanLine(cy));
        for (int cx = 0; cx < m_canvas.width(); ++cx) {
            const int px = cx + area.left;
            if (px < dst.left || px >= dst.right)
                continue;
            const int sx = src.left + int(qint64(px - dst.left) * src.width() / dst.width()) - map.bounds.left;
            if (sx >= 0 && sx < tile.width())
                out[cx] = in[sx];
        }
    }
    return true;
}

bool PictReader::read(QImage* picture, double* dpi)
{
    // The picture starts at 0 or after a 512-byte application header; its version opcode
    // follows the size word and the frame.
    auto versionAt = [&](qsizetype at) -> int {
        if (m_data.size() < at + 14)
            return 0;
        const auto* p = reinterpret_cast<const uchar*>(m_data.constData()) + at + 10;
        if (p[0] == 0x00 && p[1] == 0x11 && p[2] == 0x02 && p[3] == 0xFF)
            return 2;
        if (p[0] == 0x11 && p[1] == 0x01)
            return 1;
        return 0;
    };
    m_version = versionAt(kAppHeaderBytes);
    m_origin = kAppHeaderBytes;
    if (m_version == 0) {
        m_version = versionAt(0);
        m_origin = 0;
    }
    if (m_version == 0)
        return fail(QStringLiteral("no version 1 or 2 picture header was found."));

    m_in = ByteReader(m_data, m_origin);
    m_in.u16(); // picture size: only the low 16 bits of the real size, so it is not trusted
    m_frame = readRect();
    if (!m_frame.valid())
        return fail(QStringLiteral("the picture frame is empty."));
    m_in.skip(m_version == 2 ? 4 : 2); // the version opcode

    for (;;) {
        std::uint16_t op;
        if (m_version == 2) {
            m_in.alignEven(m_origin);
            op = m_in.u16();
        } else {
            op = m_in.u8();
        }
        if (!m_in.ok())
            return fail(QStringLiteral("the file ends before the end-of-picture opcode."));
        if (op == opEndOfPicture)
            break;
        if (op == opHeader) {
            const int version = m_in.s16();
            if (version == -2) {
                m_in.u16();
                m_headerDpi = m_in.u32() / 65536.0;
                m_in.u32();
                m_native = readRect();
                m_in.u32();
            } else {
                m_in.skip(22);
            }
            if (!m_in.ok())
                return truncated();
            continue;
        }
        if ((op >= opBitsRect && op <= opBitsRgn) || (op >= opPackBitsRect && op <= opDirectBitsRgn)) {
            if (!bitmapOpcode(op))
                return false;
            continue;
        }
        if (!skipOpcode(op))
            return false;
        if (!m_in.ok())
            return truncated();
    }
    if (m_canvas.isNull())
        return fail(QStringLiteral("the picture holds no bitmap; drawing commands alone are not "
                                   "read."));
    double resolution = m_headerDpi > 0 ? m_headerDpi : m_pixMapDpi;
    if (!(resolution > 0 && resolution < 100000))
        resolution = 72;
    if (dpi)
        *dpi = resolution;
    *picture = m_alphaUsed ? m_canvas : m_canvas.convertToFormat(QImage::Format_RGB32);
    return true;
}

} // namespace

bool readPict(const QByteArray& data, QImage* picture, double* dpi, QString* error)
{
    PictReader reader(data);
    QImage result;
    if (!reader.read(&result, dpi)) {
        if (error)
            *error = reader.error();
        return false;
    }
    if (picture)
        *picture = result;
    return true;
}

} // namespace quillon::engine::codecs
