#include "ui/windows/sourcefiles.h"

#include "engine/icons/customicon.h"
#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "engine/labels/finderlabel.h"
#include "resources/resources.h"
#include "settings/batchsetting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QImage labelPicture(int labelIndex)
{
    static constexpr const char* kNames[] = {"all",   "red",  "orange", "yellow",
                                             "green", "blue", "purple", "gray"};
    if (labelIndex < 0 || labelIndex > 7)
        return {};
    resources::init();
    return QImage(QStringLiteral(":/labels/%1.png").arg(QLatin1String(kNames[labelIndex])));
}

SourceFileServices defaultSourceFileServices()
{
    SourceFileServices services;
    services.isSource = [](const QString& path) {
        const QFileInfo info(path);
        if (info.fileName().endsWith(QLatin1String(".app"), Qt::CaseInsensitive))
            return false;
        return info.isDir() || engine::IsPictureFileMBS(path) ||
               engine::isRawImage(info.fileName());
    };
    services.icon = [](const QString& path) { return engine::getIcon(path); };
    services.labelIndex = [](const QString& path) {
        return engine::convertLabel(engine::FinderLabelMBS(path));
    };
    services.setLabelIndex = [](const QString& path, int labelIndex, QString* error) {
        return engine::setFinderLabel(path, settings::finderLabelNumber(labelIndex), error);
    };
    services.labelNames = [] { return engine::labelNames(); };
    services.labelPicture = labelPicture;
    return services;
}

} // namespace quillon::ui
