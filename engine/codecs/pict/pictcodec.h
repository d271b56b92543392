#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QIODevice;

namespace quillon::engine::codecs {

// True when the bytes begin like a version 2 (or version 1) PICT, with or without the
// 512-byte application header. Looks at no more than the first 1 KiB.
bool looksLikePict(const QByteArray& head);

// Apple PICT reader: version 1 and 2 pictures made of bitmap opcodes (BitsRect, PackBitsRect,
// DirectBitsRect with PackBits), with or without the 512-byte header. Returns an RGB32 or
// ARGB32 picture and the horizontal resolution (72 when the picture states none).
bool readPict(const QByteArray& data, QImage* picture, double* dpi, QString* error);

// Apple PICT writer: version 2, one 32-bit DirectBitsRect, PackBits (packBits) or unpacked
// rows, the resolution in the header. Any thread.
bool writePict(const QImage& picture, double dpi, bool packBits, QIODevice& out, QString* error);

} // namespace quillon::engine::codecs
