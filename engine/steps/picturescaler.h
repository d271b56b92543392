#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

namespace quillon::engine {

// The outcome of one resize: the new picture, or why there is none.
struct ScaleResult
{
    QImage picture; // null when the resize failed
    QString error;  // readable reason when picture is null

    bool ok() const { return !picture.isNull(); }
};

// The four resizing functions. Sizes are computed in double precision and truncated toward
// zero, divide first then multiply, so 57 px at 100 % gives 56 (57 / 100 * 100 is slightly
// below 57 in binary floating point). The whole source is drawn, smoothly scaled, into a new
// 32-bit picture of the computed size. A computed side below 1 or a size beyond the picture
// limits fails with a reason instead of producing a picture. Any thread.
namespace PictureScaler {

ScaleResult ScaleInPixels(const QImage& picture, std::int32_t width, std::int32_t height);
ScaleResult ScaleInPercent(const QImage& picture, std::int32_t widthPercent,
                           std::int32_t heightPercent);
// Longer side becomes size pixels, proportions kept.
ScaleResult RatioScaleInPixels(const QImage& picture, std::int32_t size);
ScaleResult RatioScaleInPercent(const QImage& picture, std::int32_t percent);

// The size each function above gives for a source of the given size, by the same arithmetic,
// before the checks for sides below 1 and the picture limits (so a result may be 0, negative
// or huge). Lets a caller know the size of a resize before it has the picture, e.g. to decode
// a JPEG reduced but still large enough.
struct ScaledSize
{
    std::int64_t width = 0;
    std::int64_t height = 0;
};
ScaledSize sizeInPercent(std::int64_t width, std::int64_t height, std::int32_t widthPercent,
                         std::int32_t heightPercent);
ScaledSize ratioSizeInPixels(std::int64_t width, std::int64_t height, std::int32_t size);

} // namespace PictureScaler

} // namespace quillon::engine
