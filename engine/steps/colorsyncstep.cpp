#include "engine/steps/colorsyncstep.h"

#include "engine/imageservices/colorprofiles.h"
#include "engine/imageservices/imageexporter.h"

namespace quillon::engine {

QByteArray getColorSyncProfile(const QByteArray& importerProfile)
{
    if (!importerProfile.isEmpty() && isValidIccProfile(importerProfile))
        return importerProfile;
    return {};
}

void function_colorSync(const settings::colorsyncSetting& step, const QByteArray& embedded,
                        QByteArray& exporterProfile)
{
    if (step.colorSyncProfileMode == 0)
        exporterProfile = embedded;
}

bool putColorSyncProfile(const QString& target, const settings::colorsyncSetting* step,
                         const ColorProfiles& profiles, QString* error)
{
    if (!step || step->colorSyncProfileMode != 1)
        return true;
    QByteArray bytes;
    QString reason;
    if (!profiles.openProfile(step->colorSyncProfile + 1, &bytes, &reason)) {
        if (error)
            *error = QStringLiteral("profile not embedded: %1").arg(reason);
        return false;
    }
    const ExportResult result = embedProfileInPlace(target, bytes);
    if (!result.ok) {
        if (error)
            *error = QStringLiteral("profile not embedded: %1").arg(result.error);
        return false;
    }
    return true;
}

} // namespace quillon::engine
