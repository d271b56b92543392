#pragma once

#include "engine/imageservices/imagemetadata.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

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

    // Shrink-on-load. Called by openFile once the file's own upright size is known and before
    // its pixels are decoded, with that size; the answer is the size the caller will shrink the
    // picture to (an empty size: none). A JPEG may then be decoded reduced in the DCT domain,
    // never below that size in either direction (jpegShrinkScale in jpegdecoder.h says when);
    // other formats come back in full. Kept for later openFile calls; an empty function
    // turns it off.
    void setSizeRequest(std::function<QSize(const QSize& fileSize)> request)
    {
        m_sizeRequest = std::move(request);
    }
    // The file's own picture size, upright: what a full decode gives. The picture's size
    // unless it was decoded reduced.
    QSize fileSize() const { return m_fileSize.isEmpty() ? m_picture.size() : m_fileSize; }

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
    std::function<QSize(const QSize&)> m_sizeRequest;
    QSize m_fileSize;
};

} // namespace quillon::engine
