#include "engine/pipeline/imagepipeline.h"

#include "engine/imageservices/colorprofiles.h"
#include "engine/imageservices/imageexporter.h"
#include "engine/imageservices/imageimporter.h"
#include "engine/imageservices/rawimage.h"
#include "engine/steps/colorsyncstep.h"
#include "engine/steps/fliprotatestep.h"
#include "engine/steps/picturescaler.h"
#include "engine/steps/scalestep.h"
#include "engine/steps/shrinkonload.h"
#include "engine/steps/watermarkstep.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace quillon::engine {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

double rawMultiplier(int sliderPosition)
{
    return std::min(1.0, double(sliderPosition) / 136 * 2 - 1);
}

bool openRawFile(const QString& path, const settings::rawSetting& step, RawImage* raw,
                 QString* error)
{
    RawImage decoded;
    if (!OpenRawImage(path, step.rawWhiteBalance, rawMultiplier(step.rawRed),
                      rawMultiplier(step.rawBlue), rawMultiplier(step.rawBrightness), &decoded,
                      error))
        return false;
    if (decoded.picture.isNull()) {
        if (error)
            *error = QStringLiteral("%1: the raw decoder gave no picture").arg(shown(path));
        return false;
    }
    if (decoded.picture.width() != decoded.nominalWidth ||
        decoded.picture.height() != decoded.nominalHeight) {
        ScaleResult scaled = PictureScaler::ScaleInPixels(decoded.picture, decoded.nominalWidth,
                                                          decoded.nominalHeight);
        if (!scaled.ok()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(shown(path), scaled.error);
            return false;
        }
        decoded.picture = scaled.picture;
    }
    *raw = std::move(decoded);
    return true;
}

OpenedImage openFile(const settings::SettingsStore& steps, const QString& path, int label)
{
    OpenedImage image;
    image.path = path;
    image.label = label;
    for (const auto& format : steps.formatt) {
        if (format->getLabel() == label) {
            image.format = format;
            break;
        }
    }
    if (!image.format) {
        image.error = QStringLiteral("%1: no Format step for its label").arg(shown(path));
        return image;
    }
    if (!image.format->exporter || !image.format->exporter->isOpen()) {
        image.error = QStringLiteral("%1: the Format step of its label has no output format")
                          .arg(shown(path));
        image.format.reset();
        return image;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        image.error = QStringLiteral("%1: the file no longer exists").arg(shown(path));
        return image;
    }
    if (!info.isFile() || !info.isReadable()) {
        image.error = QStringLiteral("%1: the file cannot be read").arg(shown(path));
        return image;
    }

    image.isRaw = isRawImage(info.fileName());
    if (image.isRaw) {
        bool anyStep = false;
        for (const auto& rawStep : steps.raw) {
            if (rawStep->getLabel() != label)
                continue;
            anyStep = true;
            RawImage raw;
            QString error;
            if (openRawFile(path, *rawStep, &raw, &error)) {
                image.picture = raw.picture;
                image.resolution = raw.xResolution;
                image.error.clear();
            } else {
                image.picture = QImage();
                image.error = error;
            }
        }
        if (!anyStep) {
            image.error = QStringLiteral("%1: a camera raw file, and its label has no Raw step")
                              .arg(shown(path));
            return image;
        }
        // The image services read no metadata from raw files yet, so a raw image's output
        // carries none; its resolution comes from the raw file's Exif.
        return image;
    }

    ImageImporter importer;
    // A JPEG whose first picture-changing step shrinks it is decoded reduced.
    importer.setSizeRequest([&](const QSize& fileSize) {
        const ShrinkOnLoad plan = shrinkOnLoadFor(steps.setting, label, fileSize);
        image.shrinkApplies = plan.applies;
        image.shrinkStep = plan.stepIndex;
        image.shrinkTarget = plan.target;
        return plan.applies ? plan.target : QSize();
    });
    if (!importer.openFile(path)) {
        image.error = importer.errorString();
        return image;
    }
    image.picture = importer.picture();
    image.resolution = importer.horizontalResolution();
    image.profile = getColorSyncProfile(importer.iccProfile());
    image.metadata = importer.metadata();
    if (image.picture.isNull())
        image.error = QStringLiteral("%1: the importer gave no picture").arg(shown(path));
    return image;
}

ProcessedImage applySteps(const settings::SettingsStore& steps, OpenedImage& image)
{
    ProcessedImage result;
    result.picture = std::move(image.picture);
    image.picture = QImage();
    const int sourceResolution = int(std::trunc(image.resolution));
    for (std::size_t index = 0; index < steps.setting.size(); ++index) {
        const auto& item = steps.setting[index];
        if (item->getLabel() != image.label)
            continue;
        switch (item->type) {
        case settings::kScaleKind:
            if (auto* step = dynamic_cast<const settings::scaleSetting*>(item.get())) {
                QString error;
                // After a reduced decode the size comes from the file's own size.
                const QSize dimensionsSize = image.shrinkApplies && index == image.shrinkStep
                                                 ? image.shrinkTarget
                                                 : QSize();
                if (!function_Scale(result.picture, sourceResolution, *step, &result.resolution,
                                    &error, dimensionsSize)) {
                    result.error = QStringLiteral("%1: %2").arg(shown(image.path), error);
                    return result;
                }
                result.resolutionSet = true;
            }
            break;
        case settings::kFlipRotateKind:
            if (auto* step = dynamic_cast<const settings::flipRotateSetting*>(item.get()))
                function_FlipAndRotate(result.picture, *step);
            break;
        case settings::kWatermarkKind:
            if (auto* step = dynamic_cast<const settings::watermarkSetting*>(item.get())) {
                QString warning;
                function_watermark(result.picture, *step, &warning);
                if (!warning.isEmpty())
                    result.warnings << warning;
            }
            break;
        case settings::kColorSyncKind:
            if (auto step = std::dynamic_pointer_cast<settings::colorsyncSetting>(item)) {
                function_colorSync(*step, image.profile, result.exportProfile);
                result.colorSyncStep = step;
            }
            break;
        case settings::kNameKind:
            if (auto step = std::dynamic_pointer_cast<settings::nameSetting>(item))
                result.nameSteps.push_back(step);
            break;
        default:
            break;
        }
    }
    if (result.picture.isNull())
        result.error = QStringLiteral("%1: the steps left no picture").arg(shown(image.path));
    return result;
}

void cleanUpExporter(ImageExporter& exporter)
{
    exporter.cleanUp();
}

QString formatExtension(const settings::formatSetting& format)
{
    if (!format.exporter || !format.exporter->isOpen())
        return {};
    ImageExporter exporter(*format.exporter);
    return exporter.defaultFileNameExtension().toLower();
}

namespace {

// A fresh exporter of the image's Format step with everything of this image but the target.
void prepareExporter(ImageExporter& exporter, const OpenedImage& image,
                     const ProcessedImage& processed)
{
    cleanUpExporter(exporter);
    // Without a Scaling step the output keeps the source's resolution.
    const double resolution = processed.resolutionSet ? processed.resolution : image.resolution;
    exporter.setResolution(resolution, resolution);
    exporter.setColorSyncProfileData(processed.exportProfile);
    exporter.setInputPicture(processed.picture);
    if (!image.metadata.isEmpty()) {
        exporter.setExifEnabled(true);
        exporter.setMetaData(image.metadata);
    }
}

} // namespace

StagedImage stageImage(const OpenedImage& image, const ProcessedImage& processed,
                       const QString& besidePath)
{
    StagedImage staged;
    staged.folder = QFileInfo(besidePath).absolutePath();
    ImageExporter exporter(*image.format->exporter);
    prepareExporter(exporter, image, processed);
    staged.export_ = exporter.stage(besidePath);
    return staged;
}

WrittenImage commitImage(const OpenedImage& image, const ProcessedImage& processed,
                         StagedImage& staged, const QString& target,
                         const ColorProfiles& profiles)
{
    WrittenImage written;
    ImageExporter exporter(*image.format->exporter);
    exporter.setOutputFile(target, Reservation::CallerReserved);
    const ExportResult result = exporter.commit(staged.export_);
    staged.folder.clear();
    if (!result.ok) {
        written.error = result.error;
        // Only the empty reservation can be left behind; the exporter never leaves data.
        const QFileInfo left(target);
        if (left.exists() && left.size() == 0)
            QFile::remove(target);
        return written;
    }
    written.ok = true;
    QString error;
    if (!putColorSyncProfile(target, processed.colorSyncStep.get(), profiles, &error))
        written.warning = QStringLiteral("%1: %2").arg(shown(target), error);
    return written;
}

void dropStagedImage(StagedImage& staged)
{
    if (!staged.export_.file.isEmpty())
        QFile::remove(staged.export_.file);
    staged.export_.file.clear();
    staged.folder.clear();
}

WrittenImage writeImage(const OpenedImage& image, const ProcessedImage& processed,
                        const QString& target, const ColorProfiles& profiles)
{
    StagedImage staged = stageImage(image, processed, target);
    return commitImage(image, processed, staged, target, profiles);
}

} // namespace quillon::engine
