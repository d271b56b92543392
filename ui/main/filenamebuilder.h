#pragma once

#include <QDate>
#include <QString>
#include <array>

namespace quillon::ui {

// The choices of the File Name page: three prefix and three suffix parts, each a mode (the row
// of its pop-up) and the text of its field, and whether a separator follows each prefix.
struct FileNameParts
{
    std::array<int, 3> prefixMode = {5, 5, 5};
    std::array<QString, 3> prefixText;
    std::array<int, 3> suffixMode = {1, 6, 6};
    std::array<QString, 3> suffixText;
    bool separator = true;
};

// The example name the page shows: the name the choices give a file "MyFile" written as JPEG
// with running number 1 on `date`. Prefix modes: 0 the text, 1 the date as yyyyMMdd, 2 "1",
// 3 "01", 4 "001", 5 nothing; each prefix but mode 5 is followed by "_" when `separator` is
// set. Suffix modes: 0 the text, 1 ".jpg", 2 the date, 3 "1", 4 "01", 5 "001", 6 nothing; no
// separator between suffixes. Any thread.
QString exampleName(const FileNameParts& parts, const QDate& date);

} // namespace quillon::ui
