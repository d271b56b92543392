#pragma once

#include <QImage>
#include <QString>

namespace quillon::engine {

// True when the name's last three characters, in any letter case, are one of the 19 camera
// raw endings (bay bmq cr2 crw cs1 dc2 dcr fff k25 kdc mos mrw nef orf pef raf rdc srf x3f).
// No dot is needed before them: "photoNEF" is raw, "x.nef.txt" is not. Any thread.
bool isRawImage(const QString& name);

// White balance of the raw decoder.
enum RawWhiteBalance : int {
    kRawWhiteBalanceNone = 0,   // the camera's daylight matrix balance
    kRawWhiteBalanceAuto = 1,   // computed from the picture
    kRawWhiteBalanceCamera = 2, // as shot, from the camera's own multipliers
};

// A decoded raw picture and what stands in for the importer's values.
struct RawImage
{
    QImage picture;          // 8-bit, ARGB32 premultiplied, opaque
    int nominalWidth = 0;    // the decoder's output size for this file
    int nominalHeight = 0;
    double xResolution = 72; // from the file's Exif, 72 when it states none
};

// Decodes a camera raw file. whiteBalance is one of RawWhiteBalance (others count as none);
// red and blue (-1..1, clamped) scale that channel's multiplier of the chosen balance by 2^m;
// brightness (-1..1, clamped) sets the output brightness to 2^m. Sizes are checked against
// the picture limits before any pixel is decoded; a file whose image data is missing or
// damaged is refused with a reason rather than decoded into garbage. Any thread (one
// decoder per call).
bool OpenRawImage(const QString& path, int whiteBalance, double red, double blue,
                  double brightness, RawImage* result, QString* error);

} // namespace quillon::engine
