#pragma once

#include <QFileInfoList>
#include <QString>

namespace quillon::settings {

// Orders names the way file managers list them: without regard to letter case, runs of digits
// by their value ("IMG_2" before "IMG_10"). Names equal under that rule are ordered by their
// exact text, so a folder always lists in the same order. Returns <0, 0 or >0.
int compareListingNames(const QString& a, const QString& b);

// Every entry of a folder (hidden ones included, "." and ".." excluded), in listing order.
// Symbolic links are listed as what they are; callers decide whether to follow them.
// An unreadable or missing folder gives an empty list. Any thread.
QFileInfoList listFolder(const QString& folder);

} // namespace quillon::settings
