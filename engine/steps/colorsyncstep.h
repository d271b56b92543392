#pragma once

#include "settings/settingkinds.h"

#include <QByteArray>
#include <QString>

namespace quillon::engine {

class ColorProfiles;

// The colour profile steps. Any thread.

// getColorSyncProfile: the importer's profile when it is a valid ICC profile, else empty.
QByteArray getColorSyncProfile(const QByteArray& importerProfile);

// function_colorSync: with "Use Original Profile" (mode 0) the exporter's profile becomes the
// image's embedded one (empty when it has none); "Other:" does nothing before the export.
void function_colorSync(const settings::colorsyncSetting& step, const QByteArray& embedded,
                        QByteArray& exporterProfile);

// putColorSyncProfile: after the export, for "Other:", embeds the installed profile with
// enumeration index colorSyncProfile + 1 into the written file in place. No step, mode 0, or a
// profile that is no longer there does nothing; false with a reason when embedding failed.
bool putColorSyncProfile(const QString& target, const settings::colorsyncSetting* step,
                         const ColorProfiles& profiles, QString* error);

} // namespace quillon::engine
