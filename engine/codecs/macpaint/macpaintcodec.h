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

// MacPaint reader (bare or MacBinary-wrapped): a 576 x 720 Format_Mono picture (colour 0 white,
// 1 black) at 72 dpi. Damaged data fails with a message. Any thread.
bool readMacPaint(const QByteArray& data, QImage* picture, QString* error);

// The 1-bit page a picture becomes in a MacPaint file: shrunk to fit 576 x 720 if larger
// (proportions kept), composited over white, placed top-left on white, Atkinson-dithered
// (error outside the picture is dropped). Returned as Format_Mono. Any thread.
QImage macPaintPage(const QImage& picture);

// MacPaint writer: the page above, bare (no MacBinary header), 512-byte header (version 2,
// empty patterns), PackBits rows. Any thread.
bool writeMacPaint(const QImage& picture, QIODevice& out, QString* error);

} // namespace quillon::engine::codecs
