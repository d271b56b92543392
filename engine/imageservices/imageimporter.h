#pragma once

#include "engine/imageservices/imagemetadata.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quillon::engine {

// Opens one picture file: any format OpenImageIO reads, plus Apple PICT and MacPaint through
// Quillon's own codecs (recognised by content). The picture comes back upright (the Exif
// orientation applied), 8 bits per channel: Format_ARGB32 (alpha not premultiplied) when the
// file has an alpha channel, Format_RGB32 otherwise. The size is checked against the limits of imagelimits.h from the
// header, before any pixels are decoded.
//
// One thread at a time uses an importer; importers on different threads are independent.
class ImageImporter
{
public:
    ImageImporter() = default;

    // Opens and decodes the file. False with errorString() naming the file and the reason.
    bool openFile(const QString& path);

    QString errorString() const { return m_error; }
    QString fileName() const { return m_path; }
    // The format as the decoder names it ("jpeg", "png", "pict", ...).
    QString formatName() const { return m_format; }

    QImage picture() const { return m_picture; }
    int width() const { return m_picture.width(); }
    int height() const { return m_picture.height(); }
    // Horizontal resolution in dots per inch, as stored (72 when the file states none).
    double horizontalResolution() const { return m_dpi; }
    // The ICC profile of the returned pixels: the embedded one, except after a CMYK picture
    // was converted to sRGB through its profile (then empty: the pixels are sRGB).
    QByteArray iccProfile() const { return m_icc; }
    // The ICC profile the file itself carries, empty when none.
    QByteArray fileIccProfile() const { return m_fileIcc; }
    ImageMetadata metadata() const { return m_metadata; }
    bool hasMetadata() const { return !m_metadata.isEmpty(); }
    QString metaDataString() const { return m_metadata.metaDataString(); }

private:
    void reset();
    bool fail(const QString& reason);
    bool openWithOwnCodec(const QByteArray& head, bool* handled);
    bool openWithOpenImageIO();
    bool openBmp(bool* handled);
    bool openJpeg();
    bool decodeCmykJpeg(const QByteArray& data, int width, int height, bool adobe,
                        bool withProfile);

    QString m_path;
    QString m_error;
    QString m_format;
    QImage m_picture;
    double m_dpi = 72;
    QByteArray m_icc;
    QByteArray m_fileIcc;
    ImageMetadata m_metadata;
};

} // namespace quillon::engine
