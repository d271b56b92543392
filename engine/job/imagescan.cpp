// The collection of a job's images: direct files and the depth-limited folder scan.

#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "engine/job/batchtread.h"
#include "engine/labels/finderlabel.h"
#include "settings/folderlisting.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

namespace quillon::engine {

namespace {

bool isHidden(const QString& name)
{
    return name.startsWith(QLatin1Char('.'));
}

} // namespace

void batchTread::collectSource(const QString& source)
{
    const QFileInfo info(source);
    if (info.isDir()) {
        m_imageCount += scanForImages(info.absoluteFilePath());
        return;
    }
    // A file chosen directly is taken without the picture test.
    if (!isHidden(info.fileName()) && m_settingLabel.contains(FinderLabelMBS(source))) {
        m_imageFile.append(info.absoluteFilePath());
        ++m_imageCount;
    }
}

int batchTread::scanForImages(const QString& root)
{
    QSet<QString> visited;
    return scanFolder(root, 0, visited);
}

bool batchTread::takesFile(const QString& path, const QString& name) const
{
    return !isHidden(name) && m_settingLabel.contains(FinderLabelMBS(path)) &&
           (IsPictureFileMBS(path) || isRawImage(name));
}

int batchTread::scanFolder(const QString& folder, int level, QSet<QString>& visited)
{
    if (m_scanDepth != -1 && level > m_scanDepth)
        return 0;
    // "Unlimited" still ends somewhere: the scan recurses once per level, and a tree made
    // deeper than any real one (by a program, or bind mounts) must not exhaust the stack.
    if (level > kMaxScanDepth)
        return 0;
    // A folder reached again through a symbolic link is not scanned twice, so a link that
    // points to one of its own parents cannot make the scan loop.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return 0;
    visited.insert(canonical);

    int found = 0;
    for (const QFileInfo& entry : settings::listFolder(folder)) {
        const QString name = entry.fileName();
        if (entry.isDir() && !name.endsWith(QLatin1String(".app"), Qt::CaseInsensitive)) {
            const bool announce = m_scanDepth == -1 || (level == 0 && m_scanDepth >= 1) ||
                                  (level >= 1 && level + 1 < m_scanDepth);
            if (announce) {
                if (m_listener)
                    m_listener->Scanning(name);
                if (QCoreApplication::instance() &&
                    QThread::currentThread() == QCoreApplication::instance()->thread())
                    QCoreApplication::processEvents();
            }
            found += scanFolder(entry.absoluteFilePath(), level + 1, visited);
        } else if (takesFile(entry.absoluteFilePath(), name)) {
            m_imageFile.append(entry.absoluteFilePath());
            ++found;
        }
    }
    return found;
}

} // namespace quillon::engine
