#include "settings/globals.h"

#include <array>

namespace quillon::settings {

QString getFormat(int code)
{
    static constexpr std::array<const char*, 11> kTypes = {
        "JPEG", "jp2 ", "TIFF", "8BPS", "BMPf", "PICT", ".SGI", "MIFF", "PNGf", "TPIC", "PNTG"};
    if (code < 0 || code >= int(kTypes.size()))
        return {};
    return QString::fromLatin1(kTypes[size_t(code)]);
}

} // namespace quillon::settings
