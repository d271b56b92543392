#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr CodecInfo kMacPaintFormat = {
    10, "MacPaint", "PNTG", "mac", false, false, false, false,
    CodecWriter::MacPaint, nullptr, {}};

} // namespace quillon::engine::codecs
