#include "engine/imageservices/imagelimits.h"

namespace quillon::engine {

bool pictureSizeAllowed(std::int64_t width, std::int64_t height, int bytesPerPixel)
{
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    const std::int64_t pixels = width * height;
    return pixels <= kMaxPicturePixels && pixels * bytesPerPixel <= kMaxPictureBytes;
}

} // namespace quillon::engine
