#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kSgiCompressions[] = {"rle", "none"};

inline constexpr CodecOption kSgiOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 1, 0, kSgiCompressions, "compression",
     kSgiCompressions},
};

// The compression is kept in the settings text but offered in no options dialog.
inline constexpr CodecInfo kSgiFormat = {
    6, "Silicon Graphics SGI", ".SGI", "sgi", true, false, false, false,
    CodecWriter::OpenImageIO, "sgi", kSgiOptions};

} // namespace quillon::engine::codecs
