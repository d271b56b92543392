#include "ui/windows/sourcefiles.h"

#include "engine/icons/customicon.h"
#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "engine/labels/finderlabel.h"
#include "settings/batchsetting.h"
#include "ui/main/label.h"

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
    if (labelIndex < 0 || labelIndex > 7)
        return {};
    // The label module holds the pictures once the application has loaded them; a window used
    // before that (a test, say) loads them itself.
    if (label::cImage(labelIndex).isNull())
        label::loadImages();
    return label::cImage(labelIndex).toImage();
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
