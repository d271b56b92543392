#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kPsdCompressions[] = {"rle", "none"};

inline constexpr CodecOption kPsdOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 1, 0, kPsdCompressions},
};

inline constexpr CodecInfo kPsdFormat = {
    3, "Photoshop", "8BPS", "psd", true, true, true, true,
    CodecWriter::Psd, nullptr, kPsdOptions};

} // namespace quillon::engine::codecs
