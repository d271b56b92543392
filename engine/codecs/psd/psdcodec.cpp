#include "engine/codecs/psd/psdcodec.h"

#include "engine/codecs/codecio_p.h"

#include <QImage>
#include <QIODevice>

#include <cmath>
#include <vector>

namespace quillon::engine::codecs {

namespace {

// Photoshop's own limit for a .psd (larger documents are .psb).
constexpr int kMaxPsdSide = 30000;

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

void appendResource(QByteArray& out, std::uint16_t id, const QByteArray& data)
{
    out.append("8BIM", 4);
    appendBe16(out, id);
    appendBe16(out, 0); // empty Pascal name, padded to even length
    appendBe32(out, std::uint32_t(data.size()));
    out.append(data);
    if (data.size() & 1)
        out.append('\0');
}

std::uint32_t fixed16(double value)
{
    return std::uint32_t(std::lround(value * 65536.0));
}

} // namespace

bool hasNonOpaqueAlpha(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return false;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return true;
    }
    return false;
}

bool writePsd(const QImage& picture, double dpi, const QByteArray& icc, bool rle, QIODevice& out,
              QString* error)
{
    if (picture.isNull())
        return fail(error, QStringLiteral("Photoshop: there is no picture to write."));
    const int width = picture.width(), height = picture.height();
    if (width > kMaxPsdSide || height > kMaxPsdSide)
        return fail(error, QStringLiteral("Photoshop: %1 x %2 pixels is larger than a Photoshop "
                                          "document holds (%3 pixels a side).")
                               .arg(width).arg(height).arg(kMaxPsdSide));
    if (!(dpi > 0) || dpi > 32767)
        dpi = 72;

    const bool alpha = hasNonOpaqueAlpha(picture);
    const int channels = alpha ? 4 : 3;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);

    // Planes in channel order R, G, B(, A). The colour of a flat document with an alpha
    // channel is stored matted against white, as Photoshop stores its merged composite; readers
    // that show the alpha (ImageMagick) take the white back out, others show it over white.
    std::vector<QByteArray> planes(size_t(channels), QByteArray(qsizetype(width) * height, '\0'));
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        const qsizetype row = qsizetype(y) * width;
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            const int a = qAlpha(c);
            const int comp[3] = {qRed(c), qGreen(c), qBlue(c)};
            for (int k = 0; k < 3; ++k) {
                const int v = alpha ? (comp[k] * a + 255 * (255 - a) + 127) / 255 : comp[k];
                planes[size_t(k)][row + x] = char(v);
            }
            if (alpha)
                planes[3][row + x] = char(a);
        }
    }

    QByteArray file;
    file.append("8BPS", 4);
    appendBe16(file, 1);
    file.append(6, '\0');
    appendBe16(file, std::uint16_t(channels));
    appendBe32(file, std::uint32_t(height));
    appendBe32(file, std::uint32_t(width));
    appendBe16(file, 8); // bits per channel
    appendBe16(file, 3); // RGB
    appendBe32(file, 0); // no colour mode data

    QByteArray resources;
    QByteArray resolution;
    for (int k = 0; k < 2; ++k) {
        appendBe32(resolution, fixed16(dpi));
        appendBe16(resolution, 1); // pixels per inch
        appendBe16(resolution, 1); // shown in inches
    }
    appendResource(resources, 0x03ED, resolution);
    if (!icc.isEmpty())
        appendResource(resources, 0x040F, icc);
    appendBe32(file, std::uint32_t(resources.size()));
    file.append(resources);

    appendBe32(file, 0); // no layer and mask information: a flat document

    appendBe16(file, rle ? 1 : 0);
    if (!rle) {
        for (const QByteArray& plane : planes)
            file.append(plane);
    } else {
        QByteArray counts, data;
        for (const QByteArray& plane : planes) {
            for (int y = 0; y < height; ++y) {
                const qsizetype before = data.size();
                packBits(reinterpret_cast<const uchar*>(plane.constData()) + qsizetype(y) * width,
                         width, data);
                appendBe16(counts, std::uint16_t(data.size() - before));
            }
        }
        file.append(counts);
        file.append(data);
    }

    if (out.write(file) != file.size())
        return fail(error, QStringLiteral("Photoshop: could not write the file: %1")
                               .arg(out.errorString()));
    return true;
}

} // namespace quillon::engine::codecs
