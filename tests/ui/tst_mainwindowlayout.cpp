// What the main window looks like: its size, every page rendered into the build tree with no
// caption cut, the label pictures on the rows, and the menu bar's items and shortcuts.

#include "ui/main/label.h"
#include "ui/main/labelwindow.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using quillon::ui::mainWindow;

namespace {

int widestLine(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

QString plain(QString caption)
{
    return caption.remove(QRegularExpression(QStringLiteral("&(?!&)"))).replace("&&", "&");
}

// Every visible caption under `root` that its widget shows only in part, as "name: text".
QStringList cutCaptions(QWidget* root)
{
    QStringList cut;
    auto check = [&](QWidget* w, const QString& text, int room) {
        if (widestLine(w->fontMetrics(), text) > room)
            cut << QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                       .arg(w->objectName(), text)
                       .arg(widestLine(w->fontMetrics(), text))
                       .arg(room);
    };
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->objectName() == QLatin1String("exText"))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            check(w, label->text(), label->contentsRect().width() - 2 * label->margin());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            auto* button = static_cast<QAbstractButton*>(w);
            if (button->width() < button->sizeHint().width())
                check(w, plain(button->text()), 0);
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            check(w, plain(push->text()),
                  push->width() - 2 * push->style()->pixelMetric(QStyle::PM_ButtonMargin));
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            check(w, box->title(), box->width());
        } else if (auto* menu = qobject_cast<QComboBox*>(w)) {
            // The narrow mode pop-ups show no text, and profile names are values, not captions.
            if (menu->inherits("quillon::ui::ModePopup") ||
                menu->objectName() == QLatin1String("colorSyncMenu"))
                continue;
            QStyleOptionComboBox option;
            option.initFrom(menu);
            const int room = menu->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, menu)
                                 .width();
            for (int i = 0; i < menu->count(); ++i)
                check(w, menu->itemText(i), room);
        }
    }
    return cut;
}

} // namespace

class tst_MainWindowLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void geometry();
    void everyPageRendersUncut();
    void labelPicturesOnTheRows();
    void labelPickerUncut();
    void menuBar_data();
    void menuBar();
    void menuOrder();
    void editMenuActsOnTheFocusedField();
};

void tst_MainWindowLayout::initTestCase()
{
    quillon::ui::label::loadImages();
}

void tst_MainWindowLayout::geometry()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize content = window.centralWidget()->size();
    // 506 x 283, wider or taller only where the fonts need it.
    QVERIFY2(content.width() >= 506 && content.height() >= 283,
             qPrintable(QStringLiteral("%1 x %2").arg(content.width()).arg(content.height())));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillon"));
    qInfo("content %d x %d", content.width(), content.height());

    // The caption check itself sees a caption that does not fit.
    QWidget narrow;
    auto* label = new QLabel(QStringLiteral("Constrain Proportions"), &narrow);
    label->setObjectName(QStringLiteral("narrow"));
    label->setFixedWidth(20);
    QCOMPARE(cutCaptions(&narrow).size(), 1);
}

void tst_MainWindowLayout::everyPageRendersUncut()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* funcMenu = window.findChild<QComboBox*>(QStringLiteral("funcMenu"));
    auto* add = window.findChild<QAbstractButton*>(QStringLiteral("addButton"));
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListBox1"));
    for (const char* kind :
         {"Scaling", "File Name", "ColorSync", "Flip & Rotate", "Watermark", "Raw", "FTP"}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        funcMenu->setCurrentIndex(funcMenu->findText(QString::fromUtf8(kind)));
        QTest::mouseClick(add, Qt::LeftButton);
    }
    QTreeWidgetItem* group = list->topLevelItem(0);
    QCOMPARE(group->childCount(), 7);
    const QSize size = window.size();
    const QString folder = QStringLiteral(QUILLON_BINARY_DIR "/tests/screens");
    QDir().mkpath(folder);
    auto* panel = window.findChild<QStackedWidget*>(QStringLiteral("PagePanel1"));
    for (int row = -1; row < group->childCount(); ++row) {
        QTreeWidgetItem* item = row < 0 ? group : group->child(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        QVERIFY(panel->isVisible());
        const int page = panel->currentIndex();
        QCOMPARE(page, row + 1);
        const QString file = QStringLiteral("%1/mainwindow-page%2.png").arg(folder).arg(page);
        QVERIFY(window.grab().save(file));
        qInfo("page %d rendered into %s", page, qPrintable(file));
        const QStringList cut = cutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        // Turning the pages never resizes the window.
        QCOMPARE(window.size(), size);
    }
}

void tst_MainWindowLayout::labelPicturesOnTheRows()
{
    for (int i = 0; i < 8; ++i)
        QVERIFY2(!quillon::ui::label::cImage(i).isNull(), qPrintable(QString::number(i)));
    QVERIFY(quillon::ui::label::cImage(8).isNull());
    mainWindow window;
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListBox1"));
    const QImage none = list->topLevelItem(0)->icon(0).pixmap(16).toImage();
    QCOMPARE(none, quillon::ui::label::cImage(0).toImage().scaled(none.size()));
    window.setLabel(7);
    const QImage gray = list->topLevelItem(0)->icon(0).pixmap(16).toImage();
    QVERIFY(gray != none);
    QCOMPARE(gray, quillon::ui::label::cImage(7).toImage().scaled(gray.size()));
}

void tst_MainWindowLayout::labelPickerUncut()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    quillon::ui::labelWindow* picker = window.labelPicker();
    picker->openSheet();
    QVERIFY(QTest::qWaitForWindowExposed(picker));
    const QStringList cut = cutCaptions(picker);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    picker->findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    QVERIFY(!picker->isVisible());
    QCOMPARE(window.store().formatt.at(0)->label, 0);
}

void tst_MainWindowLayout::menuBar_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    const std::tuple<const char*, const char*, const char*, bool> rows[] = {
        {"FileClose", "Close", "Ctrl+W", false},
        {"FileStartProcess", "Start Process", "Ctrl+G", true},
        {"FilePreview", "Preview", "Ctrl+P", true},
        {"FileReset", "Reset Settings", "Ctrl+R", true},
        {"FileEditSourceFiles", "Edit Source Files", "Ctrl+E", true},
        {"FileResetSourceFiles", "Reset Source Files", "Ctrl+Shift+R", true},
        {"FileQuit", "Quit", "Ctrl+Q", true},
        {"EditUndo", "&Undo", "Ctrl+Z", false},
        {"EditCut", "Cu&t", "Ctrl+X", false},
        {"EditCopy", "&Copy", "Ctrl+C", false},
        {"EditPaste", "&Paste", "Ctrl+V", false},
        {"EditClear", "Clear", "", false},
        {"EditSelectAll", "Select All", "Ctrl+A", false},
        {"FavoritesAddToFavorites", "Add To Favorites...", "Ctrl+S", true},
        {"FavoritesEditFavorites", "Edit Favorites...", "Ctrl+Shift+E", true},
        {"FavoritesfavItem", "None Available", "", false},
        {"AppleAboutQuillon", "About Quillon", "", true},
    };
    for (const auto& [item, caption, shortcut, enabled] : rows)
        QTest::newRow(item) << item << caption << shortcut << enabled;
}

void tst_MainWindowLayout::menuBar()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    mainWindow window;
    QAction* action = window.menuItem(item);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isEnabled(), enabled);
}

void tst_MainWindowLayout::menuOrder()
{
    mainWindow window;
    QStringList menus;
    QStringList items;
    for (QAction* menu : window.menuBar()->actions()) {
        menus << menu->text();
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
    }
    QCOMPARE(menus, QStringList({"&File", "&Edit", "Favorites", "&Help"}));
    QCOMPARE(items, QStringList({"FileClose",
                                 "-",
                                 "FileStartProcess",
                                 "FilePreview",
                                 "FileReset",
                                 "-",
                                 "FileEditSourceFiles",
                                 "FileResetSourceFiles",
                                 "FileQuit",
                                 "EditUndo",
                                 "-",
                                 "EditCut",
                                 "EditCopy",
                                 "EditPaste",
                                 "EditClear",
                                 "-",
                                 "EditSelectAll",
                                 "FavoritesAddToFavorites",
                                 "FavoritesEditFavorites",
                                 "-",
                                 "FavoritesfavItem",
                                 "-",
                                 "AppleAboutQuillon"}));

    // Reset Settings from the menu: one Format group of label 0 again, the sources kept.
    window.sourceFiles() << QStringLiteral("/pictures");
    window.findChild<QComboBox*>(QStringLiteral("funcMenu"))->setCurrentIndex(0);
    window.findChild<QAbstractButton*>(QStringLiteral("addButton"))->click();
    QCOMPARE(window.store().formatt.size(), size_t(2));
    window.menuItem(QStringLiteral("FileReset"))->trigger();
    QCOMPARE(window.store().setting.size(), size_t(1));
    QCOMPARE(window.store().formatt.at(0)->label, 0);
    QCOMPARE(window.lastindex(), 0);
    QCOMPARE(window.sourceFiles(), QStringList({"/pictures"}));
    window.menuItem(QStringLiteral("FileResetSourceFiles"))->trigger();
    QVERIFY(window.sourceFiles().isEmpty());
}

void tst_MainWindowLayout::editMenuActsOnTheFocusedField()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QMenu* edit = window.findChild<QMenu*>(QStringLiteral("EditMenu"));
    QAction* selectAll = window.menuItem(QStringLiteral("EditSelectAll"));
    window.findChild<QTreeWidget*>(QStringLiteral("ListBox1"))->setFocus();
    emit edit->aboutToShow();
    QVERIFY(!selectAll->isEnabled());

    window.findChild<QComboBox*>(QStringLiteral("funcMenu"))->setCurrentIndex(8); // FTP
    window.findChild<QAbstractButton*>(QStringLiteral("addButton"))->click();
    auto* server = window.findChild<QLineEdit*>(QStringLiteral("serverField"));
    server->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(server, QStringLiteral("ftp.example.org"));
    emit edit->aboutToShow();
    QVERIFY(selectAll->isEnabled());
    selectAll->trigger();
    QCOMPARE(server->selectedText(), QStringLiteral("ftp.example.org"));
    window.menuItem(QStringLiteral("EditCut"))->trigger();
    QCOMPARE(server->text(), QString());
    window.menuItem(QStringLiteral("EditUndo"))->trigger();
    QCOMPARE(server->text(), QStringLiteral("ftp.example.org"));
}

QTEST_MAIN(tst_MainWindowLayout)
#include "tst_mainwindowlayout.moc"
