#include "engine/imageservices/pictureops.h"

#include "engine/imageservices/imagelimits.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPoint>
#include <QSize>

namespace quillon::engine {

namespace {

// Quarter turns copy pixels one by one, so they are exact whatever the size. Pictures of other
// depths are first made 32-bit, which is lossless for 8-bit channels.
QImage turned(const QImage& picture, bool clockwise)
{
    if (picture.isNull())
        return {};
    const QImage source = picture.depth() == 32 ? picture
                                                : picture.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    QImage result(h, w, source.format());
    if (result.isNull())
        return {};
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(source.constScanLine(y));
        const int column = clockwise ? h - 1 - y : y;
        for (int x = 0; x < w; ++x) {
            const int row = clockwise ? x : w - 1 - x;
            reinterpret_cast<quint32*>(result.scanLine(row))[column] = line[x];
        }
    }
    result.setColorSpace(source.colorSpace());
    result.setDotsPerMeterX(source.dotsPerMeterY());
    result.setDotsPerMeterY(source.dotsPerMeterX());
    return result;
}

} // namespace

QImage mic_FlipV(const QImage& picture)
{
    return picture.mirrored(false, true);
}

QImage mic_FlipH(const QImage& picture)
{
    return picture.mirrored(true, false);
}

QImage mic_Rotate90(const QImage& picture)
{
    return turned(picture, true);
}

QImage mic_Rotate270(const QImage& picture)
{
    return turned(picture, false);
}

QImage mic_Rotate180(const QImage& picture)
{
    return picture.mirrored(true, true);
}

QImage drawScaled(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || !pictureSizeAllowed(size.width(), size.height()))
        return {};
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    result.fill(Qt::transparent);
    result.setColorSpace(picture.colorSpace());
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    painter.end();
    return result;
}

void drawMasked(QImage& target, const QImage& overlay, const QPoint& position)
{
    if (target.isNull() || overlay.isNull())
        return;
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(position, overlay);
}

bool openAsPng(const QString& path, QImage* picture, QString* error)
{
    *picture = QImage();
    QFile file(path);
    // Only regular files: opening a FIFO or a device would block or read without end.
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1: not a file").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
        return false;
    }
    static const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);
    if (file.peek(8) != kSignature) {
        *error = QStringLiteral("%1: not a PNG file").arg(path);
        return false;
    }
    QImageReader reader(&file, "png");
    const QSize size = reader.size();
    if (!pictureSizeAllowed(size.width(), size.height())) {
        *error = QStringLiteral("%1: picture size %2 x %3 is beyond the limits")
                     .arg(path)
                     .arg(size.width())
                     .arg(size.height());
        return false;
    }
    QImage image;
    if (!reader.read(&image)) {
        *error = QStringLiteral("%1: damaged PNG (%2)").arg(path, reader.errorString());
        return false;
    }
    *picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return true;
}

} // namespace quillon::engine
