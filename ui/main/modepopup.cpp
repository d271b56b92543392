#include "ui/main/modepopup_p.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace quillon::ui {

ModePopup::ModePopup(QWidget* parent) : QComboBox(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ModePopup::sizeHint() const
{
    // An empty combo box is as wide as its frame and arrow.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    const QSize content(0, fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this);
}

void ModePopup::showPopup()
{
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth() + 16);
    QComboBox::showPopup();
}

void ModePopup::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
}

} // namespace quillon::ui
