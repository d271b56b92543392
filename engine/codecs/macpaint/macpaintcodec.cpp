#include "engine/codecs/macpaint/macpaintcodec.h"

#include <QImage>
#include <QIODevice>

namespace quillon::engine::codecs {

bool looksLikeMacPaint(const QByteArray&) { return false; }

bool readMacPaint(const QByteArray&, QImage*, QString* error)
{
    if (error)
        *error = QStringLiteral("The MacPaint reader is not built yet.");
    return false;
}

QImage macPaintPage(const QImage&) { return {}; }

bool writeMacPaint(const QImage&, QIODevice&, QString* error)
{
    if (error)
        *error = QStringLiteral("The MacPaint writer is not built yet.");
    return false;
}

} // namespace quillon::engine::codecs
