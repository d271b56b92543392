// The MacPaint reader (and its sniffing) over any bytes. A page it reads, written again by the
// MacPaint writer, reads back pixel for pixel.

#include "fuzz/fuzztarget.h"

#include "engine/codecs/macpaint/macpaintcodec.h"

#include <QBuffer>
#include <QImage>

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(macpaint)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    codecs::looksLikeMacPaint(bytes);
    QImage picture;
    QString error;
    if (!codecs::readMacPaint(bytes, &picture, &error))
        return !error.isEmpty();
    if (picture.width() != codecs::kMacPaintWidth || picture.height() != codecs::kMacPaintHeight)
        return false;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!codecs::writeMacPaint(picture, buffer, &error))
        return false;
    QImage again;
    if (!codecs::readMacPaint(out, &again, &error))
        return false;
    return again.convertToFormat(QImage::Format_RGB32) == picture.convertToFormat(QImage::Format_RGB32);
}
