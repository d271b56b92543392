#pragma once

#include <cstdint>

namespace quillon::engine {

// Limits on what an input file may make Quillon allocate. Checked from a file's header,
// before any pixel buffer exists, so a decompression bomb fails with a message instead of
// exhausting memory.
inline constexpr std::int64_t kMaxPictureSide = 65535;          // pixels, either direction
inline constexpr std::int64_t kMaxPicturePixels = 200'000'000;  // pixels in one picture
inline constexpr std::int64_t kMaxPictureBytes = 4LL << 30;     // bytes of one decoded picture

// True when a picture of width x height (with the given bytes per pixel) may be allocated.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height, int bytesPerPixel = 4);

} // namespace quillon::engine
