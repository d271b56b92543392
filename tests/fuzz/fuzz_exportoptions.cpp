// The exporter settings text ("key=value;key=value") of every output format over any text.
// The first byte picks the format; what the text reads as must write back to a text that reads
// as the same values.

#include "fuzz/fuzztarget.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/exportoptions.h"

using namespace quillon::engine::codecs;

QUILLON_FUZZ_TARGET(exportoptions)
{
    if (size < 1)
        return true;
    const auto table = codecs();
    const CodecInfo& codec = table[data[0] % table.size()];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const ExportOptions options = ExportOptions::fromText(&codec, text);
    for (const CodecOption& option : options.options())
        options.valueText(option.key);
    const ExportOptions again = ExportOptions::fromText(&codec, options.toText());
    return again == options && again.toText() == options.toText();
}
