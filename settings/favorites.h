#pragma once

#include "settings/settingsstore.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quillon::settings {

// The favorites store on the file side: one settings file per favorite in the favorites folder,
// the file's name being the favorite's name. Entries whose names begin with "." are hidden and
// never favorites. Everything here lists the folder in the listing order of listFolder, so the
// Favorites menu, the Edit Favorites list and the start dialog agree.
// Main thread (nothing here keeps state; any thread may call it on its own folder).

// The text of the one menu item shown when there is no favorite.
inline constexpr const char* kNoFavoritesText = "None Available";
// Digits 0..8 are the favorites' shortcuts; positions 1..9 of the listing get one.
inline constexpr int kFavoriteShortcutPositions = 9;
// The longest favorite name in bytes of its file name (the usual file-system limit).
inline constexpr int kMaxFavoriteNameBytes = 255;

// QStandardPaths::AppDataLocation + "/favorites", without touching the disk.
QString favoritesFolderPath();

// FavoritesFolder: the favorites folder, created (with its parents) when it is missing. Empty
// when it cannot be created, so nothing is listed and nothing is saved there.
QString FavoritesFolder();

// The favorites of a folder (its visible entries) in listing order. A missing folder has none.
QStringList listFavorites(const QString& folder);

// One item of the Favorites menu as loadFavorites builds it and the enabling rule shows it.
struct FavoriteMenuItem
{
    QString text;
    bool enabled = false;
    int shortcutDigit = -1; // 0..8 for Ctrl+digit, -1 for none
};

// The favorite items of the menu: one per favorite, enabled; the favorite at listing position p
// (1-based, hidden entries counted) gets the digit of its own index when p is at most 9, so a
// hidden entry among the first nine takes one shortcut away from the end of that range. No
// favorite gives the one disabled item "None Available" without a shortcut.
std::vector<FavoriteMenuItem> favoritesMenu(const QString& folder);

// The visible entry whose name equals `name` without regard to letter case (the first in listing
// order); empty when there is none. Used for the Add To Favorites replace question.
QString findFavorite(const QString& folder, const QString& name);

// loadDefault's lookup: the path of the favorite named `prefDefault` (in any letter case), empty
// when prefDefault is empty or no favorite has that name.
QString defaultFavoritePath(const QString& folder, const QString& prefDefault);

// Why a name cannot be a favorite's file name, as a sentence for a message box; empty when it
// can. Refused: an empty name, ".", "..", a name containing "/" or a NUL character, a name
// beginning with "." (the file would be hidden and never listed again) and a name longer than
// kMaxFavoriteNameBytes.
QString favoriteNameProblem(const QString& name);

struct FavoriteResult
{
    bool ok = false;
    QString error; // names the file or favorite and the reason
};

// Saves a settings list as the favorite `name` in `folder`: written all or nothing with mode
// 0600 (a favorite may hold an FTP password), replacing a favorite of exactly that name. When
// the user agreed to replace a favorite whose name differs only in letter case, that file is
// removed after the new one is written, so one favorite remains.
FavoriteResult saveFavorite(const SettingsStore& store, const QString& folder, const QString& name);

// What the Edit Favorites dialog asks for on OK: favorites renamed (the name of the file when
// the dialog opened, and the name now shown) and the files of removed favorites.
struct FavoriteRename
{
    QString from;
    QString to;
};

struct FavoritesEdit
{
    std::vector<FavoriteRename> renames;
    QStringList removed;
};

// The file operations that carry out an edit, in order. Renames go through temporary hidden
// names first, so exchanging two names and reusing a removed favorite's name work; no step
// ever lands on a name that another entry still has.
struct FavoritesPlan
{
    enum class Op
    {
        Rename, // from -> to; the target never exists at that moment
        Remove, // from
    };
    struct Step
    {
        Op op;
        QString from;
        QString to;
    };

    bool ok = false;
    QString error; // why the edit is refused; nothing is done then
    std::vector<Step> steps;
};

// Plans an edit against the names the folder holds now (hidden ones included). Files are
// matched by their exact name; a rename or removal of a file that is no longer there is
// dropped. Refused, with a reason: a new name favoriteNameProblem rejects, two favorites given
// the same name (in any letter case), and a new name that an entry which stays in the folder
// already has (in any letter case).
FavoritesPlan planFavoritesEdit(const QStringList& entries, const FavoritesEdit& edit);

// Plans the edit against the folder and carries it out. A step that fails stops the rest; a
// favorite already moved to its temporary name is then given back its old name (or a free
// variant of its new one), so no favorite is left hidden.
FavoriteResult applyFavoritesEdit(const QString& folder, const FavoritesEdit& edit);

} // namespace quillon::settings
