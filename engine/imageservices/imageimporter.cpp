#include "engine/imageservices/imageimporter.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"
#include "engine/imageservices/iccinfo.h"
#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/imagemetadata_p.h"
#include "engine/imageservices/jpegdecoder.h"
#include "engine/imageservices/readerchecks_p.h"

#include <OpenImageIO/imageio.h>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>
#include <lcms2.h>
#include <turbojpeg.h>
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
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
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

bool startsWithPsdSignature(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "8BPS";
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
    m_fileSize = QSize();
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
    // Only regular files are opened: opening a FIFO waits for a writer that may never come,
    // and a device gives endless bytes.
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("it is a folder"));
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("it is not a regular file (a FIFO, socket or device)"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray head = file.read(kSniffBytes);
    file.close();
    if (head.isEmpty())
        return fail(QStringLiteral("the file is empty"));
    bool handled = false;
    const bool ok = openWithOwnCodec(head, &handled);
    if (handled)
        return ok;
    // JPEG goes through TurboJPEG: faster, strict about damaged data (OpenImageIO fills a
    // truncated picture with grey and trusts a damaged ICC marker).
    if (head.startsWith("\xff\xd8\xff"))
        return openJpeg();
    if (head.startsWith("BM")) {
        const bool ok = openBmp(&handled);
        if (handled) {
            if (ok)
                m_metadata = readMetadata(path);
            return ok;
        }
    }
    if (head.startsWith("\x01\xda") && !sgiRunLengthsSound(path))
        return fail(QStringLiteral("the SGI run-length data is damaged"));
    // Lengths and tile tables OpenImageIO's readers would trust (its Maya IFF reader may be
    // tried on any file it has no other reader for).
    for (const QString& damage : {mayaIffDamage(path), photoshopSectionDamage(path),
                                  gifScreenDamage(path), dpxHeaderDamage(path)})
        if (!damage.isEmpty())
            return fail(damage);
    bool opened = false;
    try {
        opened = openWithOpenImageIO();
    } catch (const std::exception& e) {
        // Some decoders throw on absurd headers (allocation sizes); never past here.
        opened = fail(QStringLiteral("the decoder gave up on the file's header (%1)")
                          .arg(QString::fromLocal8Bit(e.what())));
    }
    if (!opened)
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
        return fail(
            QStringLiteral("the file is larger than %1 MiB").arg(kMaxOwnCodecFileBytes >> 20));
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

// 32-bit and bit-field BMPs go through Qt's reader: OpenImageIO 2.4 ignores BI_BITFIELDS
// masks and takes the padding byte of 32-bit pixels for alpha, so such pictures come out with
// wrong colours or transparent, where Qt reads them as ImageMagick and Windows show them.
// Only uncompressed pixel data takes this way, after checking that the file holds all of it
// (Qt would show a cut-short file as a partly black picture); everything else is
// OpenImageIO's, which refuses damaged run lengths.
bool ImageImporter::openBmp(bool* handled)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(54);
    if (header.size() < 54)
        return false;
    const auto u16 = [&](int at) {
        return quint32(uchar(header[at])) | quint32(uchar(header[at + 1])) << 8;
    };
    const auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    const quint32 dataOffset = u32(10);
    const quint32 headerSize = u32(14);
    const qint64 width = qint32(u32(18));
    const qint64 height = qint32(u32(22));
    const quint32 bitCount = u16(28);
    const quint32 compression = u32(30);
    const bool bitFields = compression == 3 || compression == 6;
    if (headerSize < 40 || !(bitCount == 32 || (bitFields && bitCount == 16)) ||
        !(compression == 0 || bitFields))
        return false;
    if (width < 1 || height == 0 || !pictureSizeAllowed(width, height < 0 ? -height : height))
        return false;
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    if (file.size() < qint64(dataOffset) + stride * (height < 0 ? -height : height))
        return false; // cut short: OpenImageIO reports it
    file.close();
    QImageReader reader(m_path, "bmp");
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    *handled = true;
    m_format = QStringLiteral("bmp");
    m_picture = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    m_dpi = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 72;
    return true;
}

bool ImageImporter::openWithOpenImageIO()
{
    OIIO::ImageSpec config;
    // Keep straight alpha as stored: QImage's ARGB32 is not premultiplied.
    config.attribute("oiio:UnassociatedAlpha", 1);
    const std::string path = QFile::encodeName(m_path).toStdString();
    // A Photoshop file goes to the PSD reader directly. Under a name that does not say PSD,
    // OpenImageIO tries one reader after another while it holds its plugin lock, and the PSD
    // reader, decoding the file's JPEG thumbnail resource, waits for that same lock for ever.
    std::unique_ptr<OIIO::ImageInput> in;
    std::string openError;
    if (startsWithPsdSignature(m_path)) {
        in = OIIO::ImageInput::create("psd");
        OIIO::ImageSpec opened;
        if (in && !in->open(path, opened, config)) {
            openError = in->geterror();
            in.reset();
        }
    } else {
        in = OIIO::ImageInput::open(path, &config);
    }
    if (!in) {
        QString reason = QString::fromStdString(openError.empty() ? OIIO::geterror() : openError).trimmed();
        if (reason.contains(QLatin1String("OpenImageIO could not find a format reader")) ||
            reason.contains(QLatin1String("not a file")))
            reason = QStringLiteral("not a picture Quillon can read");
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

namespace {

// Largest JPEG file read into memory.
constexpr qint64 kMaxJpegFileBytes = 512LL << 20;

struct JpegHeader
{
    int width = 0;
    int height = 0;
    int components = 0;
    int densityUnit = 0;
    int xDensity = 0;
    QByteArray icc;
    bool adobe = false;
};

// Walks the markers up to the first scan: size, JFIF density, the ICC profile (APP2 chunks in
// sequence order) and the Adobe marker. False when the marker structure is broken.
bool parseJpegHeader(const QByteArray& data, JpegHeader* header)
{
    const auto byte = [&](qsizetype i) { return std::uint8_t(data[i]); };
    std::vector<QByteArray> iccChunks;
    qsizetype pos = 2;
    while (pos + 4 <= data.size()) {
        if (byte(pos) != 0xff)
            return false;
        const int marker = byte(pos + 1);
        if (marker == 0xff) {
            ++pos;
            continue;
        }
        const int length = (byte(pos + 2) << 8) | byte(pos + 3);
        if (length < 2 || pos + 2 + length > data.size())
            return false;
        const QByteArray body = data.mid(pos + 4, length - 2);
        if (marker == 0xe0 && body.startsWith(QByteArray("JFIF\0", 5)) && body.size() >= 12) {
            header->densityUnit = std::uint8_t(body[7]);
            header->xDensity = (std::uint8_t(body[8]) << 8) | std::uint8_t(body[9]);
        } else if (marker == 0xe2 && body.startsWith(QByteArray("ICC_PROFILE\0", 12)) &&
                   body.size() > 14) {
            const int seq = std::uint8_t(body[12]);
            const int count = std::uint8_t(body[13]);
            if (seq >= 1 && seq <= count) {
                if (iccChunks.size() < std::size_t(count))
                    iccChunks.resize(std::size_t(count));
                iccChunks[std::size_t(seq - 1)] = body.mid(14);
            }
        } else if (marker == 0xee && body.startsWith("Adobe")) {
            header->adobe = true;
        } else if ((marker >= 0xc0 && marker <= 0xcf) && marker != 0xc4 && marker != 0xc8 &&
                   marker != 0xcc && body.size() >= 6) {
            header->height = (std::uint8_t(body[1]) << 8) | std::uint8_t(body[2]);
            header->width = (std::uint8_t(body[3]) << 8) | std::uint8_t(body[4]);
            header->components = std::uint8_t(body[5]);
        } else if (marker == 0xda) {
            break;
        }
        pos += 2 + length;
    }
    bool complete = !iccChunks.empty();
    for (const QByteArray& chunk : iccChunks)
        complete = complete && !chunk.isEmpty();
    if (complete)
        for (const QByteArray& chunk : iccChunks)
            header->icc += chunk;
    return header->width > 0 && header->height > 0;
}

int exifInt(const ImageMetadata& metadata, const char* key, int fallback)
{
    if (!metadata.data())
        return fallback;
    const Exiv2::ExifData& exif = metadata.data()->exif;
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() == 0)
        return fallback;
    try {
        return int(it->toLong());
    } catch (...) {
        return fallback;
    }
}

double exifResolution(const ImageMetadata& metadata)
{
    if (!metadata.data())
        return 0;
    const Exiv2::ExifData& exif = metadata.data()->exif;
    const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.XResolution"));
    if (it == exif.end() || it->count() == 0)
        return 0;
    const Exiv2::Rational r = it->toRational();
    if (r.second <= 0 || r.first <= 0)
        return 0;
    const double value = double(r.first) / r.second;
    const int unit = exifInt(metadata, "Exif.Image.ResolutionUnit", 2);
    return unit == 3 ? value * 2.54 : unit == 2 ? value : 0;
}

} // namespace

bool ImageImporter::openJpeg()
{
    m_format = QStringLiteral("jpeg");
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > kMaxJpegFileBytes)
        return fail(QStringLiteral("the file is larger than %1 MiB").arg(kMaxJpegFileBytes >> 20));
    const QByteArray data = file.readAll();
    JpegHeader header;
    if (!parseJpegHeader(data, &header))
        return fail(QStringLiteral("the JPEG header is damaged"));
    if (!pictureSizeAllowed(header.width, header.height, 4))
        return fail(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                        .arg(header.width)
                        .arg(header.height));
    m_fileIcc = header.icc;
    m_icc = m_fileIcc;
    m_metadata = readMetadata(m_path);
    const int orientation = exifInt(m_metadata, "Exif.Image.Orientation", 1);
    if (header.densityUnit == 1 && header.xDensity > 0)
        m_dpi = header.xDensity;
    else if (header.densityUnit == 2 && header.xDensity > 0)
        m_dpi = header.xDensity * 2.54;
    else if (const double exif = exifResolution(m_metadata); exif > 0)
        m_dpi = exif;

    if (header.components == 4) {
        if (!decodeCmykJpeg(data, header.width, header.height, header.adobe,
                            iccProfileIsCmyk(m_fileIcc)))
            return false;
        if (iccProfileIsCmyk(m_fileIcc))
            m_icc.clear();
    } else {
        const bool turned = orientation >= 5 && orientation <= 8;
        m_fileSize = turned ? QSize(header.height, header.width) : QSize(header.width, header.height);
        const QSize target = m_sizeRequest ? m_sizeRequest(m_fileSize) : QSize();
        if (!target.isEmpty()) {
            // Decoded reduced and made upright in one go; a refusal (damaged data, ...) falls
            // through to the ordinary decode, which then fails with its own reason.
            const DecodedJpeg reduced = decodeJpeg(data, target, orientation, m_path);
            if (reduced.ok()) {
                m_picture = reduced.picture;
                return true;
            }
        }
        tjhandle tj = tjInitDecompress();
        if (!tj)
            return fail(QStringLiteral("the JPEG decoder cannot start"));
        QImage image(header.width, header.height, QImage::Format_RGB32);
        if (image.isNull()) {
            tjDestroy(tj);
            return fail(QStringLiteral("out of memory"));
        }
        // BGRX in memory is Qt's RGB32 on little-endian machines.
        const int rc = tjDecompress2(tj, reinterpret_cast<const unsigned char*>(data.constData()),
                                     static_cast<unsigned long>(data.size()), image.bits(),
                                     header.width, int(image.bytesPerLine()), header.height,
                                     Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB,
                                     TJFLAG_STOPONWARNING);
        const QString reason = QString::fromLocal8Bit(tjGetErrorStr2(tj));
        tjDestroy(tj);
        if (rc != 0)
            return fail(QStringLiteral("the JPEG data is damaged (%1)").arg(reason));
        m_picture = image;
    }
    m_picture = applyOrientation(m_picture, orientation);
    return true;
}

// CMYK JPEGs are converted to sRGB through their own profile. libjpeg hands out the CMYK as
// stored; Adobe's writers (nearly all CMYK JPEGs) store it inverted.
bool ImageImporter::decodeCmykJpeg(const QByteArray& data, int w, int h, bool adobe,
                                   bool withProfile)
{
    tjhandle tj = tjInitDecompress();
    if (!tj)
        return fail(QStringLiteral("the JPEG decoder cannot start"));
    std::vector<unsigned char> cmyk(std::size_t(w) * std::size_t(h) * 4);
    const int rc = tjDecompress2(tj, reinterpret_cast<const unsigned char*>(data.constData()),
                                 static_cast<unsigned long>(data.size()), cmyk.data(), w, 0, h,
                                 TJPF_CMYK, TJFLAG_STOPONWARNING);
    tjDestroy(tj);
    if (rc != 0)
        return fail(QStringLiteral("the JPEG data is damaged"));
    if (!withProfile) {
        // No profile: the plain conversion every viewer makes.
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            const unsigned char* src = cmyk.data() + std::size_t(y) * w * 4;
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x, src += 4) {
                int c = src[0], m = src[1], ye = src[2], k = src[3];
                if (!adobe)
                    c = 255 - c, m = 255 - m, ye = 255 - ye, k = 255 - k;
                line[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
            }
        }
        m_picture = image;
        return true;
    }
    cmsHPROFILE src =
        cmsOpenProfileFromMemTHR(nullptr, m_fileIcc.constData(), cmsUInt32Number(m_fileIcc.size()));
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
