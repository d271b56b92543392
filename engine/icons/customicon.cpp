#include "engine/icons/customicon.h"

#include "engine/steps/picturescaler.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageWriter>
#include <QMimeDatabase>
#include <QPainter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <cmath>

namespace quillon::engine {

namespace {

QString fileUri(const QString& file)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString mtimeText(const QString& file)
{
    return QString::number(QFileInfo(file).lastModified().toSecsSinceEpoch());
}

QString cacheHome()
{
    QString dir = qEnvironmentVariable("XDG_CACHE_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.cache");
    return dir;
}

// Largest thumbnail file read back; a 128 x 128 PNG is far smaller.
constexpr qint64 kMaxThumbnailBytes = 4 << 20;

quint32 be32(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

// The value of a tEXt chunk of a PNG. Qt's own PNG reader joins keys and values with ':' and
// cannot return keys that contain "::", as the thumbnail keys do, so the chunks are read here.
QString pngText(const QByteArray& png, const QByteArray& key)
{
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const quint32 length = be32(png, at);
        if (length > quint32(png.size() - at - 12))
            break;
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IEND")
            break;
        if (type == "tEXt") {
            const QByteArray body = png.mid(at + 8, qsizetype(length));
            const qsizetype zero = body.indexOf('\0');
            if (zero > 0 && body.left(zero) == key)
                return QString::fromLatin1(body.mid(zero + 1));
        }
        at += 12 + qsizetype(length);
    }
    return {};
}

} // namespace

QString thumbnailPath(const QString& file)
{
    const QByteArray md5 =
        QCryptographicHash::hash(fileUri(file).toUtf8(), QCryptographicHash::Md5).toHex();
    return cacheHome() + QStringLiteral("/thumbnails/normal/") + QString::fromLatin1(md5) +
           QStringLiteral(".png");
}

namespace {

// The icon of a picture already scaled so its longer side is 128.
QImage placedIcon(const QImage& small)
{
    const double half = kCustomIconSize / 2.0;
    const int x = int(std::trunc(half - small.width() / 2.0));
    const int y = int(std::trunc(half - small.height() / 2.0));
    QImage icon(kCustomIconSize, kCustomIconSize, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    // The picture replaces what lies under its rectangle, its own alpha included; outside the
    // rectangle the icon stays transparent.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(x, y, small);
    painter.end();
    return icon;
}

} // namespace

QImage customIconPicture(const QImage& picture)
{
    const ScaleResult small = PictureScaler::RatioScaleInPixels(picture, kCustomIconSize);
    return small.ok() ? placedIcon(small.picture) : QImage();
}

IconSource customIconSource(const QImage& picture)
{
    ScaleResult small = PictureScaler::RatioScaleInPixels(picture, kCustomIconSize);
    return {std::move(small.picture), std::move(small.error)};
}

bool putCustomIcon(const QString& target, QImage& picture, QString* error)
{
    const IconSource source = customIconSource(picture);
    if (!putCustomIcon(target, source, error))
        return false;
    picture = source.small;
    return true;
}

bool putCustomIcon(const QString& target, const IconSource& source, QString* error)
{
    if (!QFileInfo(target).isFile()) {
        *error = QStringLiteral("%1: no such file for an icon").arg(target);
        return false;
    }
    if (source.small.isNull()) {
        *error = QStringLiteral("%1: no icon (%2)").arg(target, source.error);
        return false;
    }
    QImage icon = placedIcon(source.small);
    // Texts go on the picture itself: QImageWriter::setText joins key and value with ':',
    // which the PNG writer would split again inside "Thumb::URI".
    icon.setText(QStringLiteral("Thumb::URI"), fileUri(target));
    icon.setText(QStringLiteral("Thumb::MTime"), mtimeText(target));
    icon.setText(QStringLiteral("Software"), QStringLiteral("Quillon"));

    const QString path = thumbnailPath(target);
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *error = QStringLiteral("%1: the thumbnail folder cannot be made").arg(path);
        return false;
    }
    // The thumbnail folders hold private previews of the user's files.
    const QString normal = QFileInfo(path).path();
    for (const QString& folder : {QFileInfo(normal).path(), normal})
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: cannot be written (%2)").arg(path, file.errorString());
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&file, "png");
    if (!writer.write(icon)) {
        file.cancelWriting();
        *error = QStringLiteral("%1: cannot be written (%2)").arg(path, writer.errorString());
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("%1: cannot be written (%2)").arg(path, file.errorString());
        return false;
    }
    return true;
}

QImage getIcon(const QString& file)
{
    // A thumbnail counts only while it describes the file as it is now.
    QFile thumbnailFile(thumbnailPath(file));
    if (thumbnailFile.open(QIODevice::ReadOnly) && thumbnailFile.size() <= kMaxThumbnailBytes) {
        const QByteArray png = thumbnailFile.readAll();
        if (pngText(png, "Thumb::URI") == fileUri(file) &&
            pngText(png, "Thumb::MTime") == mtimeText(file)) {
            const QImage thumbnail = QImage::fromData(png, "png");
            const ScaleResult small = PictureScaler::RatioScaleInPixels(thumbnail, kSmallIconSize);
            if (small.ok())
                return small.picture;
        }
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(file);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    if (!icon.isNull()) {
        const QImage image = icon.pixmap(kSmallIconSize, kSmallIconSize).toImage();
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    // No icon theme at all: a plain document outline, so the list still shows something.
    QImage generic(kSmallIconSize, kSmallIconSize, QImage::Format_ARGB32_Premultiplied);
    generic.fill(Qt::transparent);
    QPainter painter(&generic);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 10, 13);
    painter.drawLine(5, 5, 11, 5);
    painter.drawLine(5, 8, 11, 8);
    painter.drawLine(5, 11, 9, 11);
    return generic;
}

} // namespace quillon::engine
