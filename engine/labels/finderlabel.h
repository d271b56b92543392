#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon::engine {

// Colour labels of files. A file's Finder label number (1 Gray, 2 Green, 3 Purple, 4 Blue,
// 5 Yellow, 6 Red, 7 Orange, 0 none) comes from the extended attribute user.xdg.tags
// (comma-separated tags; the first tag naming a colour, in any letter case, "Grey" too);
// when that names no colour, from the xmp:Label of an XMP sidecar (photo.jpg.xmp, then
// photo.xmp). A file system without extended attributes gives 0. Any thread.

// FinderLabelMBS(file): the file's label number 0..7.
int FinderLabelMBS(const QString& path);

// FinderLabelMBS(number): the label's name ("Red", ... "Gray"), empty for 0 or out of range.
QString finderLabelName(int number);

// The seven label names in label index order 1..7: Red, Orange, Yellow, Green, Blue, Purple,
// Gray.
QStringList labelNames();

// Label number of a colour name (any letter case; "Grey" is Gray), 0 for anything else.
int labelNumberOfName(const QString& name);

// The parsers behind FinderLabelMBS, on bytes already read: the label number of a
// user.xdg.tags value (its first tag naming a colour) and of an XMP sidecar's text (its
// xmp:Label), 0 for none.
int labelOfTagsValue(const QByteArray& value);
int labelOfXmp(const QByteArray& text);

// Label index (0 none, 1 red ... 7 gray) of a Finder label number; any other number gives 0.
int convertLabel(int finderLabelNumber);

// Sets the file's colour label in user.xdg.tags: the colour tags already there are removed,
// the other tags kept, and the new colour's name appended (number 0 only removes). The
// attribute is removed when no tag is left. False with a reason naming the file when the
// attribute cannot be written.
bool setFinderLabel(const QString& path, int number, QString* error);

} // namespace quillon::engine
