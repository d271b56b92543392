#pragma once

#include "settings/settingkinds.h"

#include <QDate>
#include <QString>
#include <array>

namespace quillon::engine {

// Output file names: the File Name step's composition, the default name, the split of a name
// into base and extension, and finding (and reserving) a name that no file has yet.
// Any thread; the functions keep no state of their own (the serial counters are the caller's).

// One running sequence counter per Finder label number 0..8, all 0 at the start of a job.
using SerialNumbers = std::array<int, 9>;

// Splits a name at its last "." unless the name starts with "."; a name ending in "." loses
// that dot and has an empty extension.
void getNameAndExtension(const QString& name, QString& base, QString& extension);

// The date text of names: eight digits, year, month, day (20051231).
QString dateText(const QDate& date);

// function_fileName: advances serials[label] (a label outside 0..8 counts as 0) and composes
// the name from the step's prefix slots, the base of sourceName and the suffix slots.
// extension is the exporter's usual extension, lower case, without the dot.
QString function_fileName(const settings::nameSetting& step, const QString& sourceName, int label,
                          const QString& extension, SerialNumbers& serials,
                          const QDate& date = QDate::currentDate());

// The name used when no File Name step gave one: the source's base, ".", the extension.
QString defaultOutputName(const QString& sourceName, const QString& extension);

// A name made safe as one entry of a folder: "/" and NUL become "_", and "." or ".." (or an
// empty name) become "_" so a name can never point outside the target folder.
QString safeFileName(const QString& name);

// getNewFile: path itself when nothing exists there (a dangling symbolic link counts as
// taken), else the first free "base n.ext" (n = 1, 2, ...) in the same folder.
QString getNewFile(const QString& path);

// How many times a reservation tries further names when other programs keep taking them.
inline constexpr int kMaxReservationRaces = 1000;

struct NameReservation
{
    bool ok = false;
    QString path;  // the reserved (created, empty) file
    QString error; // names the file and the reason
};

// Finds a free name by getNewFile and creates it exclusively (O_EXCL), so no file is ever
// replaced; when another program creates the same name first, the next free name is tried.
// The caller fills the empty file or removes it.
NameReservation reserveNewFile(const QString& path);

// The texts of the duplicate-source message (shown by the windows that add sources).
QString existErrorTitle();
QString existErrorText();

} // namespace quillon::engine
