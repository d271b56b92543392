#pragma once

#include "settings/batchsetting.h"
#include "settings/settingkinds.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace quillon::settings {

// The largest settings file read; real ones are a few hundred bytes.
inline constexpr qint64 kMaxSettingsFileBytes = 16 * 1024 * 1024;
// The most records read from one settings file; real ones hold a few dozen. Without it a file
// of tiny records would make a million settings (and as many rows in the list).
inline constexpr int kMaxSettingsRecords = 10000;

// A list of settings: the ordered list `setting`, in which every setting's `id` equals its index,
// and one list per kind holding the same objects. Used by the main window for the list the user
// edits and by the batch job for the steps it runs. Copying a store copies the lists, not the
// settings: both copies then share the setting objects.
// Main thread (the batch job reads a favorite into its own store there too); a running batch
// reads it and nobody changes it meanwhile.
class SettingsStore
{
public:
    std::vector<SettingPtr> setting;
    std::vector<std::shared_ptr<formatSetting>> formatt;
    std::vector<std::shared_ptr<scaleSetting>> scale;
    std::vector<std::shared_ptr<nameSetting>> fileName;
    std::vector<std::shared_ptr<colorsyncSetting>> colorsync;
    std::vector<std::shared_ptr<flipRotateSetting>> flipRotate;
    std::vector<std::shared_ptr<watermarkSetting>> watermark;
    std::vector<std::shared_ptr<rawSetting>> raw;
    std::vector<std::shared_ptr<FTPSetting>> ftp;

    // Appends to its kind list (by its dynamic kind) and to `setting`, and sets its `id`.
    // False, and nothing added, for a null setting.
    bool append(const SettingPtr& item);
    // Removes the setting at an index from `setting` and its kind list and renumbers the ids.
    // False for an index out of range.
    bool removeAt(int index);
    void clear();
    bool isEmpty() const { return setting.empty(); }

    struct WriteResult
    {
        bool ok = false;
        QString error; // names the file and the reason
    };

    enum class ReadStatus
    {
        Ok,         // every byte read as complete records
        Damaged,    // the complete records before the damage are in the store
        OpenFailed, // missing, unreadable or too large; the store is empty
    };

    struct ReadResult
    {
        ReadStatus status = ReadStatus::Ok;
        QString error;           // names the file, the byte offset and the reason
        qint64 errorOffset = -1; // where the damaged record starts; -1 when none
        bool ok() const { return status == ReadStatus::Ok; }
    };

    // The records of `setting`, from index 0 up, as a settings file holds them. Fails (naming
    // `fileName` in the message) when a text is longer than a String can carry.
    WriteResult toBytes(QByteArray& bytes, const QString& fileName = QString()) const;
    // Writes the file all or nothing: on failure any previous file is left as it was.
    WriteResult writeFile(const QString& path) const;

    // Empties the store, then reads records by the record rule: a kind code (Short), a new
    // setting of that kind, its label and body. A code outside 0..7 or a record cut short by
    // the end stops the reading; the complete records before it stay. So does a record past
    // kMaxSettingsRecords.
    ReadResult readBytes(const QByteArray& bytes, const QString& fileName = QString());
    ReadResult readFile(const QString& path);
};

} // namespace quillon::settings
