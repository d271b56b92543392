// The user.xdg.tags parser over any attribute value. Its label is a Finder label number, and a
// value that names no colour gives none.

#include "fuzz/fuzztarget.h"

#include "engine/labels/finderlabel.h"

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(xdgtags)
{
    const QByteArray value(reinterpret_cast<const char*>(data), qsizetype(size));
    const int number = labelOfTagsValue(value);
    if (number < 0 || number > 7)
        return false;
    // Appending a colour tag to tags that name none makes that colour the label.
    if (number == 0 && value.size() < 60000)
        return labelOfTagsValue(value + ",Red") == 6;
    return true;
}
