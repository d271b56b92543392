// The two favorites dialogs, driven through their real widgets: the Add dialog's offered name,
// beep, refusals and replace question; the Edit dialog's selection after removals, the default
// mark, refused renames, Cancel, and OK applying renames and removals to the folder.

#include "messageboxanswerer.h"
#include "settings/favorites.h"
#include "ui/controls/ilist.h"
#include "ui/windows/addfavwindow.h"
#include "ui/windows/editfavwindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;
using namespace quillon::ui;

namespace {

void makeFavorites(const QString& folder, const QStringList& names)
{
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
}

QString contentOf(const QString& folder, const QString& name)
{
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QPushButton* button(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class tst_FavoritesWindows : public QObject
{
    Q_OBJECT

private slots:
    void addOffersName_data();
    void addOffersName();
    void addOk_data();
    void addOk();
    void editRemovalSelection();
    void editCancelKeepsFiles();
    void editRename_data();
    void editRename();
    void editDefaultFollowsRename();
    void editUncheckDefault();
    void editOkAppliesExchangeAndRemoval();
    void editKeys();

private:
    // Renames row `row` in place as a user does: open the editor, type, press Return.
    static void renameRow(EditFavWindow& window, int row, const QString& name);
};

void tst_FavoritesWindows::addOffersName_data()
{
    QTest::addColumn<QString>("lastFavorite");
    QTest::addColumn<QString>("offered");
    QTest::newRow("fresh start, even with a default loaded") << ""
                                                             << "Untitled";
    QTest::newRow("after loading a favorite") << "Web Export"
                                              << "Web Export";
}

void tst_FavoritesWindows::addOffersName()
{
    QFETCH(QString, lastFavorite);
    QFETCH(QString, offered);
    QTemporaryDir dir;
    AddFavWindow window(dir.path(), lastFavorite);
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("EditField1"));
    QCOMPARE(field->text(), offered);
    QCOMPARE(field->selectedText(), offered); // typing replaces it
    QCOMPARE(window.windowTitle(), QStringLiteral("Add To Favorites"));
}

void tst_FavoritesWindows::addOk_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("answer"); // to a message box, if one comes
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("beeps");
    QTest::addColumn<QString>("saveName"); // empty: the dialog stays open

    QTest::newRow("new name") << "Print" << int(QMessageBox::Ok) << "" << false << "Print";
    QTest::newRow("empty name beeps") << "" << int(QMessageBox::Ok) << "" << true << "";
    QTest::newRow("existing name in other case, replace")
        << "WEB" << int(QMessageBox::Ok)
        << "A favorite named \"WEB\" does already exist.\n\nWould you like to replace it?" << false
        << "WEB";
    QTest::newRow("existing name, cancel keeps the dialog open")
        << "Web" << int(QMessageBox::Cancel)
        << "A favorite named \"Web\" does already exist.\n\nWould you like to replace it?" << false
        << "";
    QTest::newRow("slash refused with the reason")
        << "a/b" << int(QMessageBox::Ok)
        << "A favorite cannot be named \"a/b\".\n\nA favorite's name cannot contain \"/\"." << false
        << "";
    QTest::newRow("leading dot refused") << ".x" << int(QMessageBox::Ok)
                                         << "A favorite cannot be named \".x\".\n\nA name "
                                            "beginning with \".\" would make the favorite a "
                                            "hidden file."
                                         << false << "";
}

void tst_FavoritesWindows::addOk()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(bool, beeps);
    QFETCH(QString, saveName);
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"web"});
    AddFavWindow window(dir.path(), QString());
    QSignalSpy beeped(&window, &AddFavWindow::beeped);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("EditField1"))->setText(name);
    MessageBoxAnswerer answerer{QMessageBox::StandardButton(answer)};
    button(&window, "PushButton1")->click();
    QCOMPARE(answerer.texts, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(answerer.allWarnings);
    QCOMPARE(beeped.count(), beeps ? 1 : 0);
    QCOMPARE(window.saveName(), saveName);
    QCOMPARE(window.isVisible(), saveName.isEmpty());
    QCOMPARE(window.result(), saveName.isEmpty() ? 0 : int(QDialog::Accepted));
    QCOMPARE(settings::listFavorites(dir.path()), QStringList{"web"}); // it writes nothing
}

void tst_FavoritesWindows::renameRow(EditFavWindow& window, int row, const QString& name)
{
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    list->selectRow(row);
    button(&window, "PushButton3")->click(); // "Edit..."
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->selectedText(), editor->text());
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
}

void tst_FavoritesWindows::editRemovalSelection()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B", "C"});
    settings::Preferences prefs;
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    auto* remove = button(&window, "PushButton4");
    auto* edit = button(&window, "PushButton3");
    auto* defaultBox = window.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
    QCOMPARE(list->selectedRow(), -1);
    QVERIFY(!remove->isEnabled() && !edit->isEnabled() && !defaultBox->isEnabled());

    list->selectRow(1);
    QVERIFY(remove->isEnabled() && edit->isEnabled() && defaultBox->isEnabled());
    remove->click(); // the middle one: the third moves up and is selected
    QCOMPARE(list->selectedRow(), 1);
    QCOMPARE(list->itemAtRow(1)->text(0), QStringLiteral("C"));
    remove->click(); // now the last one: nothing is selected
    QCOMPARE(list->selectedRow(), -1);
    QVERIFY(!remove->isEnabled() && !edit->isEnabled() && !defaultBox->isEnabled());
    QVERIFY(!defaultBox->isChecked());
    QCOMPARE(window.filesToDelete(), QStringList({"B", "C"}));
    QVERIFY(iList::isFiller(list->itemAtRow(1))); // filler rows follow the one left
}

void tst_FavoritesWindows::editCancelKeepsFiles()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B"});
    settings::Preferences prefs;
    prefs.prefDefault = QStringLiteral("A");
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    list->selectRow(0);
    window.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->click(); // unchecks the default
    button(&window, "PushButton4")->click();
    renameRow(window, 0, QStringLiteral("Z"));
    QTRY_COMPARE(list->itemAtRow(0)->text(0), QStringLiteral("Z"));
    button(&window, "PushButton2")->click();
    QCOMPARE(settings::listFavorites(dir.path()), QStringList({"A", "B"}));
    QCOMPARE(prefs.prefDefault, QStringLiteral("A"));
}

void tst_FavoritesWindows::editRename_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // empty: accepted

    QTest::newRow("new name") << "Thumbs"
                              << "";
    QTest::newRow("own name in other case") << "WEB"
                                            << "";
    QTest::newRow("another row's name in other case")
        << "print"
        << "A favorite named \"print\" does already exist.\n\nPlease choose another name.";
    QTest::newRow("empty name") << ""
                                << "A favorite cannot be named \"\".\n\nA favorite needs a name.";
    QTest::newRow("slash") << "x/y"
                           << "A favorite cannot be named \"x/y\".\n\nA favorite's name cannot "
                              "contain \"/\".";
    QTest::newRow("dot dot") << ".."
                             << "A favorite cannot be named \"..\".\n\nThe names \".\" and \"..\" "
                                "are reserved by the file system.";
}

void tst_FavoritesWindows::editRename()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"Print", "Web"});
    settings::Preferences prefs;
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    MessageBoxAnswerer answerer;
    renameRow(window, 1, name);
    if (message.isEmpty()) {
        QTRY_COMPARE(list->itemAtRow(1)->text(0), name);
        QCoreApplication::processEvents(); // the check after the edit runs from the queue
        QVERIFY(answerer.texts.isEmpty());
    } else {
        QTRY_COMPARE(answerer.texts, QStringList{message});
        QCOMPARE(list->itemAtRow(1)->text(0), QStringLiteral("Web")); // the old name is back
    }
    QVERIFY(answerer.allWarnings);
    QCOMPARE(settings::listFavorites(dir.path()), QStringList({"Print", "Web"})); // not yet
}

void tst_FavoritesWindows::editDefaultFollowsRename()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"Print", "Web"});
    settings::Preferences prefs;
    prefs.prefDefault = QStringLiteral("WEB"); // in other letter case
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    QVERIFY(list->itemAtRow(1)->font(0).bold());
    QVERIFY(!list->itemAtRow(0)->font(0).bold());
    list->selectRow(1);
    QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
    renameRow(window, 1, QStringLiteral("Web 800"));
    QTRY_COMPARE(window.defName(), QStringLiteral("Web 800"));
    QVERIFY(list->itemAtRow(1)->font(0).bold());
    button(&window, "PushButton1")->click();
    QCOMPARE(prefs.prefDefault, QStringLiteral("Web 800"));
    QCOMPARE(settings::listFavorites(dir.path()), QStringList({"Print", "Web 800"}));
    QCOMPARE(contentOf(dir.path(), QStringLiteral("Web 800")), QStringLiteral("Web"));
}

void tst_FavoritesWindows::editUncheckDefault()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"Print", "Web"});
    settings::Preferences prefs;
    prefs.prefDefault = QStringLiteral("Print");
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    auto* defaultBox = window.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
    list->selectRow(1);
    QVERIFY(!defaultBox->isChecked());
    defaultBox->click(); // "Web" becomes the default; the bold mark moves
    QVERIFY(list->itemAtRow(1)->font(0).bold());
    QVERIFY(!list->itemAtRow(0)->font(0).bold());
    defaultBox->click();
    QCOMPARE(window.defName(), QString());
    button(&window, "PushButton1")->click();
    QCOMPARE(prefs.prefDefault, QString());
}

void tst_FavoritesWindows::editOkAppliesExchangeAndRemoval()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B", "C"});
    settings::Preferences prefs;
    EditFavWindow window(dir.path(), prefs);
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    MessageBoxAnswerer answerer;
    // Remove "C", then exchange A and B by way of C's freed name: A -> C, B -> A, C -> B.
    list->selectRow(2);
    button(&window, "PushButton4")->click();
    renameRow(window, 0, QStringLiteral("C"));
    QTRY_COMPARE(list->itemAtRow(0)->text(0), QStringLiteral("C"));
    renameRow(window, 1, QStringLiteral("A"));
    QTRY_COMPARE(list->itemAtRow(1)->text(0), QStringLiteral("A"));
    renameRow(window, 0, QStringLiteral("B"));
    QTRY_COMPARE(list->itemAtRow(0)->text(0), QStringLiteral("B"));
    button(&window, "PushButton1")->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(answerer.texts.isEmpty());
    QCOMPARE(settings::listFavorites(dir.path()), QStringList({"A", "B"}));
    QCOMPARE(contentOf(dir.path(), QStringLiteral("A")), QStringLiteral("B"));
    QCOMPARE(contentOf(dir.path(), QStringLiteral("B")), QStringLiteral("A"));
    QVERIFY(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).size() == 2);
}

void tst_FavoritesWindows::editKeys()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B"});
    settings::Preferences prefs;
    EditFavWindow window(dir.path(), prefs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    list->setFocus();
    list->selectRow(0);
    QTest::keyClick(list, Qt::Key_Return); // starts a rename
    QVERIFY(list->viewport()->findChild<QLineEdit*>());
    QTest::keyClick(list->viewport()->findChild<QLineEdit*>(), Qt::Key_Escape);
    list->setFocus();
    list->selectRow(0);
    QTest::keyClick(list, Qt::Key_Backspace);
    QCOMPARE(window.filesToDelete(), QStringList{"A"});
    QCOMPARE(list->selectedRow(), 0);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(window.filesToDelete(), QStringList({"A", "B"}));
}

QTEST_MAIN(tst_FavoritesWindows)
#include "tst_favoriteswindows.moc"
