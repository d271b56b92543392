#pragma once

#include <QMouseEvent>
#include <QTreeWidget>

namespace quillon::ui {

// The settings list: a tree of label groups. A click into the empty part of the list clears the
// selection, so that no setting is shown while nothing is chosen. Main thread.
class SettingsList : public QTreeWidget
{
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!itemAt(event->position().toPoint())) {
            clearSelection();
            setCurrentItem(nullptr);
            event->accept();
            return;
        }
        QTreeWidget::mousePressEvent(event);
    }
};

} // namespace quillon::ui
