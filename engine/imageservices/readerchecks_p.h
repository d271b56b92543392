#pragma once

#include <QString>

namespace quillon::engine {

// Checks of what OpenImageIO 2.4's readers take on trust from a file, made before the file
// goes to them. Each returns the reason a file is refused ("the IFF header is damaged (...)"),
// or an empty string when the file is sound or not of that format at all (the reader then
// refuses it by itself). Any thread.

// Reads a file's chunks the way the Maya IFF reader does (FOR4 CIMG, the TBHD header, the AUTH
// and DATE texts, then the RGBA tiles of the FOR4 TBMP form) and checks what that reader
// does not: a picture origin other than 0, 0, tiles outside the picture or past the end of
// the file, other chunks among the tiles, run-length data that overruns a tile or runs out.
// Any of these makes it read or write outside its buffers.
QString mayaIffDamage(const QString& path);

// The sections of a Photoshop file ahead of its pixels (colour mode data, image resources and
// each resource block, layer and mask information): the reader allocates each at its stated
// length before reading it, so a length beyond the end of the file costs gigabytes.
QString photoshopSectionDamage(const QString& path);

// OpenImageIO's SGI reader aborts the process on run-length rows that overrun: true when every
// row's offset lies inside the file and its runs fill exactly one row.
bool sgiRunLengthsSound(const QString& path);

// A GIF's logical screen: the reader allocates a canvas of its size when it opens the file.
QString gifScreenDamage(const QString& path);

// A DPX header's image element count, picture size and image data offset: the reader (and
// the DPX library under it) loops over each element and sizes its buffers from the header.
QString dpxHeaderDamage(const QString& path);

} // namespace quillon::engine
