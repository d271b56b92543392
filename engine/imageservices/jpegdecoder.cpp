#include "engine/imageservices/jpegdecoder.h"

#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/imagemetadata_p.h"
#include "engine/imageservices/pictureops.h"

#include <exiv2/exiv2.hpp>
#include <turbojpeg.h>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <memory>

namespace quillon::engine {

namespace {

// Largest JPEG file read into memory for decoding.
constexpr qint64 kMaxJpegFileBytes = 512LL << 20;

struct TjDeleter
{
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// QImage's RGB32 is 0xffRRGGBB in native byte order.
constexpr TJPF kRgb32Layout = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;

bool swapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The Exif orientation applied the way the importer applies it, so both give the same
// upright picture.
QImage upright(const QImage& image, int orientation)
{
    switch (orientation) {
    case 2: return mic_FlipH(image);
    case 3: return mic_Rotate180(image);
    case 4: return mic_FlipV(image);
    case 5: return mic_FlipH(mic_Rotate90(image));
    case 6: return mic_Rotate90(image);
    case 7: return mic_FlipH(mic_Rotate270(image));
    case 8: return mic_Rotate270(image);
    default: return image;
    }
}

DecodedJpeg failed(const QString& name, const QString& reason)
{
    DecodedJpeg result;
    result.error = QStringLiteral("Cannot decode \"%1\": %2").arg(name, reason);
    return result;
}

} // namespace

int jpegScaledSide(int side, JpegScale scale)
{
    const tjscalingfactor factor{scale.numerator, scale.denominator};
    return TJSCALED(side, factor);
}

JpegScale jpegScaleAtLeast(const QSize& storedSize, const QSize& minimum)
{
    JpegScale best;
    if (minimum.isEmpty() || storedSize.isEmpty())
        return best;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    for (int i = 0; factors && i < count; ++i) {
        const JpegScale candidate{factors[i].num, factors[i].denom};
        // Only reductions: 1/8 .. 1.
        if (candidate.numerator > candidate.denominator)
            continue;
        if (jpegScaledSide(storedSize.width(), candidate) < minimum.width() ||
            jpegScaledSide(storedSize.height(), candidate) < minimum.height())
            continue;
        if (double(candidate.numerator) / candidate.denominator <
            double(best.numerator) / best.denominator)
            best = candidate;
    }
    return best;
}

JpegScale jpegShrinkScale(const QSize& storedSize, const QSize& target)
{
    if (target.isEmpty() ||
        qint64(storedSize.width()) * storedSize.height() < kJpegShrinkMinimumPixels)
        return {};
    const QSize minimum(int(std::ceil(target.width() * kJpegShrinkMargin)),
                        int(std::ceil(target.height() * kJpegShrinkMargin)));
    const JpegScale smallest = jpegScaleAtLeast(storedSize, minimum);
    if (2 * smallest.numerator <= smallest.denominator)
        return {1, 2};
    return {};
}

bool looksLikeJpeg(const QByteArray& head)
{
    return head.size() >= 3 && uchar(head[0]) == 0xff && uchar(head[1]) == 0xd8 &&
           uchar(head[2]) == 0xff;
}

int jpegExifOrientation(const QByteArray& data)
{
    // Once for the process: quiet, and its XMP toolkit safe for several threads.
    initializeExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(data.constData()),
                                               long(data.size()));
        if (!image.get())
            return 1;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (it == exif.end() || it->count() < 1)
            return 1;
        const long value = it->toLong(0);
        return value >= 1 && value <= 8 ? int(value) : 1;
    } catch (const std::exception&) {
        // Unreadable Exif states no orientation.
        return 1;
    }
}

DecodedJpeg decodeJpeg(const QByteArray& data, const QSize& targetUpright, int orientation,
                       const QString& name)
{
    if (!looksLikeJpeg(data))
        return failed(name, QStringLiteral("not a JPEG file"));
    if (orientation < 1 || orientation > 8)
        orientation = 1;
    TjHandle tj(tjInitDecompress());
    if (!tj)
        return failed(name, QStringLiteral("the JPEG decoder cannot start"));
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const auto length = static_cast<unsigned long>(data.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), bytes, length, &width, &height, &subsampling,
                            &colorspace) != 0)
        return failed(name, QString::fromLocal8Bit(tjGetErrorStr2(tj.get())));
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        return failed(name, QStringLiteral("a CMYK JPEG"));
    if (width < 1 || height < 1 || !pictureSizeAllowed(width, height))
        return failed(name, QStringLiteral("the picture is too large (%1 x %2 pixels)")
                                .arg(width)
                                .arg(height));

    const QSize stored(width, height);
    const QSize targetStored = swapsSides(orientation) ? targetUpright.transposed() : targetUpright;
    const JpegScale scale = jpegShrinkScale(stored, targetStored);
    const int outWidth = jpegScaledSide(width, scale);
    const int outHeight = jpegScaledSide(height, scale);
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return failed(name, QStringLiteral("out of memory"));
    // Accurate DCT and smooth chroma upsampling, as an ordinary libjpeg decode does; a warning
    // (a truncated or damaged stream) fails rather than handing out a partly grey picture.
    const int rc = tjDecompress2(tj.get(), bytes, length, image.bits(), outWidth,
                                 int(image.bytesPerLine()), outHeight, kRgb32Layout,
                                 TJFLAG_STOPONWARNING);
    if (rc != 0)
        return failed(name, QString::fromLocal8Bit(tjGetErrorStr2(tj.get())));

    DecodedJpeg result;
    result.picture = upright(image, orientation);
    result.fileSize = swapsSides(orientation) ? stored.transposed() : stored;
    result.scale = scale;
    return result;
}

DecodedJpeg decodeJpegFile(const QString& path, const QSize& targetUpright)
{
    if (!QFileInfo(path).isFile())
        return failed(path, QStringLiteral("not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(path, file.errorString());
    if (file.size() > kMaxJpegFileBytes)
        return failed(path, QStringLiteral("the file is larger than %1 MiB")
                                .arg(kMaxJpegFileBytes >> 20));
    const QByteArray data = file.readAll();
    if (!looksLikeJpeg(data))
        return failed(path, QStringLiteral("not a JPEG file"));
    return decodeJpeg(data, targetUpright, jpegExifOrientation(data), path);
}

} // namespace quillon::engine
