// The striped list as a user sees and uses it: stripes down to the bottom edge, filler rows that
// can never be selected, the selection colours, and the filler rows kept behind the content.

#include "ui/controls/ilist.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using quillon::ui::iList;

class tst_iList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyListIsStripedFromLightBlue();
    void fillsToVisibleHeight();
    void fillerRowsAreNeverSelected_data();
    void fillerRowsAreNeverSelected();
    void clickOnFillerClearsSelection();
    void keyboardStopsAtLastContentRow();
    void selectedRowIsBlueWithWhiteText();
    void updateKeepsContentBeforeFillers_data();
    void updateKeepsContentBeforeFillers();
    void followsResize();
    void hierarchicalRowsCountInDisplayOrder();
    void hiddenColumnAndInPlaceEditing();
    void ownerDrawsIntoContentCells();

private:
    QRgb pixelInRow(int row, int x = -1) const;
    QImage rowImage(int row) const;
    QStringList texts() const;

    iList* m_list = nullptr;
};

void tst_iList::init()
{
    m_list = new iList;
    m_list->resize(240, 200);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
}

void tst_iList::cleanup()
{
    delete m_list;
    m_list = nullptr;
}

QImage tst_iList::rowImage(int row) const
{
    const int h = m_list->uniformRowHeight();
    const QImage all = m_list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(0, row * h, all.width(), h);
}

QRgb tst_iList::pixelInRow(int row, int x) const
{
    const QImage image = rowImage(row);
    return image.pixel(x < 0 ? image.width() * 3 / 4 : x, image.height() / 2) | 0xFF000000;
}

QStringList tst_iList::texts() const
{
    QStringList out;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        out << (iList::isFiller(m_list->topLevelItem(i)) ? QStringLiteral("-")
                                                         : m_list->topLevelItem(i)->text(0));
    return out;
}

void tst_iList::emptyListIsStripedFromLightBlue()
{
    m_list->update();
    QVERIFY(m_list->rowCount() > 3);
    for (int row = 0; row < m_list->rowCount(); ++row)
        QCOMPARE(pixelInRow(row), row % 2 == 0 ? iList::kStripeColour : iList::kAlternateColour);
    // The stripes also run through the part-row below the last filler row.
    const QImage all = m_list->viewport()->grab().toImage();
    const int below = m_list->rowCount();
    if (below * m_list->uniformRowHeight() < all.height())
        QCOMPARE(all.pixel(5, all.height() - 1) | 0xFF000000,
                 below % 2 == 0 ? iList::kStripeColour : iList::kAlternateColour);
}

void tst_iList::fillsToVisibleHeight()
{
    new QTreeWidgetItem(m_list, {QStringLiteral("one")});
    m_list->addEmpties();
    const int rows = m_list->viewport()->height() / m_list->uniformRowHeight();
    QVERIFY(m_list->uniformRowHeight() > 0);
    QCOMPARE(m_list->rowCount(), rows);
    QCOMPARE(m_list->topLevelItemCount(), rows);
    m_list->addEmpties(); // already full: adds nothing
    QCOMPARE(m_list->rowCount(), rows);
    QVERIFY(!m_list->verticalScrollBar()->isVisible());
}

void tst_iList::fillerRowsAreNeverSelected_data()
{
    QTest::addColumn<int>("contentRows");
    QTest::newRow("empty list") << 0;
    QTest::newRow("two favorites") << 2;
}

void tst_iList::fillerRowsAreNeverSelected()
{
    QFETCH(int, contentRows);
    for (int i = 0; i < contentRows; ++i)
        new QTreeWidgetItem(m_list, {QStringLiteral("row %1").arg(i)});
    m_list->update();
    QSignalSpy changed(m_list, &iList::change);
    m_list->selectRow(contentRows); // the first filler row
    QCOMPARE(m_list->selectedRow(), -1);
    QVERIFY(m_list->selectedItems().isEmpty());
    QCOMPARE(m_list->lastIndex(), -1);
    m_list->setCurrentItem(m_list->topLevelItem(contentRows));
    QVERIFY(m_list->selectedItems().isEmpty());
    m_list->selectAll();
    for (QTreeWidgetItem* item : m_list->selectedItems())
        QVERIFY(!iList::isFiller(item));
    if (contentRows > 0) {
        m_list->clearSelection();
        changed.clear();
        m_list->selectRow(1);
        QCOMPARE(m_list->lastIndex(), 1);
        QCOMPARE(changed.count(), 1);
    }
}

void tst_iList::clickOnFillerClearsSelection()
{
    new QTreeWidgetItem(m_list, {QStringLiteral("a")});
    new QTreeWidgetItem(m_list, {QStringLiteral("b")});
    m_list->update();
    const int h = m_list->uniformRowHeight();
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(20, h + h / 2));
    QCOMPARE(m_list->selectedRow(), 1);
    QCOMPARE(m_list->lastIndex(), 1);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(20, 3 * h + h / 2));
    QCOMPARE(m_list->selectedRow(), -1);
    QCOMPARE(m_list->lastIndex(), -1);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(20, 3 * h + h / 2));
    QCOMPARE(m_list->selectedRow(), -1);
}

void tst_iList::keyboardStopsAtLastContentRow()
{
    for (const char* name : {"a", "b", "c"})
        new QTreeWidgetItem(m_list, {QLatin1String(name)});
    m_list->update();
    m_list->setFocus();
    m_list->selectRow(1);
    QTest::keyClick(m_list, Qt::Key_Down);
    QCOMPARE(m_list->selectedRow(), 2);
    for (auto key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End}) {
        QTest::keyClick(m_list, key);
        QVERIFY2(m_list->selectedRow() == 2 || m_list->selectedRow() == -1,
                 qPrintable(QStringLiteral("row %1 selected").arg(m_list->selectedRow())));
        QVERIFY(!iList::isFiller(m_list->selectedItems().value(0)));
    }
    QTest::keyClick(m_list, Qt::Key_Home);
    QCOMPARE(m_list->selectedRow(), 0);
}

void tst_iList::selectedRowIsBlueWithWhiteText()
{
    new QTreeWidgetItem(m_list, {QStringLiteral("Holiday WWWW")});
    new QTreeWidgetItem(m_list, {QStringLiteral("Work WWWW")});
    m_list->update();
    m_list->selectRow(1);
    auto inks = [](const QImage& row) {
        int dark = 0, white = 0;
        for (int y = 0; y < row.height(); ++y)
            for (int x = 0; x < row.width() / 2; ++x) {
                const QColor c = QColor::fromRgb(row.pixel(x, y));
                if (c.lightness() < 80)
                    ++dark;
                if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
                    ++white;
            }
        return std::pair{dark, white};
    };
    QCOMPARE(pixelInRow(1), iList::kSelectionColour);
    const auto [selectedDark, selectedWhite] = inks(rowImage(1));
    QCOMPARE(selectedDark, 0);
    QVERIFY(selectedWhite > 10);
    QCOMPARE(pixelInRow(0), iList::kStripeColour);
    const auto [plainDark, plainWhite] = inks(rowImage(0));
    QVERIFY(plainDark > 10);
    QCOMPARE(plainWhite, 0);
}

void tst_iList::updateKeepsContentBeforeFillers_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("middle row removed") << "remove";
    QTest::newRow("row appended after the fillers") << "append";
}

void tst_iList::updateKeepsContentBeforeFillers()
{
    QFETCH(QString, change);
    for (const char* name : {"a", "b", "c"})
        new QTreeWidgetItem(m_list, {QLatin1String(name)});
    m_list->update();
    const int full = m_list->rowCount();
    QStringList expectedContent;
    if (change == QLatin1String("remove")) {
        m_list->selectRow(1);
        delete m_list->topLevelItem(1);
        expectedContent = {QStringLiteral("a"), QStringLiteral("c")};
    } else {
        new QTreeWidgetItem(m_list, {QStringLiteral("d")});
        expectedContent = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")};
    }
    m_list->update();
    QStringList expected = expectedContent;
    while (expected.size() < full)
        expected << QStringLiteral("-");
    QCOMPARE(texts(), expected);
    QVERIFY(!iList::isFiller(m_list->selectedItems().value(0)));
}

void tst_iList::followsResize()
{
    new QTreeWidgetItem(m_list, {QStringLiteral("a")});
    m_list->update();
    const int h = m_list->uniformRowHeight();
    m_list->resize(240, 200 + 4 * h);
    QCOMPARE(m_list->rowCount(), m_list->viewport()->height() / h);
    m_list->resize(240, 100);
    QCOMPARE(m_list->rowCount(), m_list->viewport()->height() / h);
    QCOMPARE(m_list->topLevelItem(0)->text(0), QStringLiteral("a"));
    // Between removeEmpties() and addEmpties() the owner is changing rows: no filling meanwhile.
    m_list->removeEmpties();
    m_list->resize(240, 300);
    QCOMPARE(m_list->rowCount(), 1);
}

void tst_iList::hierarchicalRowsCountInDisplayOrder()
{
    m_list->setRootIsDecorated(true);
    auto* group = new QTreeWidgetItem(m_list, {QStringLiteral("Format")});
    new QTreeWidgetItem(group, {QStringLiteral("Scaling")});
    new QTreeWidgetItem(group, {QStringLiteral("Watermark")});
    auto* second = new QTreeWidgetItem(m_list, {QStringLiteral("Format")});
    group->setExpanded(true);
    QCOMPARE(m_list->rowCount(), 4);
    QCOMPARE(m_list->itemAtRow(2)->text(0), QStringLiteral("Watermark"));
    QCOMPARE(m_list->rowOf(second), 3);
    m_list->selectRow(2);
    QCOMPARE(m_list->lastIndex(), 2);
    QCOMPARE(pixelInRow(1), iList::kAlternateColour);
    QCOMPARE(pixelInRow(2), iList::kSelectionColour);
    QCOMPARE(pixelInRow(3), iList::kAlternateColour);
    group->setExpanded(false);
    QCOMPARE(m_list->rowCount(), 2);
    QCOMPARE(m_list->rowOf(second), 1);
}

void tst_iList::hiddenColumnAndInPlaceEditing()
{
    m_list->setColumnCount(2);
    m_list->setColumnHidden(1, true);
    auto* item = new QTreeWidgetItem(m_list, {QStringLiteral("Web"), QStringLiteral("Web")});
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_list->update();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->selectRow(0);
    m_list->editItem(item, 0);
    auto* editor = m_list->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Print"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(item->text(0), QStringLiteral("Print")); // the delegate commits queued
    QCOMPARE(item->text(1), QStringLiteral("Web"));
    // Filler rows are not editable.
    m_list->editItem(m_list->topLevelItem(1), 0);
    QVERIFY(!m_list->viewport()->findChild<QLineEdit*>() ||
            !m_list->viewport()->findChild<QLineEdit*>()->isVisible());
}

void tst_iList::ownerDrawsIntoContentCells()
{
    new QTreeWidgetItem(m_list, {QStringLiteral("a")});
    new QTreeWidgetItem(m_list, {QStringLiteral("b")});
    m_list->update();
    QList<int> rows;
    connect(m_list, &iList::cellenTextPaint, this,
            [&](QPainter* painter, const QRect& cell, int row, int) {
                rows << row;
                painter->fillRect(cell.right() - 15, cell.top() + 2, 10, 10, Qt::red);
            });
    const QImage image = m_list->viewport()->grab().toImage();
    QVERIFY(rows.contains(0) && rows.contains(1));
    for (int row : rows)
        QVERIFY(row == 0 || row == 1);
    const int h = m_list->uniformRowHeight();
    QCOMPARE(image.pixel(image.width() - 10, h + 5) | 0xFF000000, 0xFFFF0000u);
    QVERIFY((image.pixel(image.width() - 10, 2 * h + 5) | 0xFF000000) != 0xFFFF0000u);
}

QTEST_MAIN(tst_iList)
#include "tst_ilist.moc"
