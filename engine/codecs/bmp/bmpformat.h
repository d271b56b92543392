#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kBmpDepths[] = {"24", "32"};

// 32 bits per pixel keeps the alpha channel; 24 composites over white.
inline constexpr CodecOption kBmpOptions[] = {
    {"depth", "Bit depth", OptionKind::Choice, 0, 1, 0, kBmpDepths},
};

inline constexpr CodecInfo kBmpFormat = {
    4, "Windows BMP", "BMPf", "bmp", true, false, false, true,
    CodecWriter::OpenImageIO, "bmp", kBmpOptions, "depth", 1};

} // namespace quillon::engine::codecs
