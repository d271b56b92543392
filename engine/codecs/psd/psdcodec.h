#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QIODevice;

namespace quillon::engine::codecs {

// Photoshop writer: one flat 8-bit layer-less document, RGB, or RGBA when the picture has
// non-opaque alpha (a fourth, extra alpha channel; the colour is stored matted against white,
// as Photoshop stores a flat composite); raw or PackBits (RLE) image data; resolution
// (ResolutionInfo, 0x03ED) and ICC profile (0x040F) resources. Reading PSD is OpenImageIO's. Any thread.
bool writePsd(const QImage& picture, double dpi, const QByteArray& icc, bool rle, QIODevice& out,
              QString* error);

// True when the picture has an alpha channel with at least one pixel that is not opaque.
bool hasNonOpaqueAlpha(const QImage& picture);

} // namespace quillon::engine::codecs
