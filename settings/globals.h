#pragma once

#include <QString>

namespace quillon::settings {

// The exporter type ("four-character code") of an output format code 0..10; empty for any other.
// Any thread.
QString getFormat(int code);

} // namespace quillon::settings
