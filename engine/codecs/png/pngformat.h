#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr CodecOption kPngOptions[] = {
    {"compression", "Compression level", OptionKind::Int, 0, 9, 6, {}, "png:compressionLevel"},
    {"interlace", "Interlaced", OptionKind::Bool, 0, 1, 0, {}, nullptr},
};

inline constexpr CodecInfo kPngFormat = {
    8, "PNG", "PNGf", "png", true, true, true, true,
    CodecWriter::OpenImageIO, "png", kPngOptions};

} // namespace quillon::engine::codecs
