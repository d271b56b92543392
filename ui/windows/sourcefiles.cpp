#include "ui/windows/sourcefiles.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <sys/stat.h>

namespace quillon::ui {

bool isSameSource(const QString& a, const QString& b)
{
    const QFileInfo ia(a);
    const QFileInfo ib(b);
    const QString ca = ia.canonicalFilePath();
    const QString cb = ib.canonicalFilePath();
    if (!ca.isEmpty() && ca == cb)
        return true;
    if (ca.isEmpty() || cb.isEmpty())
        return QDir::cleanPath(ia.absoluteFilePath()) == QDir::cleanPath(ib.absoluteFilePath());
    struct stat sa;
    struct stat sb;
    return ::stat(QFile::encodeName(ca).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(cb).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

SourceFileServices defaultSourceFileServices()
{
    SourceFileServices services;
    services.isSource = [](const QString& path) {
        const QFileInfo info(path);
        if (info.fileName().endsWith(QLatin1String(".app"), Qt::CaseInsensitive))
            return false;
        return info.isDir() || !QImageReader::imageFormat(path).isEmpty();
    };
    services.icon = [](const QString& path) {
        return QFileIconProvider().icon(QFileInfo(path)).pixmap(16, 16).toImage();
    };
    services.labelIndex = [](const QString&) { return 0; };
    services.setLabelIndex = [](const QString& path, int, QString* error) {
        *error = QStringLiteral("%1: labels cannot be set yet").arg(path);
        return false;
    };
    services.labelNames = [] {
        return QStringList{"Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Gray"};
    };
    services.labelPicture = [](int) { return QImage(); };
    return services;
}

} // namespace quillon::ui
