// The PICT reader (and its sniffing) over any bytes. A picture it reads stays inside the
// picture limits, and, written again by the PICT writer, reads back the same size.

#include "fuzz/fuzztarget.h"

#include "engine/codecs/pict/pictcodec.h"
#include "engine/imageservices/imagelimits.h"

#include <QBuffer>
#include <QImage>

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(pict)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    codecs::looksLikePict(bytes);
    QImage picture;
    double dpi = 0;
    QString error;
    if (!codecs::readPict(bytes, &picture, &dpi, &error))
        return !error.isEmpty();
    if (picture.isNull() || !pictureSizeAllowed(picture.width(), picture.height()) || !(dpi > 0))
        return false;
    if (picture.width() > 4095 || qint64(picture.width()) * picture.height() > 1'000'000)
        return true;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!codecs::writePict(picture, dpi, true, buffer, &error))
        return false;
    QImage again;
    double againDpi = 0;
    return codecs::readPict(out, &again, &againDpi, &error) && again.size() == picture.size();
}
