// The picture-file sniffing over any first bytes: the magic-number test and the PICT and
// MacPaint tests it calls never read past what they are given.

#include "fuzz/fuzztarget.h"

#include "engine/imageservices/picturefile.h"

#include <cstring>

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(picturefile)
{
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    QByteArray head(qsizetype(size), Qt::Uninitialized);
    std::memcpy(head.data(), data, size);
    looksLikePicture(head);
    return true;
}
