#pragma once

#include <QImage>
#include <QString>

class QPoint;
class QSize;

namespace quillon::engine {

// Picture operations of the pipeline. Every function returns a new picture and leaves its
// argument alone; a null argument gives a null result. Any thread (QImage and the raster
// painter are reentrant).

// Exact, lossless mirrors and quarter turns, in the argument's own pixel format.
QImage mic_FlipV(const QImage& picture);     // top and bottom exchanged
QImage mic_FlipH(const QImage& picture);     // left and right exchanged
QImage mic_Rotate90(const QImage& picture);  // 90 degrees clockwise
QImage mic_Rotate270(const QImage& picture); // 90 degrees counter-clockwise
QImage mic_Rotate180(const QImage& picture);

// The whole picture drawn scaled into a new 32-bit ARGB picture of exactly the given size:
// when both sides shrink, a tent filter as wide as the reduction (every source pixel counts);
// otherwise smooth (bilinear) drawing. Null when the
// size is below 1 x 1 or beyond the picture limits.
QImage drawScaled(const QImage& picture, const QSize& size);

// Draws overlay at its own size with its top-left corner at position onto target, blending by
// the overlay's alpha (its mask); parts outside target are cut off. Target keeps its format.
void drawMasked(QImage& target, const QImage& overlay, const QPoint& position);

// Reads a PNG file with its alpha channel as the picture's mask (ARGB32 premultiplied; a PNG
// without alpha comes back opaque). Refuses anything whose content is not PNG, whatever its
// name, and PNGs whose header states a size beyond the picture limits.
bool openAsPng(const QString& path, QImage* picture, QString* error);

} // namespace quillon::engine
