#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr const char* kTiffCompressions[] = {"lzw", "none", "deflate", "packbits", "jpeg"};
inline constexpr const char* kTiffWriterCompressions[] = {"lzw", "none", "zip", "packbits", "jpeg"};

inline constexpr CodecOption kTiffOptions[] = {
    {"compression", "Compression", OptionKind::Choice, 0, 4, 0, kTiffCompressions, "compression",
     kTiffWriterCompressions},
    {"quality", "JPEG quality", OptionKind::Int, 0, 100, 85, {}, "CompressionQuality"},
};

inline constexpr CodecInfo kTiffFormat = {
    2, "TIFF", "TIFF", "tif", true, true, true, true,
    CodecWriter::OpenImageIO, "tiff", kTiffOptions, "compression", 4, true};

} // namespace quillon::engine::codecs
