#include "settings/atomicfile_p.h"

#include <QSaveFile>

namespace quillon::settings {

bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QFileDevice::Permissions permissions, QString* error)
{
    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        file.cancelWriting();
        *error = QStringLiteral("%1: cannot be written: %2").arg(path, reason);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!file.setPermissions(permissions))
        return fail(QStringLiteral("its permissions cannot be set"));
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.commit()) {
        *error = QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace quillon::settings
