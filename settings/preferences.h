#pragma once

#include <QString>

namespace quillon::settings {

// The preference fields the application object owns, and their file "Quillon Prefs":
// String prefDefault, String prefFavorite, Boolean prefSetting, Boolean prefDestination,
// Short prefDepth, in that order, with no header. Main thread.

// The file's name in QStandardPaths::AppConfigLocation.
inline constexpr const char* kPreferencesFileName = "Quillon Prefs";
// The largest preferences file read; a real one is a few dozen bytes.
inline constexpr qint64 kMaxPreferencesFileBytes = 256 * 1024;

struct Preferences
{
    QString prefDefault;          // the default favorite's name; empty = none
    QString prefFavorite;         // the favorite last chosen in the start dialog
    bool prefSetting = false;     // start dialog: true = "Current", false = "Favorite:"
    bool prefDestination = false; // start dialog: true = "Same as Original", false = "Ask"
    int prefDepth = 0;            // start dialog: position in the folder depth menu

    bool operator==(const Preferences&) const = default;
};

// QStandardPaths::AppConfigLocation + "/Quillon Prefs", without touching the disk.
QString preferencesFilePath();

// Whether a depth-menu position is one a user can choose: 0 "None", 1 "Unlimited", 3..7 "1".."5"
// (position 2 is the separator).
bool isDepthPosition(int position);

struct PreferencesReadResult
{
    enum class Status
    {
        Ok,
        Missing, // no file, or it cannot be opened: the defaults
        Damaged, // cut short or holding a bad value: the defaults
    };
    Status status = Status::Missing;
    QString error; // names the file and the reason when Damaged
};

// readPrefs: fills prefs from the file. A missing, unreadable or damaged file (cut short, a text
// with a bad length, trailing bytes, a depth that is no menu position) sets prefSetting true,
// prefDestination false and prefDepth 1 ("Unlimited") and leaves the two names as they were;
// nothing of a damaged file is taken, so its values never mix with the defaults.
PreferencesReadResult readPrefs(Preferences& prefs, const QString& path = preferencesFilePath());

// writePrefs: writes the file all or nothing, creating its folder when missing. False with a
// reason naming the file when it cannot be written; the old file is then left as it was.
bool writePrefs(const Preferences& prefs, const QString& path = preferencesFilePath(),
                QString* error = nullptr);

} // namespace quillon::settings
