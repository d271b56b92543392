#pragma once

#include "engine/codecs/codecinfo.h"

#include <QString>

#include <vector>

namespace quillon::engine::codecs {

// The values of one format's export options, and their settings text
// "key=value;key=value". Reading the text ignores unknown keys, gives a key whose value is
// not valid its default, and takes an empty text as every default; toText() always reads
// back to the same values. A value object: copy freely, one thread at a time.
class ExportOptions
{
public:
    ExportOptions() = default;
    explicit ExportOptions(const CodecInfo* codec);

    const CodecInfo* codec() const { return m_codec; }
    std::span<const CodecOption> options() const;

    // The value of an option (a Choice's index), or -1 for a key the format does not have.
    int value(const char* key) const;
    // The choice name of a Choice option, or the number as text.
    QString valueText(const char* key) const;
    // Sets an option; false (nothing changed) for an unknown key or a value out of range.
    bool setValue(const char* key, int value);
    void resetToDefaults();

    QString toText() const;
    void setText(const QString& text);
    static ExportOptions fromText(const CodecInfo* codec, const QString& text);

    bool operator==(const ExportOptions& other) const = default;

private:
    int indexOf(const char* key) const;

    const CodecInfo* m_codec = nullptr;
    std::vector<int> m_values;
};

// The value an option's text stands for, or -1 when the text is not a valid value.
int parseOptionValue(const CodecOption& option, const QString& text);

} // namespace quillon::engine::codecs
