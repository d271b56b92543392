#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace quillon::settings {

// Writes bytes to path all or nothing (QSaveFile): on failure any previous file is left as it
// was. The new file gets `permissions` before its first byte is written, so a file that may hold
// a password is never readable by others, not even for a moment. False with a reason naming the
// file. Any thread.
bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QFileDevice::Permissions permissions, QString* error);

} // namespace quillon::settings
