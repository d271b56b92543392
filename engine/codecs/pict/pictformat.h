#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kPictCompressions[] = {"packbits", "none"};

inline constexpr CodecOption kPictOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 1, 0, kPictCompressions},
};

inline constexpr CodecInfo kPictFormat = {
    5, "Apple PICT", "PICT", "pct", false, false, false, true,
    CodecWriter::Pict, nullptr, kPictOptions};

} // namespace quillon::engine::codecs
