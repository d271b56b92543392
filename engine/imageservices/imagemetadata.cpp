#include "engine/imageservices/imagemetadata_p.h"

#include <QStringList>

#include <mutex>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace quillon::engine {

bool ImageMetadata::hasExif() const
{
    return m_data && !m_data->exif.empty();
}

bool ImageMetadata::hasXmp() const
{
    return m_data && !m_data->xmp.empty();
}

bool ImageMetadata::hasIptc() const
{
    return m_data && !m_data->iptc.empty();
}

QString ImageMetadata::metaDataString() const
{
    QStringList parts;
    if (hasExif())
        parts << QStringLiteral("Exif");
    if (hasXmp())
        parts << QStringLiteral("XMP");
    if (hasIptc())
        parts << QStringLiteral("IPTC");
    return parts.join(QStringLiteral(", "));
}

namespace {

// Exiv2's XMP toolkit keeps global state; with this lock its calls from several threads (the
// batch's workers read and write metadata at once) take turns.
std::mutex xmpToolkitMutex;

void lockXmpToolkit(void* data, bool lock)
{
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

} // namespace

void initializeExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize(lockXmpToolkit, &xmpToolkitMutex);
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

ImageMetadata readMetadata(const QString& path)
{
    initializeExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.toStdString());
        if (!image.get())
            return {};
        image->readMetadata();
        auto data = std::make_shared<ImageMetadataData>();
        data->exif = image->exifData();
        data->xmp = image->xmpData();
        data->iptc = image->iptcData();
        if (data->exif.empty() && data->xmp.empty() && data->iptc.empty())
            return {};
        return ImageMetadata(std::move(data));
    } catch (const std::exception&) {
        return {};
    }
}

namespace {

// Tags that describe the source file's own pixel layout; the written file has its own.
const char* const kLayoutTags[] = {
    "Exif.Image.ImageWidth",       "Exif.Image.ImageLength",    "Exif.Image.BitsPerSample",
    "Exif.Image.Compression",      "Exif.Image.PhotometricInterpretation",
    "Exif.Image.StripOffsets",     "Exif.Image.SamplesPerPixel", "Exif.Image.RowsPerStrip",
    "Exif.Image.StripByteCounts",  "Exif.Image.PlanarConfiguration", "Exif.Image.TileWidth",
    "Exif.Image.TileLength",       "Exif.Image.TileOffsets",    "Exif.Image.TileByteCounts",
    "Exif.Image.Predictor",        "Exif.Image.ExtraSamples",   "Exif.Image.SampleFormat",
    "Exif.Image.YCbCrSubSampling", "Exif.Image.YCbCrPositioning", "Exif.Image.YCbCrCoefficients",
    "Exif.Image.JPEGInterchangeFormat", "Exif.Image.JPEGInterchangeFormatLength",
    "Exif.Image.InterColorProfile",
};

void eraseKey(Exiv2::ExifData& exif, const char* key)
{
    auto it = exif.findKey(Exiv2::ExifKey(key));
    while (it != exif.end()) {
        exif.erase(it);
        it = exif.findKey(Exiv2::ExifKey(key));
    }
}

void prepareExif(Exiv2::ExifData& exif, int width, int height, double dpi)
{
    Exiv2::ExifThumb(exif).erase();
    for (const char* key : kLayoutTags)
        eraseKey(exif, key);
    // Drop everything of the thumbnail directory too (IFD1), not only its image.
    for (auto it = exif.begin(); it != exif.end();) {
        if (it->groupName() == "Thumbnail")
            it = exif.erase(it);
        else
            ++it;
    }
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Photo.PixelXDimension"] = uint32_t(width);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(height);
    const Exiv2::URational res(int(dpi * 100 + 0.5), 100);
    exif["Exif.Image.XResolution"] = res;
    exif["Exif.Image.YResolution"] = res;
    exif["Exif.Image.ResolutionUnit"] = uint16_t(2);
}

void prepareXmp(Exiv2::XmpData& xmp, int width, int height)
{
    if (xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation")) != xmp.end())
        xmp["Xmp.tiff.Orientation"] = "1";
    if (xmp.findKey(Exiv2::XmpKey("Xmp.exif.PixelXDimension")) != xmp.end())
        xmp["Xmp.exif.PixelXDimension"] = std::to_string(width);
    if (xmp.findKey(Exiv2::XmpKey("Xmp.exif.PixelYDimension")) != xmp.end())
        xmp["Xmp.exif.PixelYDimension"] = std::to_string(height);
}

} // namespace

bool updateFileMetadata(const QString& path, const MetadataUpdate& update, QString* error)
{
    initializeExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.toStdString());
        if (!image.get())
            throw Exiv2::Error(Exiv2::kerFileContainsUnknownImageType);
        image->readMetadata();
        if (update.metadata && update.metadata->data()) {
            const ImageMetadataData* data = update.metadata->data();
            Exiv2::ExifData exif = data->exif;
            if (!exif.empty())
                prepareExif(exif, update.width, update.height, update.dpi);
            Exiv2::XmpData xmp = data->xmp;
            prepareXmp(xmp, update.width, update.height);
            image->setExifData(exif);
            image->setXmpData(xmp);
            image->setIptcData(data->iptc);
        }
        if (update.icc && !update.icc->isEmpty()) {
            Exiv2::DataBuf buf(reinterpret_cast<const Exiv2::byte*>(update.icc->constData()),
                               long(update.icc->size()));
            image->setIccProfile(buf, true);
        }
        image->writeMetadata();
        return true;
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("Cannot write the metadata of \"%1\": %2")
                         .arg(path, QString::fromLocal8Bit(e.what()));
        return false;
    }
}

} // namespace quillon::engine
