#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace quillon::engine {

// A DCT-domain scale factor of the JPEG decoder: the picture comes out numerator/denominator
// of its stored size (each side rounded up).
struct JpegScale
{
    int numerator = 1;
    int denominator = 1;

    bool isFull() const { return numerator == denominator; }
    friend bool operator==(const JpegScale&, const JpegScale&) = default;
};

// The side of a stored side at a scale, as the decoder makes it (rounded up).
int jpegScaledSide(int side, JpegScale scale);

// The smallest of the decoder's reducing factors (1/8 up to 1) that leaves a picture of
// storedSize at least minimum in both directions; the full size when minimum is empty or no
// factor below 1 keeps it that large.
JpegScale jpegScaleAtLeast(const QSize& storedSize, const QSize& minimum);

// The factor a shrink-on-load decode uses for a picture of storedSize that will be resized to
// target: 1/2 when the half-size picture is still at least kJpegShrinkMargin times target in
// both directions, otherwise 1 (full size). Measured on camera photographs against a full
// decode resized by area averaging: a half-size decode followed by a resize of 1.25 or more
// stays above 40 dB PSNR; the smaller factors (1/4, 1/8) and the odd ones (3/8 .. 7/8) keep
// detail that area averaging removes and fall to 33-37 dB on sharp pictures, and so does a
// half-size decode followed by a very small resize. Pictures under kJpegShrinkMinimumPixels
// are always decoded in full: they decode in a few milliseconds, so a reduced decode saves
// nothing, and in so few pixels every one is fine detail that the two paths render apart.
inline constexpr double kJpegShrinkMargin = 1.25;
inline constexpr qint64 kJpegShrinkMinimumPixels = 1'000'000;
JpegScale jpegShrinkScale(const QSize& storedSize, const QSize& target);

// A JPEG decoded by libjpeg-turbo, possibly reduced.
struct DecodedJpeg
{
    QImage picture;  // upright (Exif orientation applied), Format_RGB32; null on failure
    QSize fileSize;  // the file's own picture size, upright: what a full decode gives
    JpegScale scale; // the factor used
    QString error;   // readable reason when picture is null

    bool ok() const { return !picture.isNull(); }
};

// The Exif orientation (1..8) a JPEG's data states; 1 when it states none or a value outside
// 1..8.
int jpegExifOrientation(const QByteArray& data);

// Decodes a JPEG held in memory, at full size when targetUpright is empty, otherwise at the
// factor jpegShrinkScale chooses for that resize target (upright). orientation is the Exif
// orientation to apply (values outside 1..8 count as 1). Refuses, with a reason: data that is
// not a baseline or progressive JPEG, CMYK and YCCK JPEGs (they need their profile to become
// RGB), a stored size beyond the picture limits, and damaged data, including data the decoder
// only warns about (truncated files); a caller that falls back to its ordinary reader then
// treats such a file exactly as before. name only appears in messages. Any thread; each call
// is independent.
DecodedJpeg decodeJpeg(const QByteArray& data, const QSize& targetUpright, int orientation,
                       const QString& name);

// The same for a file, the orientation read from its own Exif data.
DecodedJpeg decodeJpegFile(const QString& path, const QSize& targetUpright);

// True when data starts like a JPEG (SOI marker followed by another marker).
bool looksLikeJpeg(const QByteArray& head);

} // namespace quillon::engine
