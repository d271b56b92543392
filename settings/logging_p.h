#pragma once

#include <QLoggingCategory>

namespace quillon::settings {

// The settings library's one logging category, "quillon.settings"; warnings and above by default.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

} // namespace quillon::settings
