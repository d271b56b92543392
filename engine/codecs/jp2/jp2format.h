#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

// Quality 100 writes the reversible (lossless) wavelet.
inline constexpr CodecOption kJp2Options[] = {
    {"quality", "Quality", OptionKind::Int, 0, 100, 85, {}, nullptr},
};

inline constexpr CodecInfo kJp2Format = {
    1, "JPEG 2000", "jp2 ", "jp2", true, true, true, true,
    CodecWriter::OpenImageIO, "jpeg2000", kJp2Options};

} // namespace quillon::engine::codecs
