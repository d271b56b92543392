#pragma once

#include <QDialog>

namespace quillon::ui {

// The about box: the application icon, "Quillon" and the version "1.0 (v1)". Ctrl+W and the
// close control close it; it deletes itself when closed. Main thread.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kName = "Quillon";
    static constexpr const char* kVersion = "1.0 (v1)";

    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace quillon::ui
