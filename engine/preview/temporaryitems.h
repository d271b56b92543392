#pragma once

#include <QString>

namespace quillon::engine {

// The private temporary-items folder: made once per process (mode 0700) under the user's
// runtime folder, or the temporary folder when there is none, and removed with everything in
// it when the process exits. Empty, with a reason in error, when it cannot be made.
// Any thread.
QString temporaryItemsFolder(QString* error = nullptr);

} // namespace quillon::engine
