#include "engine/imageservices/readerchecks_p.h"

#include "engine/imageservices/imagelimits.h"

#include <QFile>
#include <QLatin1String>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quillon::engine {

namespace {

// Largest SGI file whose run-length table is checked (read into memory whole).
constexpr qint64 kMaxSgiCheckBytes = 256LL << 20;

// A DPX file holds at most 8 image elements.
constexpr int kMaxDpxElements = 8;

// TBHD flags.
constexpr std::uint32_t kIffRgb = 0x1;
constexpr std::uint32_t kIffAlpha = 0x2;
constexpr std::uint32_t kIffDepth = 0x4;
constexpr std::uint32_t kIffBlack = 0x10;

// The mapped file with bounds-checked big-endian reads.
class Bytes
{
public:
    Bytes(const uchar* data, qint64 size) : m_data(data), m_size(size) {}

    qint64 size() const { return m_size; }
    bool has(qint64 pos, qint64 length) const
    {
        return pos >= 0 && length >= 0 && pos <= m_size && length <= m_size - pos;
    }
    bool tagIs(qint64 pos, const char* tag) const { return std::memcmp(m_data + pos, tag, 4) == 0; }
    QString tag(qint64 pos) const
    {
        QString text;
        for (int i = 0; i < 4; ++i) {
            const uchar c = m_data[pos + i];
            text += c >= 0x20 && c < 0x7f ? QChar(c) : QChar(u'?');
        }
        return text;
    }
    std::uint8_t u8(qint64 pos) const { return m_data[pos]; }
    std::uint16_t u16(qint64 pos) const
    {
        return std::uint16_t((unsigned(m_data[pos]) << 8) | m_data[pos + 1]);
    }
    std::uint32_t u32(qint64 pos) const
    {
        return (std::uint32_t(m_data[pos]) << 24) | (std::uint32_t(m_data[pos + 1]) << 16) |
               (std::uint32_t(m_data[pos + 2]) << 8) | std::uint32_t(m_data[pos + 3]);
    }

private:
    const uchar* m_data;
    qint64 m_size;
};

// Chunk bodies are padded to 4 bytes; the reader rounds in 32 bits, so a size near 4 GiB
// wraps to a small one, and so does this.
std::uint32_t paddedSize(std::uint32_t size)
{
    return (size + 3u) & ~3u;
}

struct IffHeader
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t flags = 0;
    std::uint16_t bytes = 0;
    std::uint16_t tiles = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    qint64 tilesStart = 0; // the first chunk inside FOR4 TBMP
};

enum class Walk { NotOpened, Opened, Damaged };

// The reader's header walk: chunks are skipped until FOR4 CIMG, inside it until TBHD, then
// AUTH and DATE are read and other chunks skipped until a FOR4 TBMP whose first tiles hold an
// RGBA tile inside the picture. (After the type of a FOR4 other than the one looked for, the
// reader skips the form's size from there, 4 bytes beyond its end; so does this.)
Walk walkHeader(const Bytes& f, IffHeader* h, QString* damage)
{
    qint64 pos = 0;
    while (true) {
        if (!f.has(pos, 8))
            return Walk::NotOpened;
        const bool form = f.tagIs(pos, "FOR4");
        std::uint32_t skip = paddedSize(f.u32(pos + 4));
        pos += 8;
        if (form) {
            if (!f.has(pos, 4))
                return Walk::NotOpened;
            const bool image = f.tagIs(pos, "CIMG");
            pos += 4;
            while (image) {
                if (!f.has(pos, 8))
                    return Walk::NotOpened;
                const bool tbhd = f.tagIs(pos, "TBHD");
                const std::uint32_t size = f.u32(pos + 4);
                skip = paddedSize(size);
                pos += 8;
                if (!tbhd) {
                    pos += skip;
                    continue;
                }
                if ((size != 24 && size != 32) || !f.has(pos, qint64(size)))
                    return Walk::NotOpened;
                h->width = f.u32(pos);
                h->height = f.u32(pos + 4);
                h->flags = f.u32(pos + 12);
                h->bytes = f.u16(pos + 16);
                h->tiles = f.u16(pos + 18);
                const std::uint32_t compression = f.u32(pos + 20);
                if (size == 32) {
                    h->x = std::int32_t(f.u32(pos + 24));
                    h->y = std::int32_t(f.u32(pos + 28));
                }
                pos += size;
                if (h->tiles == 0 || compression > 1)
                    return Walk::NotOpened;
                // Debian's build keeps the reader's debug assertions, which abort the process
                // on these flag combinations.
                if ((h->flags & (kIffRgb | kIffAlpha)) && (h->flags & kIffBlack)) {
                    *damage = QStringLiteral("the IFF header is damaged (flags 0x%1 name both "
                                             "colour and black)")
                                  .arg(h->flags, 0, 16);
                    return Walk::Damaged;
                }
                if (!(h->flags & (kIffRgb | kIffAlpha)) && (h->flags & kIffDepth) && h->bytes) {
                    *damage = QStringLiteral("the IFF header is damaged (a depth buffer of "
                                             "other than 32-bit values)");
                    return Walk::Damaged;
                }
                while (true) {
                    if (!f.has(pos, 8))
                        return Walk::NotOpened;
                    const qint64 at = pos;
                    const std::uint32_t length = f.u32(pos + 4);
                    const std::uint32_t body = paddedSize(length);
                    pos += 8;
                    if (f.tagIs(at, "AUTH") || f.tagIs(at, "DATE")) {
                        // Read whole into a buffer of the padded size, then taken at the
                        // stated one.
                        if (body < length || !f.has(pos, body)) {
                            *damage = QStringLiteral("the IFF %1 chunk at byte %2 runs past the "
                                                     "end of the file")
                                          .arg(f.tag(at))
                                          .arg(at);
                            return Walk::Damaged;
                        }
                        pos += body;
                    } else if (f.tagIs(at, "FOR4")) {
                        if (!f.has(pos, 4))
                            return Walk::NotOpened;
                        const bool bitmap = f.tagIs(pos, "TBMP");
                        pos += 4;
                        if (!bitmap) {
                            pos += body;
                            continue;
                        }
                        h->tilesStart = pos;
                        for (unsigned t = 0; t < h->tiles; ++t) {
                            if (!f.has(pos, 8))
                                return Walk::NotOpened;
                            const bool rgba = f.tagIs(pos, "RGBA");
                            const std::uint32_t tileSkip = paddedSize(f.u32(pos + 4));
                            pos += 8;
                            if (rgba) {
                                if (!f.has(pos, 8))
                                    return Walk::NotOpened;
                                const std::uint16_t xmin = f.u16(pos), ymin = f.u16(pos + 2);
                                const std::uint16_t xmax = f.u16(pos + 4), ymax = f.u16(pos + 6);
                                if (xmin > xmax || ymin > ymax || xmax >= h->width ||
                                    ymax >= h->height)
                                    return Walk::NotOpened;
                                return Walk::Opened;
                            }
                            pos += tileSkip;
                        }
                    } else {
                        pos += body;
                    }
                }
            }
        }
        pos += skip;
    }
}

QString headerDamage(const QString& what)
{
    return QStringLiteral("the IFF header is damaged (%1)").arg(what);
}

QString tileDamage(unsigned tile, unsigned tiles, const QString& what)
{
    return QStringLiteral("the IFF tile table is damaged (tile %1 of %2: %3)")
        .arg(tile + 1)
        .arg(tiles)
        .arg(what);
}

// One channel of a run-length tile: packets of a count byte (low 7 bits + 1) and then that
// many bytes, or one byte to repeat when the top bit is set. The reader decodes until the
// channel is full without looking at where its input ends or whether the last packet fits.
QString runLengthDamage(const Bytes& f, qint64 data, qint64 available, qint64* used,
                        qint64 pixels)
{
    qint64 produced = 0;
    qint64 q = *used;
    while (produced < pixels) {
        if (q >= available)
            return QStringLiteral("its run-length data ends early");
        const std::uint8_t head = f.u8(data + q);
        ++q;
        const qint64 count = (head & 0x7f) + 1;
        const qint64 input = (head & 0x80) ? 1 : count;
        if (q + input > available)
            return QStringLiteral("its run-length data ends early");
        q += input;
        produced += count;
        if (produced > pixels)
            return QStringLiteral("a run goes past the end of the tile");
    }
    *used = q;
    return QString();
}

// The reader's tile pass, from the start of the tile list: as many RGBA chunks as the header
// counts, one after the other, each inside the picture and inside the file. A tile is
// run-length coded (each channel byte plane on its own) when its chunk is smaller than the
// raw pixels.
QString tilesDamage(const Bytes& f, const IffHeader& h)
{
    const qint64 channels = (h.flags & kIffAlpha) ? 4 : 3;
    const qint64 channelBytes = h.bytes ? 2 : 1;
    qint64 pos = h.tilesStart;
    for (unsigned t = 0; t < h.tiles; ++t) {
        if (!f.has(pos, 8))
            return tileDamage(t, h.tiles,
                              QStringLiteral("missing, the file ends at byte %1").arg(f.size()));
        if (!f.tagIs(pos, "RGBA"))
            return tileDamage(t, h.tiles,
                              QStringLiteral("a \"%1\" chunk at byte %2 where the tile belongs")
                                  .arg(f.tag(pos))
                                  .arg(pos));
        const std::uint32_t size = f.u32(pos + 4);
        const std::uint32_t body = paddedSize(size);
        pos += 8;
        if (size < 8)
            return tileDamage(t, h.tiles,
                              QStringLiteral("%1 bytes, too short for its coordinates").arg(size));
        if (body < size || !f.has(pos, body))
            return tileDamage(t, h.tiles,
                              QStringLiteral("%1 bytes at byte %2, past the end of the file")
                                  .arg(size)
                                  .arg(pos - 8));
        const std::uint16_t xmin = f.u16(pos), ymin = f.u16(pos + 2);
        const std::uint16_t xmax = f.u16(pos + 4), ymax = f.u16(pos + 6);
        if (xmin > xmax || ymin > ymax || xmax >= h.width || ymax >= h.height)
            return tileDamage(t, h.tiles,
                              QStringLiteral("it covers %1,%2 to %3,%4, outside the %5 x %6 "
                                             "picture")
                                  .arg(xmin)
                                  .arg(ymin)
                                  .arg(xmax)
                                  .arg(ymax)
                                  .arg(h.width)
                                  .arg(h.height));
        const qint64 pixels = qint64(xmax - xmin + 1) * qint64(ymax - ymin + 1);
        const qint64 rawBytes = pixels * channels * channelBytes;
        // The reader sizes the raw tile in 32 bits.
        if (rawBytes + 8 > qint64(std::numeric_limits<std::uint32_t>::max()))
            return tileDamage(t, h.tiles, QStringLiteral("the tile is too large"));
        if (rawBytes + 8 > qint64(size)) {
            const qint64 data = pos + 8;
            const qint64 available = qint64(body) - 8;
            qint64 used = 0;
            for (qint64 plane = 0; plane < channels * channelBytes; ++plane) {
                const QString damage = runLengthDamage(f, data, available, &used, pixels);
                if (!damage.isEmpty())
                    return tileDamage(t, h.tiles, damage);
            }
        }
        pos += body;
    }
    return QString();
}

QString photoshopDamage(const QString& what)
{
    return QStringLiteral("the Photoshop file is damaged (%1)").arg(what);
}

// The resource blocks of a Photoshop file, from..end: a signature, a 2-byte id, a Pascal
// name padded to an even size, a 4-byte length and the data, padded to an even size.
QString resourceBlocksDamage(const Bytes& f, qint64 pos, qint64 end)
{
    int block = 0;
    while (pos < end) {
        ++block;
        if (!f.has(pos, 7) || pos + 7 > end)
            return photoshopDamage(QStringLiteral("image resource %1 is cut short").arg(block));
        const qint64 nameBytes = (qint64(f.u8(pos + 6)) + 2) & ~qint64(1);
        const qint64 lengthAt = pos + 6 + nameBytes;
        if (!f.has(lengthAt, 4) || lengthAt + 4 > end)
            return photoshopDamage(QStringLiteral("image resource %1 is cut short").arg(block));
        const qint64 length = f.u32(lengthAt);
        if (length > end - (lengthAt + 4))
            return photoshopDamage(QStringLiteral("image resource %1 (id %2) claims %3 bytes, "
                                                  "past the end of its section")
                                       .arg(block)
                                       .arg(f.u16(pos + 4))
                                       .arg(length));
        pos = lengthAt + 4 + ((length + 1) & ~qint64(1));
    }
    return QString();
}

std::uint32_t bigEndian32(const QByteArray& d, qsizetype i)
{
    return (std::uint32_t(std::uint8_t(d[i])) << 24) |
           (std::uint32_t(std::uint8_t(d[i + 1])) << 16) |
           (std::uint32_t(std::uint8_t(d[i + 2])) << 8) | std::uint32_t(std::uint8_t(d[i + 3]));
}

// A picture size from a header, refused when empty or beyond the picture limits.
QString sizeDamage(const char* format, std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1)
        return QStringLiteral("the %1 header is damaged (a picture of %2 x %3 pixels)")
            .arg(QLatin1String(format))
            .arg(width)
            .arg(height);
    if (!pictureSizeAllowed(width, height))
        return QStringLiteral("the picture is too large (%1 x %2 pixels)").arg(width).arg(height);
    return QString();
}

} // namespace

bool sgiRunLengthsSound(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSgiCheckBytes)
        return false;
    const QByteArray d = file.readAll();
    if (d.size() < 512)
        return false;
    const int storage = std::uint8_t(d[2]);
    const int bpc = std::uint8_t(d[3]);
    if (storage == 0)
        return true;
    if (storage != 1 || (bpc != 1 && bpc != 2))
        return false;
    const int xsize = (std::uint8_t(d[6]) << 8) | std::uint8_t(d[7]);
    const int ysize = (std::uint8_t(d[8]) << 8) | std::uint8_t(d[9]);
    const int zsize = std::max(1, (std::uint8_t(d[10]) << 8) | std::uint8_t(d[11]));
    const qint64 rows = qint64(ysize) * zsize;
    if (512 + rows * 8 > d.size())
        return false;
    for (qint64 r = 0; r < rows; ++r) {
        const qint64 start = bigEndian32(d, 512 + r * 4);
        const qint64 length = bigEndian32(d, 512 + rows * 4 + r * 4);
        if (start < 512 || start + length > d.size())
            return false;
        qint64 pos = start;
        const qint64 end = start + length;
        qint64 filled = 0;
        while (true) {
            if (pos + bpc > end)
                return false;
            const int value = bpc == 1 ? std::uint8_t(d[pos]) : std::uint8_t(d[pos + 1]);
            pos += bpc;
            const int count = value & 0x7f;
            if (count == 0)
                break;
            filled += count;
            if (filled > xsize)
                return false;
            pos += (value & 0x80) ? qint64(count) * bpc : bpc;
            if (pos > end)
                return false;
        }
    }
    return true;
}

QString gifScreenDamage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(10);
    // The GIF library looks at "GIF" only, not at the version after it.
    if (head.size() < 10 || !head.startsWith("GIF"))
        return QString();
    const auto u16 = [&](int at) {
        return int(std::uint8_t(head[at]) | std::uint8_t(head[at + 1]) << 8);
    };
    return sizeDamage("GIF", u16(6), u16(8));
}

QString dpxHeaderDamage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(780);
    if (head.size() < 780 || (!head.startsWith("SDPX") && !head.startsWith("XPDS")))
        return QString();
    const bool big = head.startsWith("SDPX");
    const auto u16 = [&](int at) {
        const std::uint16_t a = std::uint8_t(head[at]), b = std::uint8_t(head[at + 1]);
        return big ? std::uint16_t(a << 8 | b) : std::uint16_t(b << 8 | a);
    };
    const auto u32 = [&](int at) {
        return big ? std::uint32_t(u16(at)) << 16 | u16(at + 2)
                   : std::uint32_t(u16(at + 2)) << 16 | u16(at);
    };
    const int elements = u16(770);
    if (elements < 1 || elements > kMaxDpxElements)
        return QStringLiteral("the DPX header is damaged (%1 image elements, at most %2)")
            .arg(elements)
            .arg(kMaxDpxElements);
    if (const QString damage = sizeDamage("DPX", u32(772), u32(776)); !damage.isEmpty())
        return damage;
    if (u32(4) > file.size())
        return QStringLiteral("the DPX header is damaged (its image data starts at byte %1, past "
                              "the end of the file)")
            .arg(u32(4));
    return QString();
}

QString photoshopSectionDamage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 26)
        return QString();
    const uchar* data = file.map(0, file.size());
    if (!data)
        return QString();
    const Bytes f(data, file.size());
    if (!f.tagIs(0, "8BPS"))
        return QString();
    const std::uint16_t version = f.u16(4);
    if (version != 1 && version != 2)
        return QString();
    // Each section: its length, then that many bytes; the layer section's length has 8
    // bytes in the large document format (version 2).
    qint64 pos = 26;
    const char* names[] = {"colour mode data", "image resources", "layer and mask information"};
    for (int section = 0; section < 3; ++section) {
        const qint64 lengthBytes = section == 2 && version == 2 ? 8 : 4;
        if (!f.has(pos, lengthBytes))
            return photoshopDamage(
                QStringLiteral("the file ends before its %1").arg(QLatin1String(names[section])));
        const quint64 length = lengthBytes == 8 ? (quint64(f.u32(pos)) << 32) | f.u32(pos + 4)
                                                : f.u32(pos);
        pos += lengthBytes;
        if (length > quint64(f.size() - pos))
            return photoshopDamage(
                QStringLiteral("its %1 claims %2 bytes, past the end of the file")
                    .arg(QLatin1String(names[section]))
                    .arg(length));
        if (section == 1) {
            const QString damage = resourceBlocksDamage(f, pos, pos + qint64(length));
            if (!damage.isEmpty())
                return damage;
        }
        pos += qint64(length);
    }
    return QString();
}

QString mayaIffDamage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return QString();
    const uchar* data = file.map(0, file.size());
    if (!data)
        return QString();
    const Bytes f(data, file.size());
    IffHeader h;
    QString damage;
    const Walk walk = walkHeader(f, &h, &damage);
    if (walk == Walk::Damaged)
        return damage;
    if (walk == Walk::NotOpened)
        return QString();
    if (!(h.flags & kIffRgb))
        return headerDamage(QStringLiteral("it names no RGB channels"));
    // Tiles are read into a buffer that starts at the picture's origin, as if it were 0, 0.
    if (h.x != 0 || h.y != 0)
        return headerDamage(
            QStringLiteral("the picture's origin is %1, %2 instead of 0, 0").arg(h.x).arg(h.y));
    return tilesDamage(f, h);
}

} // namespace quillon::engine
