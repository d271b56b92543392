#pragma once

#include <QPixmap>
#include <QString>

// The label pictures and names shown next to labelled settings and source files. Main thread.
namespace quillon::ui::label {

// Loads the eight label pictures (label index 0 "all.png" .. 7 "gray.png") from the program's
// ":/labels" resources. A picture that is missing leaves its slot empty, which draws nothing.
// Called once at start; calling it again reloads.
void loadImages();

// The picture of a label index 0..7; an empty picture before loadImages(), for a missing file
// or for an index outside 0..7.
QPixmap cImage(int labelIndex);

// The name the label picker shows for a label index 1..7 ("Red" .. "Gray"); empty otherwise.
QString labelName(int labelIndex);

} // namespace quillon::ui::label
