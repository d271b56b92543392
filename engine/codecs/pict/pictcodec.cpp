#include "engine/codecs/pict/pictcodec.h"

#include <QImage>
#include <QIODevice>

namespace quillon::engine::codecs {

bool looksLikePict(const QByteArray&) { return false; }

bool readPict(const QByteArray&, QImage*, double*, QString* error)
{
    if (error)
        *error = QStringLiteral("The PICT reader is not built yet.");
    return false;
}

bool writePict(const QImage&, double, bool, QIODevice&, QString* error)
{
    if (error)
        *error = QStringLiteral("The PICT writer is not built yet.");
    return false;
}

} // namespace quillon::engine::codecs
