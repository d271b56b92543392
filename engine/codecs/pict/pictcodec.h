#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QIODevice;

namespace quillon::engine::codecs {

// True when the bytes begin like a version 2 (or version 1) PICT, with or without the
// 512-byte application header. Looks at no more than the first 1 KiB.
bool looksLikePict(const QByteArray& head);

// Apple PICT reader: version 1 and 2 pictures made of bitmap opcodes (BitsRect, PackBitsRect
// with 1- to 8-bit pixels and their colour table, DirectBitsRect/Rgn with 16- or 32-bit pixels,
// packType 1 to 4), with or without the 512-byte header; other opcodes are skipped by their
// lengths, QuickTime-compressed pictures are refused. The picture is the frame (the native
// rectangle of an extended version 2 header) on white. Returns RGB32, or ARGB32 when a fourth
// component carries alpha (one that is all zero is taken as unused), and the resolution of
// that header, else of the first direct pixel map, else 72. Sizes are checked against
// imagelimits.h before allocation; damaged data fails with a message. Any thread.
bool readPict(const QByteArray& data, QImage* picture, double* dpi, QString* error);

// Apple PICT writer: 512-byte zero header, version 2 with an extended header giving the
// resolution, one 32-bit DirectBitsRect of the picture composited over white, rows PackBits
// packed per component (packType 4, alpha plane written opaque) or unpacked (packType 1).
// At most 4095 pixels a row (QuickDraw's row limit) and 32767 rows. Any thread.
bool writePict(const QImage& picture, double dpi, bool packBits, QIODevice& out, QString* error);

} // namespace quillon::engine::codecs
