#pragma once

#include "engine/codecs/codecinfo.h"
#include "engine/codecs/exportoptions.h"
#include "engine/imageservices/imagemetadata.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quillon::settings {
class ExporterHandle;
}

namespace quillon::engine {

// How the output file of an export is claimed.
enum class Reservation {
    // The exporter reserves the name itself (O_EXCL); an existing file fails the export.
    Exclusive,
    // The caller already created the target as an empty file to reserve the name; the export
    // fills it. A non-empty file is never replaced. On failure the (empty) reservation stays:
    // it is the caller's to remove.
    CallerReserved,
};

// The result of an export: ok, or a readable message naming the file and the reason.
struct ExportResult
{
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

// A picture encoded into a hidden temporary file, not yet an output: ImageExporter::stage
// makes it, ImageExporter::commit turns it into the output file or removes it. Several images
// can be staged at once on different threads while their outputs are committed one at a time.
struct StagedExport
{
    QString file;       // the temporary file; empty when nothing was written
    QString reason;     // why nothing was written
    bool early = false; // refused before writing anything (no format, no picture, too large)
};

// Writes one picture in one output format (opened by its four-character type), with its
// options, resolution, ICC profile and copied metadata. Export() writes all or nothing: the
// data goes to a temporary file in the target's folder that is renamed onto the target only
// when complete; an existing file is never replaced.
//
// One thread at a time uses an exporter; exporters on different threads are independent.
class ImageExporter
{
public:
    ImageExporter() = default;
    explicit ImageExporter(const settings::ExporterHandle& handle);

    // Opens the exporter for a type ("JPEG", "jp2 ", ...); the options start at their
    // defaults. False (and not open) for a type no format has.
    bool openExporter(const QString& type);
    bool isOpen() const { return m_codec != nullptr; }
    const codecs::CodecInfo* codec() const { return m_codec; }
    QString type() const;

    // The options, and their settings text ("key=value;...").
    const codecs::ExportOptions& options() const { return m_options; }
    codecs::ExportOptions& options() { return m_options; }
    QString settings() const { return m_options.toText(); }
    void setSettings(const QString& text) { m_options.setText(text); }

    // Lower case, no dot; empty when not open.
    QString defaultFileNameExtension() const;

    void setResolution(double horizontal, double vertical);
    double horizontalResolution() const { return m_dpiX; }
    double verticalResolution() const { return m_dpiY; }

    // ICC profile to embed (empty: none). Formats that carry no profile ignore it.
    void setColorSyncProfileData(const QByteArray& icc) { m_icc = icc; }
    QByteArray colorSyncProfileData() const { return m_icc; }

    // Metadata to copy; copied only while Exif is enabled and the format takes metadata.
    void setExifEnabled(bool on) { m_exifEnabled = on; }
    bool exifEnabled() const { return m_exifEnabled; }
    void setMetaData(const ImageMetadata& metadata) { m_metadata = metadata; }
    ImageMetadata metaData() const { return m_metadata; }

    void setInputPicture(const QImage& picture) { m_picture = picture; }
    QImage inputPicture() const { return m_picture; }

    void setOutputFile(const QString& path, Reservation reservation = Reservation::Exclusive);
    QString outputFile() const { return m_output; }

    // Clears what belongs to one image: profile, Exif switch, metadata, input picture.
    // The options, the resolution and the output format stay.
    void cleanUp();

    // stage then commit onto the output file.
    ExportResult Export();

    // Encodes the picture with everything but the output file into a hidden temporary file
    // beside besidePath (same folder, same extension: some writers choose by it).
    StagedExport stage(const QString& besidePath);
    // Moves a staged file onto the output file, claimed as setOutputFile says; on failure the
    // staged file is removed and the error names the output file. staged.file is cleared.
    ExportResult commit(StagedExport& staged);

private:
    // Empty when written, else the reason.
    QString writeTo(const QString& path, const QImage& picture);
    bool keepsAlpha() const;

    const codecs::CodecInfo* m_codec = nullptr;
    codecs::ExportOptions m_options;
    double m_dpiX = 72;
    double m_dpiY = 72;
    QByteArray m_icc;
    bool m_exifEnabled = false;
    ImageMetadata m_metadata;
    QImage m_picture;
    QString m_output;
    Reservation m_reservation = Reservation::Exclusive;
};

// Embeds an ICC profile into a written file without re-encoding its pixels (replacing the
// profile it had). Done on a copy that replaces the file only when complete. A format that
// carries no profile is left as it is (and reported as ok). Any thread.
ExportResult embedProfileInPlace(const QString& path, const QByteArray& icc);

} // namespace quillon::engine
