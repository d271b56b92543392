#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

// OpenImageIO's SGI writer stores verbatim (uncompressed) data only; there is nothing to choose.
inline constexpr CodecInfo kSgiFormat = {
    6, "Silicon Graphics SGI", ".SGI", "sgi", true, false, false, false,
    CodecWriter::OpenImageIO, "sgi", {}};

} // namespace quillon::engine::codecs
