#include "engine/imageservices/rawimage.h"

#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/imagemetadata_p.h"

#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>
#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace quillon::engine {

namespace {

constexpr std::array<const char*, 19> kRawEndings = {
    "bay", "bmq", "cr2", "crw", "cs1", "dc2", "dcr", "fff", "k25", "kdc",
    "mos", "mrw", "nef", "orf", "pef", "raf", "rdc", "srf", "x3f"};

// Called by LibRaw whenever it meets data it cannot make sense of (stripped or truncated image
// data); such a file is refused instead of handing back a picture of noise.
void noteDataError(void* data, const char*, const int)
{
    *static_cast<bool*>(data) = true;
}

QString librawReason(int code)
{
    return QString::fromLatin1(libraw_strerror(code));
}

double xResolutionOf(const QString& path)
{
    // Once for the process: quiet, and its XMP toolkit safe for several threads.
    initializeExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        if (!image.get())
            return 72;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.XResolution"));
        if (it != exif.end() && it->count() > 0) {
            const double value = it->toFloat(0);
            if (std::isfinite(value) && value > 0)
                return value;
        }
    } catch (const std::exception&) {
        // A file Exiv2 cannot parse simply states no resolution.
    }
    return 72;
}

struct Decoder
{
    std::unique_ptr<LibRaw> raw = std::make_unique<LibRaw>(0);
    bool dataError = false;

    Decoder() { raw->set_dataerror_handler(noteDataError, &dataError); }
    ~Decoder() { raw->recycle(); }
};

} // namespace

bool isRawImage(const QString& name)
{
    const QString ending = name.right(3).toLower();
    if (ending.size() != 3)
        return false;
    return std::any_of(kRawEndings.begin(), kRawEndings.end(),
                       [&](const char* raw) { return ending == QLatin1String(raw); });
}

bool OpenRawImage(const QString& path, int whiteBalance, double red, double blue,
                  double brightness, RawImage* result, QString* error)
{
    *result = RawImage();
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        *error = QStringLiteral("%1: no such file or empty file").arg(path);
        return false;
    }
    const QByteArray localPath = QFile::encodeName(path);
    red = std::clamp(red, -1.0, 1.0);
    blue = std::clamp(blue, -1.0, 1.0);
    brightness = std::clamp(brightness, -1.0, 1.0);

    // The nominal size is the output size LibRaw computes from the header alone; finding it
    // spoils that decoder for unpacking, so the pixels come from a second one.
    {
        Decoder probe;
        int code = probe.raw->open_file(localPath.constData());
        if (code != LIBRAW_SUCCESS) {
            *error = QStringLiteral("%1: not a raw file this decoder reads (%2)")
                         .arg(path, librawReason(code));
            return false;
        }
        const auto& sizes = probe.raw->imgdata.sizes;
        if (!pictureSizeAllowed(sizes.raw_width, sizes.raw_height, 8)) {
            *error = QStringLiteral("%1: raw size %2 x %3 is beyond the limits")
                         .arg(path)
                         .arg(sizes.raw_width)
                         .arg(sizes.raw_height);
            return false;
        }
        probe.raw->adjust_sizes_info_only();
        result->nominalWidth = sizes.iwidth;
        result->nominalHeight = sizes.iheight;
        if (sizes.flip & 4)
            std::swap(result->nominalWidth, result->nominalHeight);
        if (!pictureSizeAllowed(result->nominalWidth, result->nominalHeight, 8)) {
            *error = QStringLiteral("%1: picture size %2 x %3 is beyond the limits")
                         .arg(path)
                         .arg(result->nominalWidth)
                         .arg(result->nominalHeight);
            return false;
        }
    }

    Decoder decoder;
    LibRaw& raw = *decoder.raw;
    auto& params = raw.imgdata.params;
    int code = raw.open_file(localPath.constData());
    if (code == LIBRAW_SUCCESS)
        code = raw.unpack();
    if (code != LIBRAW_SUCCESS || decoder.dataError) {
        *error = QStringLiteral("%1: the raw image data cannot be read (%2)")
                     .arg(path, decoder.dataError ? QStringLiteral("damaged or missing data")
                                                  : librawReason(code));
        return false;
    }
    params.output_bps = 8;
    params.use_auto_wb = whiteBalance == kRawWhiteBalanceAuto ? 1 : 0;
    params.use_camera_wb = whiteBalance == kRawWhiteBalanceCamera ? 1 : 0;
    params.bright = float(std::exp2(brightness));
    code = raw.dcraw_process();
    if (code == LIBRAW_SUCCESS && (red != 0 || blue != 0)) {
        // The chosen balance's multipliers are known only once LibRaw has applied them (auto
        // balance is measured during processing); they are then scaled and applied again.
        const float* used = raw.imgdata.color.pre_mul;
        float mul[4] = {used[0], used[1], used[2], used[3] > 0 ? used[3] : used[1]};
        if (mul[0] > 0 && mul[1] > 0 && mul[2] > 0) {
            mul[0] = float(mul[0] * std::exp2(red));
            mul[2] = float(mul[2] * std::exp2(blue));
            std::copy(mul, mul + 4, params.user_mul);
            params.use_auto_wb = 0;
            params.use_camera_wb = 0;
            code = raw.dcraw_process();
        }
    }
    if (code != LIBRAW_SUCCESS || decoder.dataError) {
        *error = QStringLiteral("%1: the raw image cannot be decoded (%2)")
                     .arg(path, decoder.dataError ? QStringLiteral("damaged or missing data")
                                                  : librawReason(code));
        return false;
    }
    libraw_processed_image_t* processed = raw.dcraw_make_mem_image(&code);
    std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> owned(
        processed, [](libraw_processed_image_t* p) { LibRaw::dcraw_clear_mem(p); });
    if (!processed || processed->type != LIBRAW_IMAGE_BITMAP || processed->bits != 8 ||
        (processed->colors != 3 && processed->colors != 1)) {
        *error = QStringLiteral("%1: the raw decoder produced no picture").arg(path);
        return false;
    }
    const int width = processed->width;
    const int height = processed->height;
    const int colors = processed->colors;
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        *error = QStringLiteral("%1: not enough memory for %2 x %3").arg(path).arg(width).arg(height);
        return false;
    }
    const unsigned char* src = processed->data;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, src += colors)
            line[x] = colors == 3 ? qRgb(src[0], src[1], src[2]) : qRgb(src[0], src[0], src[0]);
    }
    result->picture = picture;
    result->xResolution = xResolutionOf(path);
    return true;
}

} // namespace quillon::engine
