#pragma once

#include <QPainter>
#include <QTreeWidget>

namespace quillon::ui {

class iListDelegate;

// A list with light-blue and white stripes (the first row light blue), its own selection colours
// (blue with white text) and empty filler rows that pad it to its visible height, so that the
// stripes run down to the bottom edge. It is a QTreeWidget, so it serves as a flat list, as a
// hierarchical list with expandable group rows, and as a list with hidden columns and in-place
// editing; all rows have the same height.
//
// Filler rows are the top-level rows that addEmpties() appended: they have empty text, cannot be
// selected, edited or reached with the keyboard, and clicking one clears the selection. Owners
// that add or remove content rows call removeEmpties() before and addEmpties() after the change,
// or update() after it, so content rows always precede filler rows. Once addEmpties() has run,
// the list keeps itself filled when it is resized, until the next removeEmpties().
//
// Rows are counted in display order: row 0 is the top row, and an expanded group's children
// follow it. Main (GUI) thread only.
class iList : public QTreeWidget
{
    Q_OBJECT

public:
    static constexpr QRgb kStripeColour = 0xFFEDF3FE;    // even rows, from row 0
    static constexpr QRgb kAlternateColour = 0xFFFFFFFF; // odd rows
    static constexpr QRgb kSelectionColour = 0xFF3D80DF;
    static constexpr QRgb kSelectedTextColour = 0xFFFFFFFF;
    static constexpr QRgb kTextColour = 0xFF000000;

    explicit iList(QWidget* parent = nullptr);

    // removeEmpties(), then addEmpties(). (QWidget's repaint overloads that take a rectangle or
    // region stay available; this no-argument form rebuilds the filler rows.)
    using QTreeWidget::update;
    void update();
    // Removes every filler row.
    void removeEmpties();
    // Appends filler rows until floor(visible height / row height) rows are shown.
    void addEmpties();

    static bool isFiller(const QTreeWidgetItem* item);

    // The height of every row, in pixels; never 0, also while the list is empty.
    int uniformRowHeight() const;
    // Rows shown (expanded children included, filler rows included).
    int rowCount() const;
    QTreeWidgetItem* itemAtRow(int row) const;
    // The display row of an item, or -1 when it is not shown.
    int rowOf(const QTreeWidgetItem* item) const;
    // The selected row, or -1.
    int selectedRow() const;
    // Selects a row; -1, a row past the end or a filler row leaves nothing selected.
    void selectRow(int row);
    // The selected row as of the last selection change; -1 at first and when nothing is selected.
    int lastIndex() const { return m_lastIndex; }

signals:
    // After every change of the selection, once the list has made sure no filler row stays
    // selected.
    void change();
    // After a cell of a content row was drawn, so the owner can draw more into it (a label
    // picture at the right end, say). Delivered during painting: connect directly and only draw.
    void cellenTextPaint(QPainter* painter, const QRect& cellRect, int row, int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class iListDelegate;
    void onSelectionChanged();
    void emitCellPaint(QPainter* painter, const QRect& rect, const QModelIndex& index);
    int visibleHeight() const;
    void keepFilled();

    int m_lastIndex = -1;
    bool m_keepFilled = false;
    bool m_inSelectionChange = false;
};

} // namespace quillon::ui
