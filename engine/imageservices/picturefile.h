#pragma once

#include <QByteArray>
#include <QString>

namespace quillon::engine {

// How many leading bytes the picture-file test reads.
inline constexpr qint64 kSniffBytes = 4096;

// IsPictureFileMBS: true when the file looks like a picture Quillon opens, judged from its
// first bytes (the magic numbers of JPEG, PNG, GIF, TIFF, BMP, PSD, JPEG 2000, SGI, IFF, WebP,
// HEIF/AVIF, PNM, ICO, OpenEXR, DPX, Radiance HDR, PICT and MacPaint) or, for formats without
// a magic number, from its name (Targa .tga/.tpic, camera raw endings). Never decodes the
// picture; an empty or unreadable file is not a picture file. Any thread.
bool IsPictureFileMBS(const QString& path);

// The content test alone, on the first bytes of a file.
bool looksLikePicture(const QByteArray& head);

} // namespace quillon::engine
