// The XMP sidecar parser over any text: it finds a label number 0..7 and stays linear in the
// length of the text.

#include "fuzz/fuzztarget.h"

#include "engine/labels/finderlabel.h"

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(xmp)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const int number = labelOfXmp(text);
    return number >= 0 && number <= 7;
}
