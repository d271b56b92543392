// The Photoshop writer with what it takes from outside: the ICC profile bytes (any bytes, as an
// embedded profile of a source file may be) and the pixels. The ICC checks run on the same
// bytes. The written document must hold together: every section's length matches what follows,
// the profile comes back byte for byte, and the image data has exactly the planes it announces.

#include "fuzz/fuzztarget.h"

#include "engine/codecs/psd/psdcodec.h"
#include "engine/imageservices/colorprofiles.h"

#include <QBuffer>
#include <QImage>

using namespace quillon::engine;

namespace {

struct Cursor
{
    const QByteArray& bytes;
    qsizetype at = 0;
    bool ok = true;

    quint32 take(int count)
    {
        if (!ok || at + count > bytes.size()) {
            ok = false;
            return 0;
        }
        quint32 value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | uchar(bytes[at + i]);
        at += count;
        return value;
    }
    QByteArray chunk(qsizetype count)
    {
        if (!ok || count < 0 || at + count > bytes.size()) {
            ok = false;
            return {};
        }
        const QByteArray part = bytes.mid(at, count);
        at += count;
        return part;
    }
};

// Unpacks one PackBits row; false when it does not give exactly `width` bytes.
bool unpackRow(const QByteArray& packed, int width)
{
    qsizetype at = 0;
    int produced = 0;
    while (at < packed.size()) {
        const int n = qint8(packed[at++]);
        if (n >= 0) {
            produced += n + 1;
            at += n + 1;
        } else if (n != -128) {
            produced += 1 - n;
            at += 1;
        }
    }
    return at == packed.size() && produced == width;
}

bool documentHoldsTogether(const QByteArray& file, int width, int height, const QByteArray& icc)
{
    Cursor c{file};
    if (c.chunk(4) != "8BPS" || c.take(2) != 1)
        return false;
    c.chunk(6);
    const quint32 channels = c.take(2);
    if ((channels != 3 && channels != 4) || c.take(4) != quint32(height) ||
        c.take(4) != quint32(width) || c.take(2) != 8 || c.take(2) != 3 || c.take(4) != 0)
        return false;
    const quint32 resourcesLength = c.take(4);
    const qsizetype resourcesEnd = c.at + resourcesLength;
    QByteArray foundIcc;
    while (c.ok && c.at < resourcesEnd) {
        if (c.chunk(4) != "8BIM")
            return false;
        const quint32 id = c.take(2);
        if (c.take(2) != 0) // empty name, padded
            return false;
        const quint32 length = c.take(4);
        const QByteArray body = c.chunk(length);
        if (length & 1)
            c.chunk(1);
        if (id == 0x040F)
            foundIcc = body;
    }
    if (!c.ok || c.at != resourcesEnd || foundIcc != icc)
        return false;
    if (c.take(4) != 0)
        return false;
    const quint32 compression = c.take(2);
    const qsizetype rows = qsizetype(channels) * height;
    if (compression == 0)
        return c.ok && file.size() - c.at == rows * width;
    if (compression != 1)
        return false;
    std::vector<quint32> counts;
    for (qsizetype r = 0; r < rows; ++r)
        counts.push_back(c.take(2));
    for (quint32 count : counts)
        if (!unpackRow(c.chunk(count), width))
            return false;
    return c.ok && c.at == file.size();
}

} // namespace

QUILLON_FUZZ_TARGET(psd)
{
    if (size < 5)
        return true;
    const int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
    const bool rle = data[2] & 1;
    const QImage::Format format = data[2] & 2 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const double dpi = (data[3] << 8 | data[4]) / 4.0;
    data += 5;
    size -= 5;
    QImage picture(width, height, format);
    picture.fill(Qt::white);
    const std::size_t pixelBytes = std::min<std::size_t>(size, std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixelBytes; ++i)
        picture.bits()[(i / 4 / width) * picture.bytesPerLine() + i % (std::size_t(width) * 4)] = data[i];
    const QByteArray icc(reinterpret_cast<const char*>(data + pixelBytes), qsizetype(size - pixelBytes));

    if (isValidIccProfile(icc))
        iccDescription(icc);
    else if (!iccDescription(icc).isEmpty())
        return false;

    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!codecs::writePsd(picture, dpi, icc, rle, buffer, &error))
        return false;
    return documentHoldsTogether(out, width, height, icc);
}
