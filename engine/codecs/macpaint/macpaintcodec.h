#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QIODevice;

namespace quillon::engine::codecs {

inline constexpr int kMacPaintWidth = 576;
inline constexpr int kMacPaintHeight = 720;

// True when the bytes begin like a MacPaint file: a MacBinary header of type "PNTG", or the
// bare 512-byte header (version 0, 2 or 3) followed by valid PackBits rows.
bool looksLikeMacPaint(const QByteArray& head);

// MacPaint reader (bare or MacBinary-wrapped): a 576 x 720 picture, black and white.
bool readMacPaint(const QByteArray& data, QImage* picture, QString* error);

// The 1-bit page a picture becomes in a MacPaint file: shrunk to fit 576 x 720 if larger
// (proportions kept), placed top-left on white, Atkinson-dithered. Returned as Format_Mono.
QImage macPaintPage(const QImage& picture);

// MacPaint writer: the page above, 512-byte header (version 2, empty patterns), PackBits rows.
bool writeMacPaint(const QImage& picture, QIODevice& out, QString* error);

} // namespace quillon::engine::codecs
