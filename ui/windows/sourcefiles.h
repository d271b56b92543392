#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

namespace quillon::ui {

// Two entries are the same source when they name the same file: the same canonical path, or the
// same device and inode (hard links, and letter-case variants on a case-insensitive file
// system). On a case-sensitive file system "a.jpg" and "A.jpg" are two sources. Entries that do
// not exist are compared by their cleaned absolute paths. Any thread.
bool isSameSource(const QString& a, const QString& b);

// The file services the source files window needs. defaultSourceFileServices() uses the engine's
// label, icon and picture-file services; a test may replace single members.
struct SourceFileServices
{
    // Whether an item may become a source: a picture file, a raw camera file or a folder, and
    // never a name ending in ".app".
    std::function<bool(const QString& path)> isSource;
    // The 16-pixel row icon of a file.
    std::function<QImage(const QString& path)> icon;
    // The file's colour label as a label index: 0 none, 1 red .. 7 gray.
    std::function<int(const QString& path)> labelIndex;
    // Sets the file's colour label by label index (0 removes it); false with a reason.
    std::function<bool(const QString& path, int labelIndex, QString* error)> setLabelIndex;
    // The names of label indexes 1..7.
    std::function<QStringList()> labelNames;
    // The small label picture of a label index 1..7, drawn at the right end of a row; a null
    // picture draws nothing.
    std::function<QImage(int labelIndex)> labelPicture;
};

SourceFileServices defaultSourceFileServices();

// The label picture of a label index 0..7 (label::cImage, loaded on first use); null for any
// other index.
QImage labelPicture(int labelIndex);

} // namespace quillon::ui
