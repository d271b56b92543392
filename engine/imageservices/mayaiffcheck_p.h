#pragma once

#include <QString>

namespace quillon::engine {

// Reads a file's chunks the way OpenImageIO 2.4's Maya IFF reader does (FOR4 CIMG, the TBHD
// header, the AUTH and DATE texts, then the RGBA tiles of the FOR4 TBMP form) and checks what
// that reader takes on trust: a picture origin other than 0, 0, tiles outside the picture or
// past the end of the file, other chunks among the tiles, run-length data that overruns a
// tile or runs out. Any of these makes it read or write outside its buffers.
// Returns the reason ("the IFF header is damaged (...)") when the reader would open the file
// and then misread it; an empty string when the file is sound or not an IFF picture at all
// (the reader then refuses it by itself). Any thread.
QString mayaIffDamage(const QString& path);

} // namespace quillon::engine
