#pragma once

#include "engine/imageservices/imageexporter.h"
#include "engine/imageservices/imagemetadata.h"
#include "settings/settingkinds.h"
#include "settings/settingsstore.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

namespace quillon::engine {

class ColorProfiles;
class ImageExporter;
struct RawImage;

// The per-image order of work, cut into stages so that the stages that touch only one image
// (opening, the picture steps, writing) can run for several images at once, while the stages
// that give out names, serial numbers and reservations, raise events and upload run one image
// at a time in collection order (the batch job does those). The functions below keep no state
// between calls and change nothing but their own results; they read the steps, which nobody
// changes during a run. Any thread.

// An image opened by its label's Format step, with what stands in for the importer's values.
struct OpenedImage
{
    QString path;
    int label = 0; // the file's Finder label number
    std::shared_ptr<settings::formatSetting> format;
    bool isRaw = false;
    QImage picture;         // null when the image could not be opened
    double resolution = 72; // the source's horizontal resolution in dots per inch
    QByteArray profile;     // the valid embedded profile of the pixels; empty when none
    ImageMetadata metadata; // the Exif, XMP and IPTC to copy
    QString error;          // why picture is null
    // Shrink-on-load: the first picture-changing step is the Scaling step at index shrinkStep
    // of the step list, and its resize by the dimensions gives the file's own picture
    // shrinkTarget; the picture may have been decoded reduced (but at least that large).
    bool shrinkApplies = false;
    std::size_t shrinkStep = 0;
    QSize shrinkTarget;

    bool ok() const { return !picture.isNull(); }
};

// openFile: the first Format step of the image's label, with an exporter, then the picture:
// through the raw decoder for a raw image (every matching Raw step in turn, the last one's
// picture counts), through the importer otherwise. label is the file's Finder label number.
OpenedImage openFile(const settings::SettingsStore& steps, const QString& path, int label);

// The multiplier of a raw slider position: v / 136 * 2 - 1, at most 1.
double rawMultiplier(int sliderPosition);

// openRawFile: decodes with one Raw step; a picture whose size differs from the decoder's
// nominal size is scaled to it. False with a reason when nothing could be decoded.
bool openRawFile(const QString& path, const settings::rawSetting& step, RawImage* raw,
                 QString* error);

// The outcome of the picture steps of one image.
struct ProcessedImage
{
    QImage picture;
    bool resolutionSet = false; // a Scaling step chose the output resolution
    double resolution = 0;
    QByteArray exportProfile; // profile the exporter writes (a "Use Original Profile" step)
    std::shared_ptr<settings::colorsyncSetting> colorSyncStep;     // the last that applied
    std::vector<std::shared_ptr<settings::nameSetting>> nameSteps; // those that apply, in order
    QStringList warnings; // steps that could not act (a watermark that did not open)
    QString error;        // set when a step failed the image

    bool ok() const { return error.isEmpty() && !picture.isNull(); }
};

// Pipeline step (d) without the names: walks the step list in order and applies every
// Scaling, Flip & Rotate, Watermark and ColorSync step of the image's label to the picture,
// and notes the File Name steps for the naming stage. Takes the picture out of image.
ProcessedImage applySteps(const settings::SettingsStore& steps, OpenedImage& image);

// cleanUpExporter: clears what belongs to one image (profile, Exif, metadata, picture).
void cleanUpExporter(ImageExporter& exporter);

// The outcome of writing one output.
struct WrittenImage
{
    bool ok = false;
    QString error;   // why nothing was written (the reservation is then removed)
    QString warning; // written, but the chosen profile could not be embedded
};

// An output encoded ahead of its name: the encoded file waits, hidden, in the folder the output
// goes to until the batch gives it its name (commitImage) or drops it (dropStagedImage).
struct StagedImage
{
    QString folder;      // where it was staged; empty when nothing was staged
    StagedExport export_; // the temporary file, or why encoding failed
};

// The encoding half of writeImage, for a folder instead of a target: the picture, resolution,
// profile and metadata go to a fresh exporter of the Format step, which writes a hidden
// temporary file beside besidePath: in its folder, named after it, with its extension (some
// writers choose details by the extension).
StagedImage stageImage(const OpenedImage& image, const ProcessedImage& processed,
                       const QString& besidePath);
// The naming half: moves the staged file onto target (reserved, empty, by the caller), then
// embeds a profile chosen by "Other:" in place. On failure nothing partial remains and the
// reservation is removed; the staged file is always used up.
WrittenImage commitImage(const OpenedImage& image, const ProcessedImage& processed,
                         StagedImage& staged, const QString& target,
                         const ColorProfiles& profiles);
// Removes a staged file that will not become an output.
void dropStagedImage(StagedImage& staged);

// Steps (e), (h) and (i) up to the profile: gives the picture, the resolution, the profile
// and the metadata to a fresh exporter of the Format step and writes into target, a file the
// caller reserved (created empty). Then embeds a profile chosen by "Other:" in place. On
// failure nothing partial remains and the reservation is removed.
WrittenImage writeImage(const OpenedImage& image, const ProcessedImage& processed,
                        const QString& target, const ColorProfiles& profiles);

// The exporter's usual extension for a Format step, lower case; empty when it has none.
QString formatExtension(const settings::formatSetting& format);

} // namespace quillon::engine
