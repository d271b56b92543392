#include "engine/imageservices/picturefile.h"

#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"
#include "engine/imageservices/rawimage.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstring>

namespace quillon::engine {

namespace {

// True when the length bytes of magic (which may hold NULs) stand at offset at of head.
bool bytesAt(const QByteArray& head, qsizetype at, const char* magic, qsizetype length)
{
    return head.size() >= at + length && std::memcmp(head.constData() + at, magic, size_t(length)) == 0;
}

// The same for a string literal, NUL-free, at the start or at an offset.
template <std::size_t N>
bool startsWith(const QByteArray& head, const char (&magic)[N])
{
    return bytesAt(head, 0, magic, qsizetype(N - 1));
}

template <std::size_t N>
bool textAt(const QByteArray& head, qsizetype at, const char (&magic)[N])
{
    return bytesAt(head, at, magic, qsizetype(N - 1));
}

unsigned byteAt(const QByteArray& head, qsizetype i)
{
    return i < head.size() ? static_cast<unsigned char>(head[i]) : 0u;
}

std::uint32_t le32(const QByteArray& head, qsizetype i)
{
    return byteAt(head, i) | byteAt(head, i + 1) << 8 | byteAt(head, i + 2) << 16 |
           std::uint32_t(byteAt(head, i + 3)) << 24;
}

bool isBmp(const QByteArray& head)
{
    if (!startsWith(head, "BM") || head.size() < 18)
        return false;
    // "BM" alone is too weak; the size of the info header that follows names a BMP version.
    const std::uint32_t infoSize = le32(head, 14);
    return infoSize == 12 || infoSize == 16 || infoSize == 40 || infoSize == 52 ||
           infoSize == 56 || infoSize == 64 || infoSize == 108 || infoSize == 124;
}

bool isSgi(const QByteArray& head)
{
    // Magic 474, storage 0 (verbatim) or 1 (RLE), 1 or 2 bytes per channel.
    return byteAt(head, 0) == 0x01 && byteAt(head, 1) == 0xda && byteAt(head, 2) <= 1 &&
           (byteAt(head, 3) == 1 || byteAt(head, 3) == 2);
}

bool isPnm(const QByteArray& head)
{
    if (head.size() < 3 || head[0] != 'P')
        return false;
    const char kind = head[1];
    const char next = head[2];
    const bool space = next == ' ' || next == '\n' || next == '\r' || next == '\t';
    return ((kind >= '1' && kind <= '7') || kind == 'F' || kind == 'f') && space;
}

bool isIco(const QByteArray& head)
{
    return head.size() >= 6 && byteAt(head, 0) == 0 && byteAt(head, 1) == 0 &&
           byteAt(head, 2) == 1 && byteAt(head, 3) == 0 && (byteAt(head, 4) | byteAt(head, 5)) != 0;
}

bool isHeif(const QByteArray& head)
{
    if (!textAt(head, 4, "ftyp"))
        return false;
    static const std::array<const char*, 10> kBrands = {
        "heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1", "avif", "avis"};
    const QByteArray brand = head.mid(8, 4);
    for (const char* known : kBrands)
        if (brand == known)
            return true;
    return false;
}

} // namespace

bool looksLikePicture(const QByteArray& head)
{
    return startsWith(head, "\xff\xd8\xff") ||                  // JPEG
           startsWith(head, "\x89PNG\r\n\x1a\n") ||             // PNG
           startsWith(head, "GIF87a") || startsWith(head, "GIF89a") ||
           bytesAt(head, 0, "II*\0", 4) || bytesAt(head, 0, "MM\0*", 4) || // TIFF
           bytesAt(head, 0, "II+\0", 4) || bytesAt(head, 0, "MM\0+", 4) || // BigTIFF
           isBmp(head) ||
           (startsWith(head, "8BPS") && (byteAt(head, 5) == 1 || byteAt(head, 5) == 2)) ||
           bytesAt(head, 0, "\0\0\0\x0cjP  \r\n\x87\n", 12) || // JPEG 2000 JP2
           startsWith(head, "\xff\x4f\xff\x51") ||               // JPEG 2000 codestream
           isSgi(head) ||
           ((startsWith(head, "FORM") || startsWith(head, "FOR4") || startsWith(head, "FOR8")) &&
            head.size() >= 12) ||                                // IFF (Amiga and Maya)
           (startsWith(head, "RIFF") && textAt(head, 8, "WEBP")) ||
           isHeif(head) || isPnm(head) || isIco(head) ||
           startsWith(head, "\x76\x2f\x31\x01") ||               // OpenEXR
           startsWith(head, "SDPX") || startsWith(head, "XPDS") ||
           startsWith(head, "#?RADIANCE") || startsWith(head, "#?RGBE") ||
           codecs::looksLikePict(head) || codecs::looksLikeMacPaint(head);
}

bool IsPictureFileMBS(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kSniffBytes);
    if (head.isEmpty())
        return false;
    if (looksLikePicture(head))
        return true;
    // Targa and camera raw files have no reliable magic number; their names decide.
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("tga") || suffix == QLatin1String("tpic") || isRawImage(path);
}

} // namespace quillon::engine
