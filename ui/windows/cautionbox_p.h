#pragma once

#include <QMessageBox>
#include <QString>

namespace quillon::ui {

// The program's message box: the warning icon, a first sentence, two line ends and a second
// sentence. With `question` it offers OK and Cancel and returns true only for OK; otherwise it
// has an OK button and returns true. Main thread.
bool showCaution(QWidget* parent, const QString& first, const QString& second,
                 bool question = false);

} // namespace quillon::ui
