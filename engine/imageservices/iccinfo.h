#pragma once

#include <QByteArray>
#include <QString>

namespace quillon::engine {

// ICC profile bytes checked and described with LittleCMS. Any thread.

// True when LittleCMS opens the bytes as a profile.
bool iccProfileIsValid(const QByteArray& icc);

// The profile's description tag (English where there is a choice); empty when the bytes are
// not a profile or carry no description.
QString iccProfileDescription(const QByteArray& icc);

// True when the profile describes CMYK data.
bool iccProfileIsCmyk(const QByteArray& icc);

} // namespace quillon::engine
