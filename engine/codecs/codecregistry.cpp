#include "engine/codecs/codecregistry.h"

#include "engine/codecs/bmp/bmpformat.h"
#include "engine/codecs/iff/iffformat.h"
#include "engine/codecs/jp2/jp2format.h"
#include "engine/codecs/jpeg/jpegformat.h"
#include "engine/codecs/macpaint/macpaintformat.h"
#include "engine/codecs/pict/pictformat.h"
#include "engine/codecs/png/pngformat.h"
#include "engine/codecs/psd/psdformat.h"
#include "engine/codecs/sgi/sgiformat.h"
#include "engine/codecs/tga/tgaformat.h"
#include "engine/codecs/tiff/tiffformat.h"

namespace quillon::engine::codecs {

namespace {

// Listed once, in format-code order.
constexpr CodecInfo kCodecs[] = {
    kJpegFormat, kJp2Format, kTiffFormat, kPsdFormat, kBmpFormat, kPictFormat,
    kSgiFormat, kIffFormat, kPngFormat, kTgaFormat, kMacPaintFormat,
};

} // namespace

std::span<const CodecInfo> codecs()
{
    return kCodecs;
}

const CodecInfo* codecByCode(int code)
{
    for (const CodecInfo& codec : kCodecs)
        if (codec.code == code)
            return &codec;
    return nullptr;
}

const CodecInfo* codecByType(const QString& type)
{
    for (const CodecInfo& codec : kCodecs)
        if (type == QLatin1String(codec.type))
            return &codec;
    return nullptr;
}

const CodecInfo* codecByWriterFormat(const QString& name)
{
    for (const CodecInfo& codec : kCodecs)
        if (codec.writerFormat && name == QLatin1String(codec.writerFormat))
            return &codec;
    return nullptr;
}

} // namespace quillon::engine::codecs
