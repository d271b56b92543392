// The main window's source list: files and folders dropped on the window, and the duplicate
// message when one of them is already a source.

#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "ui/main/mainwindow.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <sys/stat.h>

namespace quillon::ui {

namespace {

// An application bundle dropped by its folder is never a source.
bool isBundleName(const QString& path)
{
    return QFileInfo(path).fileName().right(4).compare(QLatin1String(".app"),
                                                       Qt::CaseInsensitive) == 0;
}

bool mayBeSource(const QString& path)
{
    if (isBundleName(path))
        return false;
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    return info.isFile() &&
           (engine::IsPictureFileMBS(path) || engine::isRawImage(info.fileName()));
}

// Same file: the same canonical path, or the same device and inode (a hard link, or a letter
// case variant on a case-insensitive file system). Names that do not exist (any more) are
// compared by their cleaned absolute paths.
bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (ca.isEmpty() || cb.isEmpty())
        return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
               QDir::cleanPath(QFileInfo(b).absoluteFilePath());
    if (ca == cb)
        return true;
    struct stat sa;
    struct stat sb;
    return ::stat(QFile::encodeName(ca).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(cb).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The local files and folders of a drop, in order; other URLs are not ours to take.
QStringList droppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::cleanPath(QFileInfo(url.toLocalFile()).absoluteFilePath()));
    }
    return paths;
}

} // namespace

bool mainWindow::addSourceFiles(const QStringList& paths)
{
    bool duplicate = false;
    for (const QString& given : paths) {
        const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
        if (!mayBeSource(path))
            continue;
        const bool known = std::any_of(m_sourceFiles.cbegin(), m_sourceFiles.cend(),
                                       [&](const QString& entry) { return sameFile(entry, path); });
        if (known)
            duplicate = true;
        else
            m_sourceFiles.append(path);
    }
    return duplicate;
}

void mainWindow::dropSourceFiles(const QStringList& paths)
{
    if (addSourceFiles(paths))
        showExisterror();
}

void mainWindow::showExisterror()
{
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("existError"));
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("Quillon"));
    box->setText(QStringLiteral("File(s) does already exist.\n\nOne or more of the files you were "
                                "trying to add does already exist in the source list."));
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void mainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void mainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!droppedPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void mainWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    dropSourceFiles(paths);
}

} // namespace quillon::ui
