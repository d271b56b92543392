#include "engine/codecs/exportoptions.h"

#include <QStringList>

#include <cstring>

namespace quillon::engine::codecs {

int parseOptionValue(const CodecOption& option, const QString& text)
{
    const QString t = text.trimmed();
    if (option.kind == OptionKind::Choice) {
        for (std::size_t i = 0; i < option.choices.size(); ++i)
            if (t.compare(QLatin1String(option.choices[i]), Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < option.minimum || v > option.maximum)
        return -1;
    return v;
}

ExportOptions::ExportOptions(const CodecInfo* codec) : m_codec(codec)
{
    resetToDefaults();
}

std::span<const CodecOption> ExportOptions::options() const
{
    return m_codec ? m_codec->options : std::span<const CodecOption>();
}

int ExportOptions::indexOf(const char* key) const
{
    const auto opts = options();
    for (std::size_t i = 0; i < opts.size(); ++i)
        if (std::strcmp(opts[i].key, key) == 0)
            return int(i);
    return -1;
}

int ExportOptions::value(const char* key) const
{
    const int i = indexOf(key);
    return i < 0 ? -1 : m_values[std::size_t(i)];
}

QString ExportOptions::valueText(const char* key) const
{
    const int i = indexOf(key);
    if (i < 0)
        return QString();
    const CodecOption& option = options()[std::size_t(i)];
    const int v = m_values[std::size_t(i)];
    if (option.kind == OptionKind::Choice)
        return QLatin1String(option.choices[std::size_t(v)]);
    return QString::number(v);
}

bool ExportOptions::setValue(const char* key, int value)
{
    const int i = indexOf(key);
    if (i < 0)
        return false;
    const CodecOption& option = options()[std::size_t(i)];
    const int maximum =
        option.kind == OptionKind::Choice ? int(option.choices.size()) - 1 : option.maximum;
    const int minimum = option.kind == OptionKind::Choice ? 0 : option.minimum;
    if (value < minimum || value > maximum)
        return false;
    m_values[std::size_t(i)] = value;
    return true;
}

void ExportOptions::resetToDefaults()
{
    m_values.clear();
    for (const CodecOption& option : options())
        m_values.push_back(option.defaultValue);
}

QString ExportOptions::toText() const
{
    QStringList parts;
    for (const CodecOption& option : options())
        parts << QLatin1String(option.key) + QLatin1Char('=') + valueText(option.key);
    return parts.join(QLatin1Char(';'));
}

void ExportOptions::setText(const QString& text)
{
    resetToDefaults();
    const auto opts = options();
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        for (std::size_t i = 0; i < opts.size(); ++i) {
            if (key.compare(QLatin1String(opts[i].key), Qt::CaseInsensitive) != 0)
                continue;
            const int v = parseOptionValue(opts[i], part.mid(eq + 1));
            m_values[i] = v < 0 ? opts[i].defaultValue : v;
        }
    }
}

ExportOptions ExportOptions::fromText(const CodecInfo* codec, const QString& text)
{
    ExportOptions options(codec);
    options.setText(text);
    return options;
}

} // namespace quillon::engine::codecs
