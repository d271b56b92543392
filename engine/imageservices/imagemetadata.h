#pragma once

#include <QString>

#include <memory>

namespace quillon::engine {

struct ImageMetadataData;

// The metadata of a source picture that an export may copy: its Exif, XMP and IPTC, read by
// the importer. Opaque; copying shares the same read-only data, so one object may be handed
// from an importer to an exporter on another thread.
class ImageMetadata
{
public:
    ImageMetadata() = default;

    bool hasExif() const;
    bool hasXmp() const;
    bool hasIptc() const;
    // True when there is anything to copy.
    bool isEmpty() const { return !hasExif() && !hasXmp() && !hasIptc(); }

    // A short description of what is present ("Exif, XMP"); empty when isEmpty().
    QString metaDataString() const;

    // Internal: the library form, for the exporter.
    const ImageMetadataData* data() const { return m_data.get(); }
    explicit ImageMetadata(std::shared_ptr<const ImageMetadataData> data)
        : m_data(std::move(data))
    {
    }

private:
    std::shared_ptr<const ImageMetadataData> m_data;
};

} // namespace quillon::engine
