#include "engine/codecs/psd/psdcodec.h"

#include <QImage>
#include <QIODevice>

namespace quillon::engine::codecs {

bool writePsd(const QImage&, double, const QByteArray&, bool, QIODevice&, QString* error)
{
    if (error)
        *error = QStringLiteral("The Photoshop writer is not built yet.");
    return false;
}

} // namespace quillon::engine::codecs
