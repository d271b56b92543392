#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr CodecInfo kIffFormat = {
    7, "Maya IFF", "MIFF", "iff", true, false, false, false,
    CodecWriter::OpenImageIO, "iff", {}, nullptr, 0, false, true};

} // namespace quillon::engine::codecs
