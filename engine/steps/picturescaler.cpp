#include "engine/steps/picturescaler.h"

#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/pictureops.h"

#include <QSize>

#include <cmath>

namespace quillon::engine::PictureScaler {

namespace {

// Truncation toward zero of a computed side; values far outside the int range are clamped so
// the limit check below sees them as too large or too small rather than overflowing.
std::int64_t truncated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value > 1e15)
        return static_cast<std::int64_t>(1e15);
    if (value < -1e15)
        return static_cast<std::int64_t>(-1e15);
    return static_cast<std::int64_t>(std::trunc(value));
}

ScaleResult scaledTo(const QImage& picture, std::int64_t width, std::int64_t height)
{
    ScaleResult result;
    if (picture.isNull()) {
        result.error = QStringLiteral("no picture to scale");
        return result;
    }
    if (width < 1 || height < 1) {
        result.error = QStringLiteral("scaling %1 x %2 would give %3 x %4, less than one pixel")
                           .arg(picture.width())
                           .arg(picture.height())
                           .arg(width)
                           .arg(height);
        return result;
    }
    if (!pictureSizeAllowed(width, height)) {
        result.error = QStringLiteral("scaling %1 x %2 would give %3 x %4, beyond the largest "
                                      "picture allowed")
                           .arg(picture.width())
                           .arg(picture.height())
                           .arg(width)
                           .arg(height);
        return result;
    }
    result.picture = drawScaled(picture, QSize(int(width), int(height)));
    if (result.picture.isNull())
        result.error = QStringLiteral("not enough memory for a %1 x %2 picture")
                           .arg(width)
                           .arg(height);
    return result;
}

} // namespace

ScaleResult ScaleInPixels(const QImage& picture, std::int32_t width, std::int32_t height)
{
    return scaledTo(picture, width, height);
}

ScaledSize sizeInPercent(std::int64_t width, std::int64_t height, std::int32_t widthPercent,
                         std::int32_t heightPercent)
{
    const double w = double(width) / 100.0 * double(widthPercent);
    const double h = double(height) / 100.0 * double(heightPercent);
    return {truncated(w), truncated(h)};
}

ScaledSize ratioSizeInPixels(std::int64_t width, std::int64_t height, std::int32_t size)
{
    const double sw = double(width);
    const double sh = double(height);
    if (width < 1 || height < 1)
        return {0, 0};
    if (sw >= sh)
        return {size, truncated(sh / sw * double(size))};
    return {truncated(sw / sh * double(size)), size};
}

ScaleResult ScaleInPercent(const QImage& picture, std::int32_t widthPercent,
                           std::int32_t heightPercent)
{
    const ScaledSize s =
        sizeInPercent(picture.width(), picture.height(), widthPercent, heightPercent);
    return scaledTo(picture, s.width, s.height);
}

ScaleResult RatioScaleInPixels(const QImage& picture, std::int32_t size)
{
    if (picture.isNull())
        return scaledTo(picture, 0, 0);
    const ScaledSize s = ratioSizeInPixels(picture.width(), picture.height(), size);
    return scaledTo(picture, s.width, s.height);
}

ScaleResult RatioScaleInPercent(const QImage& picture, std::int32_t percent)
{
    return ScaleInPercent(picture, percent, percent);
}

} // namespace quillon::engine::PictureScaler
