#pragma once

#include <QByteArray>
#include <QString>

namespace quillon::engine {

// Validity and description of ICC bytes: isValidIccProfile() and iccDescription() in
// colorprofiles.h. Any thread.

// True when the profile describes CMYK data.
bool iccProfileIsCmyk(const QByteArray& icc);

} // namespace quillon::engine
