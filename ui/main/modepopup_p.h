#pragma once

#include <QComboBox>

namespace quillon::ui {

// The narrow mode pop-up beside a file-name part's field: it draws only its frame and arrow,
// since the field beside it shows the chosen mode's caption; its open list is as wide as its
// longest row. Main thread.
class ModePopup : public QComboBox
{
    Q_OBJECT

public:
    explicit ModePopup(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillon::ui
