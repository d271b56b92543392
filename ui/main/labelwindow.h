#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace quillon::ui {

// The "Label" dialog in which the user picks the label of the selected settings group:
// "None", a separator and the seven label names. Opened as a sheet of the main window, which
// then presets it with setLabel; OK raises labelChosen with the chosen label index.
// Main thread only.
class labelWindow : public QDialog
{
    Q_OBJECT

public:
    explicit labelWindow(QWidget* parent = nullptr);

    // Rebuilds the popup ("None" selected) and shows the dialog window-modal, without waiting.
    void openSheet();
    // Preselects a label index 0..7 (0 "None", i the row i + 1); other values change nothing.
    void setLabel(int labelIndex);
    // The label index of the selected row.
    int chosenLabel() const;

signals:
    void labelChosen(int labelIndex);

private:
    void fillPopup();
    void PushButton1_Action();

    QLabel* m_StaticText1 = nullptr;
    QComboBox* m_PopupMenu1 = nullptr;
    QPushButton* m_PushButton1 = nullptr;
    QPushButton* m_PushButton2 = nullptr;
};

} // namespace quillon::ui
