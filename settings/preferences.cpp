#include "settings/preferences.h"

#include "settings/atomicfile_p.h"
#include "settings/binaryextras.h"
#include "settings/logging_p.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillon::settings {

namespace {

void setDefaults(Preferences& prefs)
{
    prefs.prefSetting = true;
    prefs.prefDestination = false;
    prefs.prefDepth = 1;
}

} // namespace

QString preferencesFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') +
           QLatin1String(kPreferencesFileName);
}

bool isDepthPosition(int position)
{
    return position == 0 || position == 1 || (position >= 3 && position <= 7);
}

PreferencesReadResult readPrefs(Preferences& prefs, const QString& path)
{
    PreferencesReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setDefaults(prefs);
        return result;
    }
    const QByteArray bytes = file.read(kMaxPreferencesFileBytes + 1);
    auto damaged = [&](const QString& reason) {
        setDefaults(prefs);
        result.status = PreferencesReadResult::Status::Damaged;
        result.error = QStringLiteral("%1: %2; the defaults are used").arg(path, reason);
        qCWarning(lcSettings, "%s", qPrintable(result.error));
        return result;
    };
    if (bytes.size() > kMaxPreferencesFileBytes)
        return damaged(QStringLiteral("is too large to be a preferences file"));

    binaryExtras::ByteReader stream(bytes);
    Preferences read;
    read.prefDefault = stream.readString();
    read.prefFavorite = stream.readString();
    read.prefSetting = stream.readBoolean();
    read.prefDestination = stream.readBoolean();
    read.prefDepth = stream.readShort();
    if (stream.isCutShort())
        return damaged(QStringLiteral("is cut short at byte %1").arg(bytes.size()));
    if (stream.hasBadLength())
        return damaged(QStringLiteral("holds a text with a negative length"));
    if (!stream.atEnd())
        return damaged(QStringLiteral("has %1 bytes after the last field")
                           .arg(bytes.size() - stream.offset()));
    if (!isDepthPosition(read.prefDepth))
        return damaged(QStringLiteral("holds the folder depth position %1").arg(read.prefDepth));
    prefs = read;
    result.status = PreferencesReadResult::Status::Ok;
    return result;
}

bool writePrefs(const Preferences& prefs, const QString& path, QString* error)
{
    QString reason;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const bool encoded = binaryExtras::writeString(buffer, prefs.prefDefault) &&
                         binaryExtras::writeString(buffer, prefs.prefFavorite) &&
                         binaryExtras::writeBoolean(buffer, prefs.prefSetting) &&
                         binaryExtras::writeBoolean(buffer, prefs.prefDestination) &&
                         binaryExtras::writeShort(buffer, prefs.prefDepth);
    bool ok = false;
    if (!encoded)
        reason = QStringLiteral("%1: cannot be written: a name is too long").arg(path);
    else if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        reason = QStringLiteral("%1: cannot be written: its folder cannot be created").arg(path);
    else
        ok = writeFileAtomically(path, buffer.data(),
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner, &reason);
    if (!ok) {
        qCWarning(lcSettings, "%s", qPrintable(reason));
        if (error)
            *error = reason;
    }
    return ok;
}

} // namespace quillon::settings
