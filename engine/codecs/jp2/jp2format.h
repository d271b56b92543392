#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

// OpenImageIO's JPEG 2000 writer always writes the reversible (lossless) wavelet and takes no
// quality, so the format offers no options until a writer with a rate control is used.
inline constexpr CodecInfo kJp2Format = {
    1, "JPEG 2000", "jp2 ", "jp2", true, true, true, false,
    CodecWriter::OpenImageIO, "jpeg2000", {}};

} // namespace quillon::engine::codecs
