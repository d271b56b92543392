#pragma once

#include <span>

namespace quillon::engine::codecs {

// How an export option is edited and stored.
enum class OptionKind { Int, Bool, Choice };

// One export option of a format. Int and Bool options hold their number (Bool: 0 or 1); a
// Choice holds the index into `choices`, and its settings text is the choice's name.
// `writerAttribute`/`writerValues` tell the OpenImageIO writer what the option means (an
// attribute name and, for a choice, the attribute text of each choice); null when the
// option is not an attribute (handled by the writer kind itself).
struct CodecOption
{
    const char* key;
    const char* label;
    OptionKind kind;
    int minimum = 0;
    int maximum = 1;
    int defaultValue = 0;
    std::span<const char* const> choices = {};
    const char* writerAttribute = nullptr;
    std::span<const char* const> writerValues = {};
};

// Which writer produces the file.
enum class CodecWriter { OpenImageIO, Psd, Pict, MacPaint };

// What one output format is: the data the Format page, the options dialog, the exporter and
// the tests are built from.
struct CodecInfo
{
    int code;               // output format code 0..10
    const char* menuEntry;  // the Format menu entry
    const char* type;       // four-character exporter type
    const char* extension;  // default file name extension, lower case, no dot
    bool alpha;             // can keep an alpha channel
    bool icc;               // carries an embedded ICC profile
    bool exif;              // Exif/XMP/IPTC can be copied into it
    bool optionsDialog;     // has an options dialog
    CodecWriter writer;
    const char* writerFormat; // OpenImageIO format name (writer OpenImageIO)
    std::span<const CodecOption> options;
    // When alpha depends on an option: kept only when that option has the given value (BMP
    // depth 32), or, with alphaUnlessOption, kept unless it has it (TIFF with JPEG
    // compression, which has no alpha).
    const char* alphaOptionKey = nullptr;
    int alphaOptionValue = 0;
    bool alphaUnlessOption = false;
    // The format stores colour premultiplied by alpha (Maya IFF), so its writer is given
    // premultiplied data and its reader's data is unpremultiplied.
    bool premultipliedAlpha = false;
    // Largest width or height the format can hold; 0 = no limit of its own.
    int maxSide = 0;
};

} // namespace quillon::engine::codecs
