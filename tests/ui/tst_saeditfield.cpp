// The Select-All text field: the command selects the whole text, also with the key, and an
// empty field takes it without harm.

#include "ui/controls/saeditfield.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

using quillon::ui::saEditField;

class tst_saEditField : public QObject
{
    Q_OBJECT

private slots:
    void selectAll_data();
    void selectAll();
    void commandFollowsFocus();
};

void tst_saEditField::selectAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("prefix text, command") << QStringLiteral("Holiday_") << false;
    QTest::newRow("prefix text, Ctrl+A") << QStringLiteral("Holiday_") << true;
    QTest::newRow("accented text, command") << QStringLiteral("Été à Zürich") << false;
    QTest::newRow("empty field, command") << QString() << false;
    QTest::newRow("empty field, Ctrl+A") << QString() << true;
}

void tst_saEditField::selectAll()
{
    QFETCH(QString, text);
    QFETCH(bool, byKey);
    saEditField field(text);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setCursorPosition(text.size() / 2);
    if (byKey)
        QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    else
        field.selectAllText();
    QCOMPARE(field.selectedText(), text);
    QCOMPARE(field.hasSelectedText(), !text.isEmpty());
    if (!text.isEmpty())
        QCOMPARE(field.selectionStart(), 0);
    // Typing replaces what was selected.
    QTest::keyClicks(&field, QStringLiteral("x"));
    QCOMPARE(field.text(), QStringLiteral("x"));
}

void tst_saEditField::commandFollowsFocus()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new saEditField(QStringLiteral("first"));
    auto* second = new saEditField(QStringLiteral("second"));
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QVERIFY(first->selectAllAction()->isEnabled());
    QVERIFY(!second->selectAllAction()->isEnabled());
    second->setFocus();
    QTRY_VERIFY(second->hasFocus());
    QVERIFY(!first->selectAllAction()->isEnabled());
    second->selectAllAction()->trigger();
    QCOMPARE(second->selectedText(), QStringLiteral("second"));
    QVERIFY(!first->hasSelectedText());
}

QTEST_MAIN(tst_saEditField)
#include "tst_saeditfield.moc"
