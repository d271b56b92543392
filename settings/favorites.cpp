#include "settings/favorites.h"

#include "settings/atomicfile_p.h"
#include "settings/folderlisting.h"
#include "settings/logging_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace quillon::settings {

namespace {

bool isHidden(const QString& name)
{
    return name.startsWith(QLatin1Char('.'));
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// Moves an entry to a name nobody has; QFile::rename never replaces an existing target.
bool moveEntry(const QDir& dir, const QString& from, const QString& to, QString* error)
{
    if (QFileInfo::exists(dir.filePath(to))) {
        *error = QStringLiteral("%1: cannot be renamed to %2: that name is taken")
                     .arg(dir.filePath(from), quoted(to));
        return false;
    }
    QFile file(dir.filePath(from));
    if (!file.rename(dir.filePath(to))) {
        *error = QStringLiteral("%1: cannot be renamed to %2: %3")
                     .arg(dir.filePath(from), quoted(to), file.errorString());
        return false;
    }
    return true;
}

bool removeEntry(const QDir& dir, const QString& name, QString* error)
{
    const QString path = dir.filePath(name);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    const bool removed =
        info.isDir() && !info.isSymLink() ? QDir(dir).rmdir(name) : QFile::remove(path);
    if (!removed)
        *error = QStringLiteral("%1: cannot be removed").arg(path);
    return removed;
}

} // namespace

QString favoritesFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/favorites");
}

QString FavoritesFolder()
{
    const QString path = favoritesFolderPath();
    if (QFileInfo(path).isDir())
        return path;
    if (!QDir().mkpath(path)) {
        qCWarning(lcSettings, "%s: the favorites folder cannot be created", qPrintable(path));
        return {};
    }
    return path;
}

QStringList listFavorites(const QString& folder)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    for (const QFileInfo& info : listFolder(folder)) {
        if (!isHidden(info.fileName()))
            names << info.fileName();
    }
    return names;
}

std::vector<FavoriteMenuItem> favoritesMenu(const QString& folder)
{
    std::vector<FavoriteMenuItem> items;
    int position = 0;
    if (!folder.isEmpty()) {
        for (const QFileInfo& info : listFolder(folder)) {
            ++position;
            if (isHidden(info.fileName()))
                continue;
            FavoriteMenuItem item;
            item.text = info.fileName();
            item.enabled = true;
            if (position <= kFavoriteShortcutPositions)
                item.shortcutDigit = int(items.size());
            items.push_back(item);
        }
    }
    if (items.empty())
        items.push_back({QString::fromLatin1(kNoFavoritesText), false, -1});
    return items;
}

QString findFavorite(const QString& folder, const QString& name)
{
    for (const QString& favorite : listFavorites(folder)) {
        if (sameName(favorite, name))
            return favorite;
    }
    return {};
}

QString defaultFavoritePath(const QString& folder, const QString& prefDefault)
{
    if (prefDefault.isEmpty())
        return {};
    const QString name = findFavorite(folder, prefDefault);
    return name.isEmpty() ? QString() : QDir(folder).filePath(name);
}

QString favoriteNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("A favorite needs a name.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("The names \".\" and \"..\" are reserved by the file system.");
    if (name.contains(QLatin1Char('/')))
        return QStringLiteral("A favorite's name cannot contain \"/\".");
    if (name.contains(QChar(0)))
        return QStringLiteral("A favorite's name cannot contain a NUL character.");
    if (isHidden(name))
        return QStringLiteral("A name beginning with \".\" would make the favorite a hidden file.");
    if (name.toUtf8().size() > kMaxFavoriteNameBytes)
        return QStringLiteral("The name is longer than the file system allows.");
    return {};
}

FavoriteResult saveFavorite(const SettingsStore& store, const QString& folder, const QString& name)
{
    if (const QString problem = favoriteNameProblem(name); !problem.isEmpty())
        return {false, QStringLiteral("%1: %2").arg(quoted(name), problem)};
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {false, QStringLiteral("%1: the favorites folder is missing").arg(folder)};
    const QDir dir(folder);
    const QString path = dir.filePath(name);
    QByteArray bytes;
    const SettingsStore::WriteResult encoded = store.toBytes(bytes, path);
    if (!encoded.ok)
        return {false, encoded.error};
    QString error;
    if (!writeFileAtomically(path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner, &error))
        return {false, error};
    // The replaced favorite in other letter case goes, so one favorite of that name remains.
    for (const QString& other : listFavorites(folder)) {
        if (other != name && sameName(other, name) && !removeEntry(dir, other, &error))
            return {false, error};
    }
    return {true, {}};
}

FavoritesPlan planFavoritesEdit(const QStringList& entries, const FavoritesEdit& edit)
{
    FavoritesPlan plan;
    const QSet<QString> present(entries.begin(), entries.end());

    QSet<QString> removed;
    for (const QString& name : edit.removed) {
        if (present.contains(name))
            removed.insert(name);
    }
    std::vector<FavoriteRename> renames;
    QSet<QString> moving;
    for (const FavoriteRename& rename : edit.renames) {
        if (rename.from == rename.to || !present.contains(rename.from) ||
            removed.contains(rename.from) || moving.contains(rename.from))
            continue;
        if (const QString problem = favoriteNameProblem(rename.to); !problem.isEmpty()) {
            plan.error = QStringLiteral("%1 cannot be renamed to %2: %3")
                             .arg(quoted(rename.from), quoted(rename.to), problem);
            return plan;
        }
        renames.push_back(rename);
        moving.insert(rename.from);
    }

    // A new name must not be one that stays in the folder, nor another favorite's new name.
    for (size_t i = 0; i < renames.size(); ++i) {
        const QString& to = renames[i].to;
        for (const QString& entry : entries) {
            if (moving.contains(entry) || removed.contains(entry) || !sameName(entry, to))
                continue;
            plan.error = QStringLiteral("%1 cannot be renamed to %2: the folder already holds %3")
                             .arg(quoted(renames[i].from), quoted(to), quoted(entry));
            return plan;
        }
        for (size_t j = 0; j < i; ++j) {
            if (sameName(renames[j].to, to)) {
                plan.error = QStringLiteral("%1 and %2 cannot both be renamed to %3")
                                 .arg(quoted(renames[j].from), quoted(renames[i].from), quoted(to));
                return plan;
            }
        }
    }

    // Temporary names are hidden and unused by any entry, so the first moves free every name
    // that the later ones take.
    QSet<QString> taken = present;
    std::vector<QString> temporary;
    int counter = 0;
    for (const FavoriteRename& rename : renames) {
        QString name;
        do {
            name = QStringLiteral(".quillon-rename-%1").arg(++counter);
        } while (taken.contains(name));
        taken.insert(name);
        temporary.push_back(name);
        plan.steps.push_back({FavoritesPlan::Op::Rename, rename.from, name});
    }
    for (const QString& name : edit.removed) {
        if (removed.remove(name))
            plan.steps.push_back({FavoritesPlan::Op::Remove, name, {}});
    }
    for (size_t i = 0; i < renames.size(); ++i)
        plan.steps.push_back({FavoritesPlan::Op::Rename, temporary[i], renames[i].to});
    plan.ok = true;
    return plan;
}

FavoriteResult applyFavoritesEdit(const QString& folder, const FavoritesEdit& edit)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {false, QStringLiteral("%1: the favorites folder is missing").arg(folder)};
    QStringList entries;
    for (const QFileInfo& info : listFolder(folder))
        entries << info.fileName();
    const FavoritesPlan plan = planFavoritesEdit(entries, edit);
    if (!plan.ok)
        return {false, plan.error};

    const QDir dir(folder);
    // Favorites now under a temporary name: temporary name -> {old name, new name}.
    QHash<QString, FavoriteRename> parked;
    QString error;
    for (const FavoritesPlan::Step& step : plan.steps) {
        bool done = false;
        if (step.op == FavoritesPlan::Op::Remove) {
            done = removeEntry(dir, step.from, &error);
        } else {
            done = moveEntry(dir, step.from, step.to, &error);
            if (done && step.to.startsWith(QLatin1String(".quillon-rename-")))
                parked.insert(step.to, {step.from, {}});
            else if (done)
                parked.remove(step.from);
        }
        if (!done)
            break;
    }
    if (parked.isEmpty())
        return {error.isEmpty(), error};

    // Something failed half way: no favorite may stay hidden under its temporary name.
    for (const FavoritesPlan::Step& step : plan.steps) {
        if (step.op == FavoritesPlan::Op::Rename && parked.contains(step.from))
            parked[step.from].to = step.to;
    }
    for (auto it = parked.cbegin(); it != parked.cend(); ++it) {
        QString ignored;
        QStringList candidates = {it->from, it->to};
        for (int n = 1; n <= 9; ++n)
            candidates << QStringLiteral("%1 %2").arg(it->from).arg(n);
        for (const QString& candidate : candidates) {
            if (!candidate.isEmpty() && moveEntry(dir, it.key(), candidate, &ignored))
                break;
        }
    }
    qCWarning(lcSettings, "%s", qPrintable(error));
    return {false, error};
}

} // namespace quillon::settings
