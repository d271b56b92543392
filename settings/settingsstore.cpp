#include "settings/settingsstore.h"

#include "settings/binaryextras.h"
#include "settings/logging_p.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace quillon::settings {

Q_LOGGING_CATEGORY(lcSettings, "quillon.settings", QtWarningMsg)

namespace {

template <typename Kind>
bool addTo(std::vector<std::shared_ptr<Kind>>& list, const SettingPtr& item)
{
    auto typed = std::dynamic_pointer_cast<Kind>(item);
    if (!typed)
        return false;
    list.push_back(std::move(typed));
    return true;
}

template <typename Kind>
void removeFrom(std::vector<std::shared_ptr<Kind>>& list, const batchSetting* item)
{
    std::erase_if(list, [item](const auto& entry) { return entry.get() == item; });
}

QString displayName(const QString& fileName)
{
    return fileName.isEmpty() ? QStringLiteral("settings") : fileName;
}

} // namespace

bool SettingsStore::append(const SettingPtr& item)
{
    if (!item)
        return false;
    const bool known = addTo(formatt, item) || addTo(scale, item) || addTo(fileName, item) ||
                       addTo(colorsync, item) || addTo(flipRotate, item) ||
                       addTo(watermark, item) || addTo(raw, item) || addTo(ftp, item);
    if (!known)
        return false;
    item->id = int(setting.size());
    setting.push_back(item);
    return true;
}

bool SettingsStore::removeAt(int index)
{
    if (index < 0 || index >= int(setting.size()))
        return false;
    const batchSetting* item = setting[size_t(index)].get();
    removeFrom(formatt, item);
    removeFrom(scale, item);
    removeFrom(fileName, item);
    removeFrom(colorsync, item);
    removeFrom(flipRotate, item);
    removeFrom(watermark, item);
    removeFrom(raw, item);
    removeFrom(ftp, item);
    setting.erase(setting.begin() + index);
    for (size_t i = size_t(index); i < setting.size(); ++i)
        setting[i]->id = int(i);
    return true;
}

void SettingsStore::clear()
{
    setting.clear();
    formatt.clear();
    scale.clear();
    fileName.clear();
    colorsync.clear();
    flipRotate.clear();
    watermark.clear();
    raw.clear();
    ftp.clear();
}

SettingsStore::WriteResult SettingsStore::toBytes(QByteArray& bytes, const QString& name) const
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    for (size_t i = 0; i < setting.size(); ++i) {
        if (!setting[i]->writeValues(buffer)) {
            return {false, QStringLiteral("%1: setting %2 (%3) holds a text longer than %4 bytes, "
                                          "which a settings file cannot store")
                               .arg(displayName(name))
                               .arg(i)
                               .arg(kindName(setting[i]->type))
                               .arg(binaryExtras::kMaxStringBytes)};
        }
    }
    bytes = out;
    return {true, {}};
}

SettingsStore::WriteResult SettingsStore::writeFile(const QString& path) const
{
    QByteArray bytes;
    WriteResult result = toBytes(bytes, path);
    if (!result.ok)
        return result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString())};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, QStringLiteral("%1: cannot be written: %2").arg(path, reason)};
    }
    if (!file.commit())
        return {false, QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString())};
    return {true, {}};
}

SettingsStore::ReadResult SettingsStore::readBytes(const QByteArray& bytes, const QString& name)
{
    clear();
    binaryExtras::ByteReader stream(bytes);
    while (!stream.atEnd()) {
        const qsizetype start = stream.offset();
        if (setting.size() >= size_t(kMaxSettingsRecords)) {
            ReadResult result;
            result.status = ReadStatus::Damaged;
            result.errorOffset = start;
            result.error = QStringLiteral("%1: holds more than %2 records; the rest from byte "
                                          "offset %3 is not read")
                               .arg(displayName(name))
                               .arg(kMaxSettingsRecords)
                               .arg(start);
            qCDebug(lcSettings).noquote() << result.error;
            return result;
        }
        const int code = stream.readShort();
        SettingPtr item = stream.failed() ? nullptr : createSetting(code);
        if (item)
            item->readValues(stream);
        if (!item || stream.failed()) {
            QString reason;
            if (stream.isCutShort())
                reason = QStringLiteral("is cut short by the end of the file");
            else if (stream.hasBadLength())
                reason = QStringLiteral("holds a text with a negative length");
            else
                reason = QStringLiteral("has the unknown kind code %1").arg(code);
            ReadResult result;
            result.status = ReadStatus::Damaged;
            result.errorOffset = start;
            result.error = QStringLiteral("%1: record %2 at byte offset %3 %4")
                               .arg(displayName(name))
                               .arg(setting.size())
                               .arg(start)
                               .arg(reason);
            qCDebug(lcSettings).noquote() << result.error;
            return result;
        }
        item->type = code;
        append(item);
    }
    return {};
}

SettingsStore::ReadResult SettingsStore::readFile(const QString& path)
{
    clear();
    ReadResult failure;
    failure.status = ReadStatus::OpenFailed;
    QFile file(path);
    if (!QFileInfo(path).isFile() && QFileInfo::exists(path)) {
        failure.error = QStringLiteral("%1: is not a file").arg(path);
        return failure;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        failure.error = QStringLiteral("%1: cannot be opened: %2").arg(path, file.errorString());
        return failure;
    }
    if (file.size() > kMaxSettingsFileBytes) {
        failure.error = QStringLiteral("%1: is %2 bytes, larger than any settings file (%3 bytes)")
                            .arg(path)
                            .arg(file.size())
                            .arg(kMaxSettingsFileBytes);
        return failure;
    }
    const QByteArray bytes = file.read(kMaxSettingsFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        failure.error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return failure;
    }
    return readBytes(bytes, path);
}

} // namespace quillon::settings
