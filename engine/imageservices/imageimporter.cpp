#include "engine/imageservices/imageimporter.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"
#include "engine/imageservices/iccinfo.h"
#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/imagemetadata_p.h"

#include <OpenImageIO/imageio.h>
#include <lcms2.h>
#include <turbojpeg.h>

#include <QFile>
#include <QFileInfo>
#include <QTransform>

#include <vector>

namespace quillon::engine {

namespace {

// Largest file the own codecs read into memory at once.
constexpr qint64 kMaxOwnCodecFileBytes = 256LL << 20;
// Bytes the content test of the own codecs looks at.
constexpr qint64 kSniffBytes = 1024;

QImage applyOrientation(const QImage& image, int orientation)
{
    QTransform t;
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

double resolutionInDpi(const OIIO::ImageSpec& spec)
{
    const float x = spec.get_float_attribute("XResolution", 0.0f);
    const std::string unit = spec.get_string_attribute("ResolutionUnit", "none");
    if (!(x > 0.0f))
        return 72.0;
    // Stored as float by the decoders: round to what the file most likely says.
    const double value = double(x);
    if (unit == "in" || unit == "inch")
        return value;
    if (unit == "cm")
        return value * 2.54;
    return 72.0;
}

} // namespace

void ImageImporter::reset()
{
    m_error.clear();
    m_format.clear();
    m_picture = QImage();
    m_dpi = 72;
    m_icc.clear();
    m_fileIcc.clear();
    m_metadata = ImageMetadata();
}

bool ImageImporter::fail(const QString& reason)
{
    m_error = QStringLiteral("Cannot open \"%1\": %2").arg(m_path, reason);
    m_picture = QImage();
    return false;
}

bool ImageImporter::openFile(const QString& path)
{
    reset();
    m_path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("it is a folder"));
    const QByteArray head = file.read(kSniffBytes);
    file.close();
    if (head.isEmpty())
        return fail(QStringLiteral("the file is empty"));
    bool handled = false;
    const bool ok = openWithOwnCodec(head, &handled);
    if (handled)
        return ok;
    if (!openWithOpenImageIO())
        return false;
    m_metadata = readMetadata(path);
    return true;
}

bool ImageImporter::openWithOwnCodec(const QByteArray& head, bool* handled)
{
    const bool pict = codecs::looksLikePict(head);
    const bool macPaint = !pict && codecs::looksLikeMacPaint(head);
    if (!pict && !macPaint)
        return false;
    *handled = true;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > kMaxOwnCodecFileBytes)
        return fail(QStringLiteral("the file is larger than %1 MiB").arg(kMaxOwnCodecFileBytes >> 20));
    const QByteArray data = file.readAll();
    QImage image;
    QString error;
    double dpi = 72;
    const bool ok = pict ? codecs::readPict(data, &image, &dpi, &error)
                         : codecs::readMacPaint(data, &image, &error);
    if (!ok || image.isNull())
        return fail(error.isEmpty() ? QStringLiteral("the picture is damaged") : error);
    m_format = pict ? QStringLiteral("pict") : QStringLiteral("macpaint");
    m_picture = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                               : QImage::Format_RGB32);
    m_dpi = dpi > 0 ? dpi : 72;
    return true;
}

bool ImageImporter::openWithOpenImageIO()
{
    OIIO::ImageSpec config;
    // Keep straight alpha as stored: QImage's ARGB32 is not premultiplied.
    config.attribute("oiio:UnassociatedAlpha", 1);
    const std::string path = QFile::encodeName(m_path).toStdString();
    auto in = OIIO::ImageInput::open(path, &config);
    if (!in) {
        QString reason = QString::fromStdString(OIIO::geterror()).trimmed();
        if (reason.isEmpty())
            reason = QStringLiteral("not a picture Quillon can read");
        // Keep the first line: the decoders' messages repeat the path.
        return fail(reason.section(QLatin1Char('\n'), 0, 0));
    }
    const OIIO::ImageSpec spec = in->spec();
    m_format = QString::fromLatin1(in->format_name());
    const int channels = spec.nchannels;
    if (channels < 1)
        return fail(QStringLiteral("the picture has no channels"));
    if (!pictureSizeAllowed(spec.width, spec.height, std::max(4, channels)))
        return fail(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                        .arg(spec.width)
                        .arg(spec.height));
    if (const OIIO::ParamValue* icc = spec.find_attribute("ICCProfile")) {
        m_fileIcc = QByteArray(static_cast<const char*>(icc->data()), int(icc->datasize()));
        m_icc = m_fileIcc;
    }
    m_dpi = resolutionInDpi(spec);
    const int orientation = spec.get_int_attribute("Orientation", 1);

    const std::string jpegSpace = spec.get_string_attribute("jpeg:ColorSpace", "");
    if (m_format == QLatin1String("jpeg") && (jpegSpace == "CMYK" || jpegSpace == "YCbCrK") &&
        iccProfileIsCmyk(m_fileIcc)) {
        in->close();
        if (!decodeCmykJpeg())
            return false;
        m_icc.clear();
        m_picture = applyOrientation(m_picture, orientation);
        return true;
    }

    std::vector<unsigned char> pixels(std::size_t(spec.width) * std::size_t(spec.height) *
                                      std::size_t(channels));
    if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::UINT8, pixels.data())) {
        QString reason = QString::fromStdString(in->geterror()).trimmed();
        return fail(reason.isEmpty() ? QStringLiteral("the picture data is damaged")
                                     : reason.section(QLatin1Char('\n'), 0, 0));
    }
    // OpenImageIO calls alpha associated unless the format says otherwise; in practice only
    // the formats that define it so (OpenEXR, Maya IFF) store premultiplied colour, and the
    // others (SGI, ...) hold straight alpha as their writers and ImageMagick treat it.
    const codecs::CodecInfo* writer = codecs::codecByWriterFormat(m_format);
    const bool premultiplied =
        spec.alpha_channel >= 0 && spec.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0 &&
        (m_format == QLatin1String("openexr") || (writer && writer->premultipliedAlpha));
    int alpha = spec.alpha_channel;
    if (alpha < 0 && (channels == 2 || channels == 4))
        alpha = channels - 1;
    const bool gray = channels < 3 || (channels == 2);
    QImage image(spec.width, spec.height,
                 premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
    if (image.isNull())
        return fail(QStringLiteral("out of memory"));
    for (int y = 0; y < spec.height; ++y) {
        const unsigned char* src = pixels.data() + std::size_t(y) * spec.width * channels;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < spec.width; ++x, src += channels) {
            const int r = src[0];
            const int g = gray ? src[0] : src[1];
            const int b = gray ? src[0] : src[2];
            const int a = alpha >= 0 && alpha < channels ? src[alpha] : 255;
            dst[x] = qRgba(r, g, b, a);
        }
    }
    if (premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (alpha < 0)
        image = image.convertToFormat(QImage::Format_RGB32);
    m_picture = applyOrientation(image, orientation);
    return true;
}

// CMYK JPEGs are converted to sRGB through their own profile. libjpeg hands out the CMYK as
// stored; Adobe's writers (nearly all CMYK JPEGs) store it inverted.
bool ImageImporter::decodeCmykJpeg()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray data = file.readAll();
    tjhandle tj = tjInitDecompress();
    if (!tj)
        return fail(QStringLiteral("the JPEG decoder cannot start"));
    int w = 0, h = 0, sub = 0, space = 0;
    if (tjDecompressHeader3(tj, reinterpret_cast<const unsigned char*>(data.constData()),
                            static_cast<unsigned long>(data.size()), &w, &h, &sub, &space) != 0) {
        tjDestroy(tj);
        return fail(QString::fromLocal8Bit(tjGetErrorStr2(tj)));
    }
    std::vector<unsigned char> cmyk(std::size_t(w) * std::size_t(h) * 4);
    const int rc = tjDecompress2(tj, reinterpret_cast<const unsigned char*>(data.constData()),
                                 static_cast<unsigned long>(data.size()), cmyk.data(), w, 0, h,
                                 TJPF_CMYK, 0);
    const bool adobe = data.contains(QByteArray("Adobe"));
    tjDestroy(tj);
    if (rc != 0)
        return fail(QStringLiteral("the JPEG data is damaged"));
    cmsHPROFILE src = cmsOpenProfileFromMemTHR(nullptr, m_fileIcc.constData(),
                                               cmsUInt32Number(m_fileIcc.size()));
    cmsHPROFILE dst = cmsCreate_sRGBProfileTHR(nullptr);
    cmsHTRANSFORM transform =
        src && dst ? cmsCreateTransformTHR(nullptr, src, adobe ? TYPE_CMYK_8_REV : TYPE_CMYK_8, dst,
                                           TYPE_BGRA_8, INTENT_PERCEPTUAL, 0)
                   : nullptr;
    if (src)
        cmsCloseProfile(src);
    if (dst)
        cmsCloseProfile(dst);
    if (!transform)
        return fail(QStringLiteral("its CMYK profile cannot be used"));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < h; ++y)
        cmsDoTransform(transform, cmyk.data() + std::size_t(y) * w * 4, image.scanLine(y),
                       cmsUInt32Number(w));
    cmsDeleteTransform(transform);
    // lcms leaves the alpha byte of the output alone; make it opaque.
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] |= 0xff000000u;
    }
    m_picture = image;
    return true;
}

} // namespace quillon::engine
