#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kTgaCompressions[] = {"rle", "none"};

inline constexpr CodecOption kTgaOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 1, 0, kTgaCompressions, "compression",
     kTgaCompressions},
};

inline constexpr CodecInfo kTgaFormat = {
    9, "Targa", "TPIC", "tga", true, false, false, true,
    CodecWriter::OpenImageIO, "targa", kTgaOptions};

} // namespace quillon::engine::codecs
