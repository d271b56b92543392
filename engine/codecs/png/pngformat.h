#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

// OpenImageIO's PNG writer cannot interlace; an "interlace" key in a settings text is
// ignored until a writer that can is used.
inline constexpr CodecOption kPngOptions[] = {
    {"compression", "Compression level", OptionKind::Int, 0, 9, 6, {}, "png:compressionLevel"},
};

inline constexpr CodecInfo kPngFormat = {
    8, "PNG", "PNGf", "png", true, true, true, true,
    CodecWriter::OpenImageIO, "png", kPngOptions};

} // namespace quillon::engine::codecs
