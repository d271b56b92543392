#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kPsdCompressions[] = {"rle", "none"};

inline constexpr CodecOption kPsdOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 1, 0, kPsdCompressions},
};

inline constexpr CodecInfo kPsdFormat = {
    // Written flat and composited over white: readers (ImageMagick, OpenImageIO, and Photoshop,
    // which shows an extra channel only as "Alpha 1") would otherwise disagree on the pixels.
    3, "Photoshop", "8BPS", "psd", false, true, true, true,
    CodecWriter::Psd, nullptr, kPsdOptions};

} // namespace quillon::engine::codecs
