#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QIODevice;

namespace quillon::engine::codecs {

// Photoshop writer: one flat 8-bit layer-less document, RGB, or RGBA when the picture has
// alpha; raw or PackBits (RLE) image data; resolution (ResolutionInfo, 0x03ED) and ICC profile
// (0x040F) resources. Reading PSD is OpenImageIO's. Any thread.
bool writePsd(const QImage& picture, double dpi, const QByteArray& icc, bool rle, QIODevice& out,
              QString* error);

} // namespace quillon::engine::codecs
