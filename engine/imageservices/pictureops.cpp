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
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// sum[i] += weight * line[i] for n bytes; the hot loop of shrinking, 16 bytes at a time where
// SSE2 is there (x86-64 always has it).
void accumulateRow(std::uint32_t* sum, const uchar* line, int n, std::uint32_t weight)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i w = _mm_set1_epi16(short(weight));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + i));
        for (int half = 0; half < 2; ++half) {
            const __m128i x = half ? _mm_unpackhi_epi8(bytes, zero) : _mm_unpacklo_epi8(bytes, zero);
            const __m128i lo = _mm_mullo_epi16(x, w);
            const __m128i hi = _mm_mulhi_epu16(x, w);
            auto* s = reinterpret_cast<__m128i*>(sum + i + 8 * half);
            _mm_storeu_si128(s, _mm_add_epi32(_mm_loadu_si128(s), _mm_unpacklo_epi16(lo, hi)));
            _mm_storeu_si128(s + 1,
                             _mm_add_epi32(_mm_loadu_si128(s + 1), _mm_unpackhi_epi16(lo, hi)));
        }
    }
#endif
    for (; i < n; ++i)
        sum[i] += weight * line[i];
}

// Shrinks a 32-bit premultiplied (or opaque RGB32) picture into one of the same format, one
// target row at a time: the source rows it takes are summed into one row, which is then
// filtered across.
QImage shrunk(const QImage& source, const QSize& size)
{
    const int sw = source.width(), sh = source.height();
    const int tw = size.width(), th = size.height();
    // An opaque source stays opaque (its alpha bytes are all 0xff and the weights sum to one),
    // so it keeps its format and no later stage has alpha to composite away.
    QImage result(size, source.format() == QImage::Format_RGB32
                            ? QImage::Format_RGB32
                            : QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    const ShrinkTaps across = shrinkTaps(sw, tw);
    const ShrinkTaps down = shrinkTaps(sh, th);
    std::vector<std::uint32_t> column(std::size_t(sw) * 4);
    std::vector<std::uint16_t> row(std::size_t(sw) * 4);
    constexpr int shift = kWeightBits + 8;
    for (int y = 0; y < th; ++y) {
        std::fill(column.begin(), column.end(), 0u);
        const std::uint32_t* wy = down.weight.data() + down.offset[y];
        for (int k = 0; k < down.count[y]; ++k)
            accumulateRow(column.data(), source.constScanLine(down.first[y] + k), sw * 4, wy[k]);
        // 8-bit values times weights summing to 2^14: keep 8 fractional bits (at most 0xff00)
        // for the second pass.
        for (std::size_t i = 0; i < column.size(); ++i)
            row[i] = std::uint16_t((column[i] + (1u << 5)) >> 6);
        auto* out = result.scanLine(y);
        for (int x = 0; x < tw; ++x) {
            const std::uint32_t* wx = across.weight.data() + across.offset[x];
            const std::uint16_t* in = row.data() + std::size_t(across.first[x]) * 4;
#if defined(__SSE2__)
            __m128i sum = _mm_setzero_si128();
            for (int k = 0; k < across.count[x]; ++k, in += 4) {
                const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
                const __m128i w = _mm_set1_epi16(short(wx[k]));
                sum = _mm_add_epi32(sum, _mm_unpacklo_epi16(_mm_mullo_epi16(v, w),
                                                            _mm_mulhi_epu16(v, w)));
            }
            sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(1 << (shift - 1))), shift);
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sum, sum), sum);
            const int packed = _mm_cvtsi128_si32(bytes);
            std::memcpy(out + 4 * x, &packed, 4);
#else
            std::uint32_t a[4] = {0, 0, 0, 0};
            for (int k = 0; k < across.count[x]; ++k, in += 4)
                for (int c = 0; c < 4; ++c)
                    a[c] += wx[k] * in[c];
            for (int c = 0; c < 4; ++c)
                out[4 * x + c] = uchar((a[c] + (1u << (shift - 1))) >> shift);
#endif
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
