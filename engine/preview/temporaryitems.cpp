#include "engine/preview/temporaryitems.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <mutex>

namespace quillon::engine {

namespace {

struct TemporaryItems
{
    std::unique_ptr<QTemporaryDir> folder;
    QString error;
};

TemporaryItems& temporaryItems()
{
    // Destroyed, and the folder removed, when the process exits normally.
    static TemporaryItems items;
    static std::once_flag once;
    std::call_once(once, [] {
        QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QFileInfo info(base);
        if (base.isEmpty() || !info.isDir() || !info.isWritable())
            base = QDir::tempPath();
        // QTemporaryDir creates the folder with mkdtemp: mode 0700, a name nobody else has.
        auto folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/quillon-XXXXXX"));
        if (folder->isValid())
            items.folder = std::move(folder);
        else
            items.error = QStringLiteral("the temporary folder cannot be made in %1: %2")
                              .arg(QDir::toNativeSeparators(base), folder->errorString());
    });
    return items;
}

} // namespace

QString temporaryItemsFolder(QString* error)
{
    TemporaryItems& items = temporaryItems();
    if (!items.folder) {
        if (error)
            *error = items.error;
        return {};
    }
    return items.folder->path();
}

} // namespace quillon::engine
