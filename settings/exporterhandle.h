#pragma once

#include <QString>

#include <memory>

namespace quillon::settings {

// What a Format step holds of its image exporter: the exporter type it was opened for (a
// four-character code from getFormat(); empty = not opened) and the exporter's opaque settings
// text (its options as "key=value;key=value"; empty = the format's defaults). The settings
// library never interprets the text; the engine builds the real encoder from the two.
//
// One handle is shared by reference between a Format step and the main window while the step is
// shown, so options changed in the options dialog act on the step at once.
// Main thread; a running batch reads it and nobody changes it meanwhile.
class ExporterHandle
{
public:
    ExporterHandle() = default;
    explicit ExporterHandle(const QString& type) : m_type(type) {}

    // Opens the handle for another exporter type; the options start over at their defaults.
    void openExporter(const QString& type)
    {
        m_type = type;
        m_settings.clear();
    }
    bool isOpen() const { return !m_type.isEmpty(); }
    QString type() const { return m_type; }

    QString settings() const { return m_settings; }
    void setSettings(const QString& text) { m_settings = text; }

private:
    QString m_type;
    QString m_settings;
};

using ExporterPtr = std::shared_ptr<ExporterHandle>;

} // namespace quillon::settings
