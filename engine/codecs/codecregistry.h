#pragma once

#include "engine/codecs/codecinfo.h"

#include <QString>

#include <span>

namespace quillon::engine::codecs {

// The table of every output format, in format-code order (the Format menu's order).
// Any thread: the table is constant.
std::span<const CodecInfo> codecs();

// The format of an output code, or null for a code outside the table.
const CodecInfo* codecByCode(int code);

// The format of a four-character exporter type (exact, the trailing blank of "jp2 " and the
// leading dot of ".SGI" included), or null.
const CodecInfo* codecByType(const QString& type);

// The format whose OpenImageIO writer has this name ("jpeg", "iff", ...), or null.
const CodecInfo* codecByWriterFormat(const QString& name);

} // namespace quillon::engine::codecs
