#pragma once

// Exiv2 access for the importer and the exporter. Private to engine/imageservices.

#include "engine/imageservices/imagemetadata.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <QByteArray>

namespace quillon::engine {

struct ImageMetadataData
{
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    Exiv2::IptcData iptc;
};

// Sets Exiv2 up once per process (XMP parser, quiet log). Any thread.
void initializeExiv2();

// Reads a file's Exif, XMP and IPTC; an empty object when the file has none or Exiv2 does
// not know the format. Damaged metadata is reported as none, never as a failure of the file.
ImageMetadata readMetadata(const QString& path);

// Writes metadata and/or an ICC profile into an existing file without touching its pixels.
// With `metadata`, the copied Exif gets the new dimensions, the resolution, Orientation 1 and
// no thumbnail. False with a message when Exiv2 cannot write the file.
struct MetadataUpdate
{
    const ImageMetadata* metadata = nullptr;
    int width = 0;
    int height = 0;
    double dpi = 72;
    const QByteArray* icc = nullptr;
};
bool updateFileMetadata(const QString& path, const MetadataUpdate& update, QString* error);

} // namespace quillon::engine
