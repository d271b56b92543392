// The preferences reader over any file. A file it takes whole writes back and reads again
// as the same preferences; a damaged one gives the documented defaults, never a mix.

#include "fuzz/fuzztarget.h"

#include "settings/preferences.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

using namespace quillon::settings;

QUILLON_FUZZ_TARGET(preferences)
{
    const QString path = QDir::temp().filePath(QStringLiteral("quillon-fuzz-prefs-%1").arg(getpid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return true;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    Preferences prefs;
    prefs.prefDefault = QStringLiteral("before");
    const PreferencesReadResult result = readPrefs(prefs, path);
    bool held = true;
    if (result.status == PreferencesReadResult::Status::Ok) {
        held = isDepthPosition(prefs.prefDepth) && writePrefs(prefs, path);
        Preferences again;
        held = held && readPrefs(again, path).status == PreferencesReadResult::Status::Ok &&
               again == prefs;
    } else {
        held = !result.error.isEmpty() && prefs.prefSetting && !prefs.prefDestination &&
               prefs.prefDepth == 1 && prefs.prefDefault == QLatin1String("before");
    }
    QFile::remove(path);
    return held;
}
