// The source files window on real files: drops with the duplicate rule (same file, hard link,
// letter-case variants), the kinds of items skipped, removal and its selection, and the colour
// label set from a row's context menu, read back from the file and drawn as the row's mark.

#include "engine/labels/finderlabel.h"
#include "messageboxanswerer.h"
#include "ui/controls/ilist.h"
#include "ui/windows/sourcewindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <unistd.h>

using namespace quillon;
using namespace quillon::ui;

namespace {

const QString kWarning = QStringLiteral(
    "File(s) does already exist.\n\nOne or more of the files you were trying to add does "
    "already exist in the source list.");

// Drops local paths on a widget the way a file manager's drag does.
void drop(QWidget* target, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
}

} // namespace

class tst_SourceWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void drops_data();
    void drops();
    void addItemIsSilent();
    void removal();
    void labelFromContextMenu();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_SourceWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    for (const char* name : {"a.png", "A.PNG", "b.png", "c.png"})
        QVERIFY(picture.save(path(QString::fromLatin1(name)), "PNG"));
    QVERIFY(::link(QFile::encodeName(path("a.png")).constData(),
                   QFile::encodeName(path("link.png")).constData()) == 0);
    QFile text(path("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    QVERIFY(QDir(m_dir.path()).mkdir("sub"));
    QVERIFY(QDir(m_dir.path()).mkdir("Tool.APP"));
}

void tst_SourceWindow::drops_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("warnings");

    QTest::newRow("same file twice in one drop: added once, one warning")
        << QStringList() << QStringList{"a.png", "a.png", "a.png"} << QStringList{"a.png"} << 1;
    QTest::newRow("a hard link is the same source")
        << QStringList{"a.png"} << QStringList{"link.png"} << QStringList{"a.png"} << 1;
    QTest::newRow("a letter-case variant is another file here")
        << QStringList{"a.png"} << QStringList{"A.PNG"} << QStringList{"a.png", "A.PNG"} << 0;
    QTest::newRow("the others of a drop are still added")
        << QStringList{"a.png"} << QStringList{"b.png", "a.png", "c.png"}
        << QStringList{"a.png", "b.png", "c.png"} << 1;
    QTest::newRow("folders are sources")
        << QStringList() << QStringList{"sub"} << QStringList{"sub"} << 0;
    QTest::newRow(".APP folder and a text file are skipped silently")
        << QStringList() << QStringList{"Tool.APP", "notes.txt"} << QStringList() << 0;
    QTest::newRow("the opening list is taken as it is")
        << QStringList{"a.png", "a.png"} << QStringList() << QStringList{"a.png", "a.png"} << 0;
}

void tst_SourceWindow::drops()
{
    QFETCH(QStringList, initial);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, files);
    QFETCH(int, warnings);
    auto full = [this](const QStringList& names) {
        QStringList paths;
        for (const QString& name : names)
            paths << path(name);
        return paths;
    };
    sourceWindow window(full(initial));
    window.show();
    MessageBoxAnswerer answerer;
    if (!dropped.isEmpty())
        drop(&window, full(dropped));
    QCOMPARE(window.files(), full(files));
    QCOMPARE(answerer.texts, QStringList(warnings, kWarning));
    QVERIFY(answerer.allWarnings);
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    for (int row = 0; row < files.size(); ++row)
        QCOMPARE(list->itemAtRow(row)->text(0), files.at(row));
    QVERIFY(iList::isFiller(list->itemAtRow(int(files.size())))); // fillers come after
}

void tst_SourceWindow::addItemIsSilent()
{
    // Documents opened with the application while the window is open: duplicates are dropped
    // without the warning.
    sourceWindow window({path("a.png")});
    MessageBoxAnswerer answerer;
    QVERIFY(window.addItem(path("a.png")));
    QVERIFY(!window.addItem(path("b.png")));
    QVERIFY(!window.addItem(path("notes.txt")));
    QVERIFY(answerer.texts.isEmpty());
    QCOMPARE(window.files(), QStringList({path("a.png"), path("b.png")}));
}

void tst_SourceWindow::removal()
{
    sourceWindow window({path("a.png"), path("b.png"), path("c.png")});
    window.show();
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    auto* remove = window.findChild<QPushButton*>(QStringLiteral("PushButton3"));
    QVERIFY(!remove->isEnabled());
    list->selectRow(1);
    QVERIFY(remove->isEnabled());
    remove->click(); // the middle entry: the one that moved up is selected
    QCOMPARE(window.files(), QStringList({path("a.png"), path("c.png")}));
    QCOMPARE(list->selectedRow(), 1);
    QTest::keyClick(list, Qt::Key_Backspace); // the last entry: nothing selected
    QCOMPARE(window.files(), QStringList({path("a.png")}));
    QCOMPARE(list->selectedRow(), -1);
    QVERIFY(!remove->isEnabled());
    remove->click(); // nothing selected: nothing removed
    QCOMPARE(window.files(), QStringList({path("a.png")}));
}

void tst_SourceWindow::labelFromContextMenu()
{
    const QString file = path("c.png");
    QString error;
    if (!engine::setFinderLabel(file, 0, &error))
        QSKIP("the temporary folder does not support user extended attributes");
    sourceWindow window({path("b.png"), file});
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<iList*>(QStringLiteral("ListBox1"));
    const QRect cell = list->visualItemRect(list->itemAtRow(1));

    // Right-click row 1 and choose Label > Red from the menu that opens.
    auto choose = [&](const QString& entry) {
        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QMenu* labels = menu->actions().value(0)->menu();
            QVERIFY(labels);
            QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("Label"));
            for (QAction* action : labels->actions()) {
                offered << action->text();
                if (action->text() == entry)
                    action->trigger();
            }
            menu->close();
        });
        emit list->customContextMenuRequested(cell.center());
        return offered;
    };
    QCOMPARE(choose(QStringLiteral("Red")),
             QStringList({"None", "Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Gray"}));
    QCOMPARE(engine::FinderLabelMBS(file), 6);
    QCOMPARE(engine::FinderLabelMBS(path("b.png")), 0);

    // The mark: the red label picture at x = cell width - 16, y = cell height / 2 - 5.
    const QImage red = labelPicture(1);
    QVERIFY(!red.isNull());
    const QPoint inPicture(red.width() / 2, red.height() / 2);
    QCOMPARE(qAlpha(red.pixel(inPicture)), 255);
    const QPoint mark =
        cell.topLeft() + QPoint(cell.width() - 16, int(cell.height() / 2.0 - 5.0)) + inPicture;
    const QPoint unlabelled = mark - QPoint(0, cell.height()); // the same place on row 0
    QImage shown = list->viewport()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(mark)), QColor(red.pixel(inPicture)));
    QVERIFY(QColor(shown.pixel(unlabelled)) != QColor(red.pixel(inPicture)));

    choose(QStringLiteral("None"));
    QCOMPARE(engine::FinderLabelMBS(file), 0);
    shown = list->viewport()->grab().toImage();
    QVERIFY(QColor(shown.pixel(mark)) != QColor(red.pixel(inPicture)));
}

QTEST_MAIN(tst_SourceWindow)
#include "tst_sourcewindow.moc"
