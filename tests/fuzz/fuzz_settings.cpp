// The settings stream reader over any bytes. What it reads must write back, and what it writes
// must read back as the same records: a settings file Quillon loads is one it can save again.

#include "fuzz/fuzztarget.h"

#include "settings/settingsstore.h"

using quillon::settings::SettingsStore;

QUILLON_FUZZ_TARGET(settings)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SettingsStore store;
    const SettingsStore::ReadResult read = store.readBytes(bytes, QStringLiteral("fuzz.settings"));
    if (!read.ok() && read.error.isEmpty())
        return false; // a failure always says why
    if (read.ok() != (read.errorOffset < 0))
        return false;

    QByteArray written;
    if (!store.toBytes(written).ok)
        return true; // a text that grew past a String's length when decoded is refused, not cut
    SettingsStore again;
    if (!again.readBytes(written).ok() || again.setting.size() != store.setting.size())
        return false;
    QByteArray rewritten;
    return again.toBytes(rewritten).ok && rewritten == written;
}
