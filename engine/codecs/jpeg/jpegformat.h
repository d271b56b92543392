#pragma once

#include "engine/codecs/codecinfo.h"

namespace quillon::engine::codecs {

inline constexpr CodecOption kJpegOptions[] = {
    {"quality", "Quality", OptionKind::Int, 0, 100, 85, {}, "CompressionQuality"},
    {"progressive", "Progressive", OptionKind::Bool, 0, 1, 0, {}, "jpeg:progressive"},
};

inline constexpr CodecInfo kJpegFormat = {
    0, "JPEG", "JPEG", "jpg", false, true, true, true,
    CodecWriter::OpenImageIO, "jpeg", kJpegOptions,
    // libjpeg refuses larger pictures by ending the whole process, so never hand it one.
    nullptr, 0, false, false, 65500};

} // namespace quillon::engine::codecs
