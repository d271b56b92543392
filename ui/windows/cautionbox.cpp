#include "ui/windows/cautionbox_p.h"

namespace quillon::ui {

bool showCaution(QWidget* parent, const QString& first, const QString& second, bool question)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QStringLiteral("Quillon"));
    box.setText(first + QStringLiteral("\n\n") + second);
    if (question) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok;
}

} // namespace quillon::ui
