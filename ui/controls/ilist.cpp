#include "ui/controls/ilist.h"

#include <QHeaderView>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyledItemDelegate>

namespace quillon::ui {

namespace {

constexpr int kFillerRole = Qt::UserRole + 0x51; // marks the rows addEmpties() made
constexpr int kRowPadding = 2;                   // above and below a row's text

// Leaves the row and item backgrounds to the list: it paints the stripes and the selection
// itself, and some styles (Fusion among them) would shade the selection with a gradient.
class iListStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_PanelItemViewRow)
            return;
        if (element == PE_PanelItemViewItem) {
            // An owner's own cell background (BackgroundRole) is still drawn.
            if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option))
                if (item->backgroundBrush.style() != Qt::NoBrush)
                    painter->fillRect(item->rect, item->backgroundBrush);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

// Gives every row the list's one height and lets the owner draw into content cells.
class iListDelegate : public QStyledItemDelegate
{
public:
    explicit iListDelegate(iList* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_list->uniformRowHeight());
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        // The row is already filled with the selection blue (drawRow); the style only draws the
        // text, in white, so no style can tint the designed colours. The keyboard focus frame is
        // left off the selected row, which the blue already marks (some styles fill the frame
        // with a tint); an unselected current row still shows it.
        if (opt.state & QStyle::State_Selected) {
            opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
            opt.palette.setColor(QPalette::Text, QColor::fromRgb(iList::kSelectedTextColour));
        }
        // Hover is never drawn (it would tint the stripes), the focus frame never on a filler.
        opt.state &= ~QStyle::State_MouseOver;
        if (index.data(kFillerRole).toBool())
            opt.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, opt, index);
        if (!index.data(kFillerRole).toBool())
            m_list->emitCellPaint(painter, option.rect, index);
    }

private:
    iList* m_list;
};

iList::iList(QWidget* parent) : QTreeWidget(parent)
{
    auto* style = new iListStyle;
    style->setParent(this);
    setStyle(style);
    setItemDelegate(new iListDelegate(this));
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setAlternatingRowColors(false); // the stripes are painted by the list itself
    setAllColumnsShowFocus(false);  // the delegate decides where the focus frame goes
    viewport()->setAutoFillBackground(false);

    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Base, QColor::fromRgb(kStripeColour));
        pal.setColor(group, QPalette::AlternateBase, QColor::fromRgb(kAlternateColour));
        pal.setColor(group, QPalette::Highlight, QColor::fromRgb(kSelectionColour));
        pal.setColor(group, QPalette::HighlightedText, QColor::fromRgb(kSelectedTextColour));
        pal.setColor(group, QPalette::Text, QColor::fromRgb(kTextColour));
    }
    setPalette(pal);

    connect(this, &QTreeWidget::itemSelectionChanged, this, &iList::onSelectionChanged);
}

bool iList::isFiller(const QTreeWidgetItem* item)
{
    return item && item->data(0, kFillerRole).toBool();
}

int iList::uniformRowHeight() const
{
    const int icon = iconSize().isValid()
                         ? iconSize().height()
                         : style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    return qMax(fontMetrics().height(), icon) + 2 * kRowPadding;
}

int iList::visibleHeight() const
{
    return viewport()->height();
}

int iList::rowCount() const
{
    int count = 0;
    for (QTreeWidgetItemIterator it(const_cast<iList*>(this)); *it; ++it) {
        const QTreeWidgetItem* item = *it;
        if (item->isHidden())
            continue;
        bool shown = true;
        for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            shown = shown && p->isExpanded() && !p->isHidden();
        if (shown)
            ++count;
    }
    return count;
}

QTreeWidgetItem* iList::itemAtRow(int row) const
{
    if (row < 0)
        return nullptr;
    QTreeWidgetItem* item = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
    if (item && item->isHidden())
        item = itemBelow(item);
    for (int i = 0; item && i < row; ++i)
        item = itemBelow(item);
    return item;
}

int iList::rowOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return -1;
    int row = 0;
    for (QTreeWidgetItem* it = itemAtRow(0); it; it = itemBelow(it), ++row)
        if (it == item)
            return row;
    return -1;
}

int iList::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : rowOf(selected.first());
}

void iList::selectRow(int row)
{
    QTreeWidgetItem* item = itemAtRow(row);
    if (!item || isFiller(item)) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
}

void iList::update()
{
    removeEmpties();
    addEmpties();
}

void iList::removeEmpties()
{
    m_keepFilled = false;
    for (int i = topLevelItemCount() - 1; i >= 0; --i)
        if (isFiller(topLevelItem(i)))
            delete takeTopLevelItem(i);
}

void iList::addEmpties()
{
    const int wanted = visibleHeight() / uniformRowHeight();
    for (int shown = rowCount(); shown < wanted; ++shown) {
        auto* item = new QTreeWidgetItem;
        item->setData(0, kFillerRole, true);
        item->setFlags(Qt::NoItemFlags);
        addTopLevelItem(item);
    }
    m_keepFilled = true;
}

void iList::keepFilled()
{
    if (!m_keepFilled)
        return;
    const int wanted = visibleHeight() / uniformRowHeight();
    int shown = rowCount();
    // Shrinking drops trailing filler rows, so no scroll bar appears for empty rows.
    while (shown > wanted && topLevelItemCount() > 0 &&
           isFiller(topLevelItem(topLevelItemCount() - 1))) {
        delete takeTopLevelItem(topLevelItemCount() - 1);
        --shown;
    }
    addEmpties();
}

void iList::onSelectionChanged()
{
    if (m_inSelectionChange)
        return;
    m_inSelectionChange = true;
    const QList<QTreeWidgetItem*> selected = selectedItems();
    for (QTreeWidgetItem* item : selected)
        if (isFiller(item))
            item->setSelected(false);
    m_lastIndex = selectedRow();
    m_inSelectionChange = false;
    emit change();
}

void iList::emitCellPaint(QPainter* painter, const QRect& rect, const QModelIndex& index)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&iList::cellenTextPaint)))
        return;
    // All rows are equally high, so the display row follows from the position.
    const int row = (rect.top() + verticalOffset()) / uniformRowHeight();
    painter->save();
    emit cellenTextPaint(painter, rect, row, index.column());
    painter->restore();
}

void iList::paintEvent(QPaintEvent* event)
{
    // Stripes over the whole visible area, also below the last row, so the list never shows a
    // gap of another colour; the rows are drawn over them.
    {
        QPainter painter(viewport());
        const int height = uniformRowHeight();
        const int offset = verticalOffset();
        const int first = offset / height;
        for (int row = first, y = first * height - offset; y < viewport()->height();
             ++row, y += height)
            painter.fillRect(0, y, viewport()->width(), height,
                             QColor::fromRgb(row % 2 == 0 ? kStripeColour : kAlternateColour));
    }
    QTreeWidget::paintEvent(event);
}

void iList::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const
{
    const QRect rowRect(0, option.rect.top(), viewport()->width(), option.rect.height());
    if (selectionModel()->isSelected(index) && !index.data(kFillerRole).toBool())
        painter->fillRect(rowRect, QColor::fromRgb(kSelectionColour));
    QTreeWidget::drawRow(painter, option, index);
}

void iList::mousePressEvent(QMouseEvent* event)
{
    // A click on a filler row or below the rows selects nothing, as a click into empty space.
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item || isFiller(item)) {
        clearSelection();
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void iList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item || isFiller(item)) {
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void iList::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    keepFilled();
}

void iList::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        scheduleDelayedItemsLayout();
}

} // namespace quillon::ui
