#include "engine/imageservices/imageexporter.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"
#include "engine/codecs/psd/psdcodec.h"
#include "engine/imageservices/colorprofiles.h"
#include "engine/imageservices/imagemetadata_p.h"
#include "settings/exporterhandle.h"

#include <OpenImageIO/imageio.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <cstdint>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::engine {

namespace {

ExportResult failure(const QString& path, const QString& reason)
{
    return {false, QStringLiteral("Cannot write \"%1\": %2").arg(path, reason)};
}

QImage overWhite(const QImage& picture)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    painter.end();
    return flat;
}

// A temporary file beside the target, closed, that the writers fill by name.
QString makeTemporaryBeside(const QString& target, QString* error)
{
    const QFileInfo info(target);
    // The writers choose details by the name's extension (JPEG 2000: JP2 box or bare
    // codestream), so the temporary name keeps it.
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() +
                        QStringLiteral(".XXXXXX.") + info.suffix());
    temp.setAutoRemove(false);
    if (!temp.open()) {
        *error = temp.errorString();
        return QString();
    }
    // QTemporaryFile makes the file 0600; the output it becomes gets the mode any new file of
    // the user gets, so other programs and users see it as they see the source.
    static const mode_t processUmask = [] {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return mask;
    }();
    if (::fchmod(temp.handle(), 0666 & ~processUmask) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        temp.remove();
        return QString();
    }
    const QString name = temp.fileName();
    temp.close();
    return name;
}

std::uint32_t crc32(const QByteArray& data)
{
    std::uint32_t crc = 0xffffffffu;
    for (const char c : data) {
        crc ^= std::uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

QByteArray bigEndian32(std::uint32_t v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

// Exiv2 writes a PNG profile with an empty name, which PNG forbids and libpng refuses; so a
// PNG gets its iCCP chunk here: named, right after IHDR, replacing any iCCP and the sRGB
// chunk (which would take precedence over the profile). Pixels are not touched.
bool setPngProfile(QByteArray& png, const QByteArray& icc)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!png.startsWith(signature))
        return false;
    QByteArray out = signature;
    qsizetype pos = 8;
    bool inserted = false;
    while (pos + 12 <= png.size()) {
        const std::uint32_t length = (std::uint8_t(png[pos]) << 24) |
                                     (std::uint8_t(png[pos + 1]) << 16) |
                                     (std::uint8_t(png[pos + 2]) << 8) | std::uint8_t(png[pos + 3]);
        if (qsizetype(length) > png.size() - pos - 12)
            return false;
        const QByteArray type = png.mid(pos + 4, 4);
        const qsizetype total = 12 + qsizetype(length);
        if (type != "iCCP" && type != "sRGB")
            out += png.mid(pos, total);
        if (type == "IHDR" && !inserted) {
            // qCompress puts a 4-byte length before the zlib stream.
            const QByteArray body = QByteArray("ICC profile") + '\0' + '\0' +
                                    qCompress(icc, 9).mid(4);
            const QByteArray chunk = QByteArray("iCCP") + body;
            out += bigEndian32(std::uint32_t(body.size())) + chunk + bigEndian32(crc32(chunk));
            inserted = true;
        }
        pos += total;
        if (type == "IEND")
            break;
    }
    if (!inserted)
        return false;
    png = out;
    return true;
}

} // namespace

ImageExporter::ImageExporter(const settings::ExporterHandle& handle)
{
    if (openExporter(handle.type()))
        m_options.setText(handle.settings());
}

bool ImageExporter::openExporter(const QString& type)
{
    m_codec = codecs::codecByType(type);
    m_options = codecs::ExportOptions(m_codec);
    return m_codec != nullptr;
}

QString ImageExporter::type() const
{
    return m_codec ? QString::fromLatin1(m_codec->type) : QString();
}

QString ImageExporter::defaultFileNameExtension() const
{
    return m_codec ? QString::fromLatin1(m_codec->extension) : QString();
}

void ImageExporter::setResolution(double horizontal, double vertical)
{
    m_dpiX = horizontal;
    m_dpiY = vertical;
}

void ImageExporter::setOutputFile(const QString& path, Reservation reservation)
{
    m_output = path;
    m_reservation = reservation;
}

void ImageExporter::cleanUp()
{
    m_icc.clear();
    m_exifEnabled = false;
    m_metadata = ImageMetadata();
    m_picture = QImage();
}

bool ImageExporter::keepsAlpha() const
{
    if (!m_codec || !m_codec->alpha)
        return false;
    if (!m_codec->alphaOptionKey)
        return true;
    const bool matches = m_options.value(m_codec->alphaOptionKey) == m_codec->alphaOptionValue;
    return m_codec->alphaUnlessOption ? !matches : matches;
}

StagedExport ImageExporter::stage(const QString& besidePath)
{
    StagedExport staged;
    auto early = [&](const QString& reason) {
        staged.reason = reason;
        staged.early = true;
        return staged;
    };
    if (!m_codec)
        return early(QStringLiteral("no output format is chosen"));
    if (m_picture.isNull())
        return early(QStringLiteral("there is no picture to write"));
    if (m_codec->maxSide > 0 &&
        (m_picture.width() > m_codec->maxSide || m_picture.height() > m_codec->maxSide))
        return early(QStringLiteral("%1 cannot hold a picture of %2 x %3 pixels "
                                    "(at most %4 pixels a side)")
                         .arg(QLatin1String(m_codec->menuEntry))
                         .arg(m_picture.width())
                         .arg(m_picture.height())
                         .arg(m_codec->maxSide));

    QString error;
    const QString temp = makeTemporaryBeside(besidePath, &error);
    if (temp.isEmpty()) {
        staged.reason = error;
        return staged;
    }
    // Formats without alpha get the picture composited over white; an opaque picture is used
    // as it is (compositing it would only copy it twice).
    QImage picture;
    if (!m_picture.hasAlphaChannel())
        picture = m_picture.format() == QImage::Format_RGB32
                      ? m_picture
                      : m_picture.convertToFormat(QImage::Format_RGB32);
    else if (keepsAlpha())
        picture = m_picture.convertToFormat(QImage::Format_ARGB32);
    else
        picture = overWhite(m_picture.convertToFormat(QImage::Format_ARGB32));

    error = writeTo(temp, picture);
    if (error.isEmpty() && m_codec->exif && QFileInfo(temp).size() > 0) {
        const bool copyMetadata = m_exifEnabled && !m_metadata.isEmpty();
        const bool embedIcc = m_codec->icc && !m_icc.isEmpty();
        if (copyMetadata || embedIcc) {
            MetadataUpdate update;
            update.metadata = copyMetadata ? &m_metadata : nullptr;
            update.width = picture.width();
            update.height = picture.height();
            update.dpi = m_dpiX;
            update.icc = embedIcc ? &m_icc : nullptr;
            if (!updateFileMetadata(temp, update, &error) && error.isEmpty())
                error = QStringLiteral("the metadata could not be written");
        }
    }
    if (!error.isEmpty()) {
        QFile::remove(temp);
        staged.reason = error;
        return staged;
    }
    staged.file = temp;
    return staged;
}

ExportResult ImageExporter::commit(StagedExport& staged)
{
    // Whatever happens, the temporary file is the commit's to use or remove.
    auto discard = [&] {
        if (!staged.file.isEmpty())
            QFile::remove(staged.file);
        staged.file.clear();
    };
    if (m_output.isEmpty()) {
        discard();
        return {false, QStringLiteral("Cannot export: no output file is set")};
    }
    if (staged.early) {
        discard();
        return failure(m_output, staged.reason);
    }

    const QByteArray target = QFile::encodeName(m_output);
    bool ownReservation = false;
    if (m_reservation == Reservation::Exclusive) {
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            const int code = errno;
            discard();
            return failure(m_output, QString::fromLocal8Bit(std::strerror(code)));
        }
        ::close(fd);
        ownReservation = true;
    } else {
        struct stat st {};
        if (::stat(target.constData(), &st) != 0) {
            discard();
            return failure(m_output, QStringLiteral("the reserved file does not exist"));
        }
        if (!S_ISREG(st.st_mode) || st.st_size != 0) {
            discard();
            return failure(m_output, QStringLiteral("the file exists already"));
        }
    }
    auto dropReservation = [&] {
        if (ownReservation)
            ::unlink(target.constData());
    };
    if (staged.file.isEmpty()) {
        dropReservation();
        return failure(m_output, staged.reason.isEmpty() ? QStringLiteral("nothing was written")
                                                         : staged.reason);
    }
    if (::rename(QFile::encodeName(staged.file).constData(), target.constData()) != 0) {
        const int code = errno;
        discard();
        dropReservation();
        return failure(m_output, QString::fromLocal8Bit(std::strerror(code)));
    }
    staged.file.clear();
    return {true, {}};
}

ExportResult ImageExporter::Export()
{
    if (m_output.isEmpty())
        return {false, QStringLiteral("Cannot export: no output file is set")};
    StagedExport staged = stage(m_output);
    return commit(staged);
}

QString ImageExporter::writeTo(const QString& path, const QImage& picture)
{
    QString error;
    if (m_codec->writer != codecs::CodecWriter::OpenImageIO) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return file.errorString();
        bool ok = false;
        switch (m_codec->writer) {
        case codecs::CodecWriter::Psd:
            ok = codecs::writePsd(picture, m_dpiX, m_codec->icc ? m_icc : QByteArray(),
                                  m_options.valueText("compression") == QLatin1String("rle"),
                                  file, &error);
            break;
        case codecs::CodecWriter::Pict:
            ok = codecs::writePict(picture, m_dpiX,
                                   m_options.valueText("compression") ==
                                       QLatin1String("packbits"),
                                   file, &error);
            break;
        case codecs::CodecWriter::MacPaint:
            ok = codecs::writeMacPaint(picture, file, &error);
            break;
        case codecs::CodecWriter::OpenImageIO:
            break;
        }
        if (ok && !file.flush())
            error = file.errorString(), ok = false;
        file.close();
        return ok ? QString() : (error.isEmpty() ? QStringLiteral("the writer failed") : error);
    }

    const bool alpha = picture.hasAlphaChannel();
    const QImage source = alpha && m_codec->premultipliedAlpha
                              ? picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              : picture;
    const int channels = alpha ? 4 : 3;
    const int w = picture.width();
    const int h = picture.height();
    std::vector<unsigned char> pixels(std::size_t(w) * std::size_t(h) * channels);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        unsigned char* dst = pixels.data() + std::size_t(y) * w * channels;
        for (int x = 0; x < w; ++x) {
            *dst++ = qRed(src[x]);
            *dst++ = qGreen(src[x]);
            *dst++ = qBlue(src[x]);
            if (alpha)
                *dst++ = qAlpha(src[x]);
        }
    }
    OIIO::ImageSpec spec(w, h, channels, OIIO::TypeDesc::UINT8);
    if (alpha) {
        spec.alpha_channel = 3;
        if (!m_codec->premultipliedAlpha)
            spec.attribute("oiio:UnassociatedAlpha", 1);
    }
    spec.attribute("XResolution", float(m_dpiX));
    spec.attribute("YResolution", float(m_dpiY));
    spec.attribute("ResolutionUnit", "in");
    if (m_codec->icc && !m_icc.isEmpty())
        spec.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, int(m_icc.size())),
                       m_icc.constData());
    for (const codecs::CodecOption& option : m_options.options()) {
        if (!option.writerAttribute)
            continue;
        const int value = m_options.value(option.key);
        if (option.kind == codecs::OptionKind::Choice)
            spec.attribute(option.writerAttribute, option.writerValues[std::size_t(value)]);
        else
            spec.attribute(option.writerAttribute, value);
    }
    const std::string format = m_codec->writerFormat;
    if (format == "jpeg") {
        // The JPEG writer takes its quality from the compression text.
        spec.attribute("compression",
                       "jpeg:" + std::to_string(std::max(1, m_options.value("quality"))));
    } else if (format == "sgi") {
        // The SGI writer fills its name field from uninitialised memory without a description.
        spec.attribute("ImageDescription", " ");
    }

    auto out = OIIO::ImageOutput::create(format);
    if (!out)
    {
        const QString reason = QString::fromStdString(OIIO::geterror()).trimmed();
        return reason.isEmpty() ? QStringLiteral("no writer for this format") : reason;
    }
    const std::string name = QFile::encodeName(path).toStdString();
    if (!out->open(name, spec) || !out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) ||
        !out->close()) {
        const QString reason = QString::fromStdString(out->geterror()).trimmed();
        return reason.isEmpty() ? QStringLiteral("the writer failed") : reason;
    }
    return {};
}

ExportResult embedProfileInPlace(const QString& path, const QByteArray& icc)
{
    if (!isValidIccProfile(icc))
        return failure(path, QStringLiteral("the colour profile is not valid"));
    initializeExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.toStdString());
        // Exiv2 keeps the profile of every format whose metadata it can write; the others
        // carry no profile Quillon could set.
        if (!image.get() ||
            Exiv2::ImageFactory::checkMode(image->imageType(), Exiv2::mdXmp) != Exiv2::amReadWrite)
            return {true, {}};
    } catch (const std::exception&) {
        // Not a format Exiv2 knows: it carries no profile Quillon could set.
        return {true, {}};
    }
    QString error;
    const QString temp = makeTemporaryBeside(path, &error);
    if (temp.isEmpty())
        return failure(path, error);
    QFile::remove(temp);
    if (!QFile::copy(path, temp))
        return failure(path, QStringLiteral("cannot copy it beside itself"));
    QFile::setPermissions(temp, QFile::permissions(path));
    bool written = false;
    {
        QFile file(temp);
        if (file.open(QIODevice::ReadWrite)) {
            QByteArray data = file.readAll();
            if (data.startsWith("\x89PNG")) {
                if (!setPngProfile(data, icc)) {
                    error = QStringLiteral("the PNG file is damaged");
                } else {
                    file.resize(0);
                    file.seek(0);
                    written = file.write(data) == data.size() && file.flush();
                    if (!written)
                        error = file.errorString();
                }
            }
        }
    }
    MetadataUpdate update;
    update.icc = &icc;
    // Keep what the file has: only the profile changes.
    const bool pngFailed = !written && !error.isEmpty();
    if (pngFailed || (!written && !updateFileMetadata(temp, update, &error)) ||
        ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temp);
        return failure(path, error.isEmpty() ? QString::fromLocal8Bit(std::strerror(errno)) : error);
    }
    return {true, {}};
}

} // namespace quillon::engine
