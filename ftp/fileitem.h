#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

namespace quillon::ftp {

// One entry of a remote directory listing, as the server's long listing shows it.
// A plain value: any thread.
struct fileItem
{
    QString filename;   // the entry name, blanks kept
    QString date;       // modification date as listed ("Dec 11 14:53" or "Dec 11  2025")
    qint64 size = 0;    // bytes
    QString permission; // e.g. "drwxr-xr-x"
    bool folder = false;

    // Reads one long-format listing line ("-rw-r--r-- 1 owner group 20480 Dec 11 14:53 a b.jpg").
    // Fields are split at runs of blanks, the rest of the line after the time or year being the
    // name, so wide owner names or sizes do not shift anything. False for lines that are no
    // entry (the "total N" line, messages).
    static bool fromListingLine(const QString& line, fileItem* item);
};

} // namespace quillon::ftp

Q_DECLARE_METATYPE(quillon::ftp::fileItem)
