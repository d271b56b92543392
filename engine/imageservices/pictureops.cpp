#include "engine/imageservices/pictureops.h"

#include "engine/imageservices/imagelimits.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPoint>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quillon::engine {

namespace {

// Shrinking with a tent filter as wide as the reduction (each target pixel a weighted mean of
// the source pixels within one target pixel of its centre, weights falling off linearly). Box
// averaging aliases more, and two box reductions in a row (such as a JPEG decoded at half size
// and then reduced) differ visibly from one; with the tent they agree within about 40 dB.
// Weights are 14-bit fixed point summing to exactly 1 per target pixel, so a flat picture
// stays exactly flat.
constexpr int kWeightBits = 14;

struct ShrinkTaps
{
    std::vector<int> first;          // first source index of each target index
    std::vector<int> count;          // how many source indexes it takes
    std::vector<std::uint32_t> weight; // count[i] weights per target index, in order
    std::vector<int> offset;         // where target index i's weights start
};

ShrinkTaps shrinkTaps(int source, int target)
{
    ShrinkTaps taps;
    taps.first.resize(target);
    taps.count.resize(target);
    taps.offset.resize(target);
    const double scale = double(source) / double(target);
    const int one = 1 << kWeightBits;
    std::vector<double> w;
    for (int i = 0; i < target; ++i) {
        const double center = (i + 0.5) * scale;
        const int j0 = std::max(0, int(std::floor(center - scale)));
        const int j1 = std::min(source, std::max(j0 + 1, int(std::ceil(center + scale))));
        w.clear();
        double total = 0;
        for (int j = j0; j < j1; ++j) {
            const double x = std::abs((j + 0.5 - center) / scale);
            w.push_back(std::max(0.0, 1.0 - x));
            total += w.back();
        }
        taps.first[i] = j0;
        taps.count[i] = j1 - j0;
        taps.offset[i] = int(taps.weight.size());
        int sum = 0, largest = 0;
        for (std::size_t k = 0; k < w.size(); ++k) {
            const int v = total > 0 ? int(std::lround(w[k] / total * one)) : (k == 0 ? one : 0);
            taps.weight.push_back(std::uint32_t(v));
            sum += v;
            if (v > int(taps.weight[taps.offset[i] + largest]))
                largest = int(k);
        }
        taps.weight[taps.offset[i] + largest] += std::uint32_t(one - sum);
    }
    return taps;
}

// Shrinks a 32-bit premultiplied (or opaque RGB32) picture, one target row at a time: the
// source rows it takes are summed into one row, which is then filtered across.
QImage shrunk(const QImage& source, const QSize& size)
{
    const int sw = source.width(), sh = source.height();
    const int tw = size.width(), th = size.height();
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    const ShrinkTaps across = shrinkTaps(sw, tw);
    const ShrinkTaps down = shrinkTaps(sh, th);
    std::vector<std::uint32_t> column(std::size_t(sw) * 4);
    for (int y = 0; y < th; ++y) {
        std::fill(column.begin(), column.end(), 0u);
        const std::uint32_t* wy = down.weight.data() + down.offset[y];
        for (int k = 0; k < down.count[y]; ++k) {
            const auto* line = source.constScanLine(down.first[y] + k);
            const std::uint32_t w = wy[k];
            for (int i = 0; i < sw * 4; ++i)
                column[i] += w * line[i];
        }
        // 8-bit values times weights summing to 2^14: keep 8 fractional bits for the second pass.
        for (auto& v : column)
            v = (v + (1u << 5)) >> 6;
        auto* out = result.scanLine(y);
        for (int x = 0; x < tw; ++x) {
            const std::uint32_t* wx = across.weight.data() + across.offset[x];
            const std::uint32_t* in = column.data() + std::size_t(across.first[x]) * 4;
            std::uint32_t a0 = 0, a1 = 0, a2 = 0, a3 = 0;
            for (int k = 0; k < across.count[x]; ++k, in += 4) {
                a0 += wx[k] * in[0];
                a1 += wx[k] * in[1];
                a2 += wx[k] * in[2];
                a3 += wx[k] * in[3];
            }
            constexpr int shift = kWeightBits + 8;
            constexpr std::uint32_t half = 1u << (shift - 1);
            out[4 * x + 0] = uchar((a0 + half) >> shift);
            out[4 * x + 1] = uchar((a1 + half) >> shift);
            out[4 * x + 2] = uchar((a2 + half) >> shift);
            out[4 * x + 3] = uchar((a3 + half) >> shift);
        }
    }
    return result;
}

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
    if (size.width() < picture.width() && size.height() < picture.height()) {
        // Shrinking: every source pixel counts (filtered on premultiplied colour). Bilinear
        // drawing reads only the pixels nearest each target pixel and aliases fine detail once
        // the factor is past two.
        const QImage source = picture.format() == QImage::Format_RGB32 ||
                                      picture.format() == QImage::Format_ARGB32_Premultiplied
                                  ? picture
                                  : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage result = shrunk(source, size);
        result.setColorSpace(picture.colorSpace());
        return result;
    }
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
