// The main window's commands that open other windows, driven through the real windows: the
// Favorites menu, Add To Favorites, the default favorite, Start Process with its question, the
// source files window's Cancel and OK, a run through the start dialog and the progress window,
// and Preview.

#include "settings/favorites.h"
#include "settings/preferences.h"
#include "ui/main/mainwindow.h"
#include "ui/windows/previewwindow.h"
#include "ui/windows/sourcewindow.h"
#include "ui/windows/startwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using quillon::ui::mainWindow;
namespace settings = quillon::settings;

class tst_mainwindowcommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void favoritesMenu_data();
    void favoritesMenu();
    void addToFavoritesAndLoad();
    void defaultFavoriteInOtherLetterCase();
    void startWithoutSources();
    void sourceWindowCancelAndOk();
    void runThroughStartDialog();
    void preview();

private:
    QString picture(const QString& name);
    // Adds a Scaling step with the add button under the list, as a user does.
    void addScaling()
    {
        auto* menu = m_window->findChild<QComboBox*>(QStringLiteral("funcMenu"));
        menu->setCurrentIndex(menu->findText(QStringLiteral("Scaling")));
        QTest::mouseClick(m_window->findChild<QAbstractButton*>(QStringLiteral("addButton")),
                          Qt::LeftButton);
    }
    template <typename W> W* shown(const QString& name) const
    {
        for (W* widget : m_window->findChildren<W*>(name)) {
            if (widget->isVisible())
                return widget;
        }
        return nullptr;
    }

    QString m_folder;
    settings::Preferences m_prefs;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainWindow> m_window;
};

void tst_mainwindowcommands::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
}

void tst_mainwindowcommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = settings::FavoritesFolder();
    QVERIFY(!m_folder.isEmpty());
    QDir(m_folder).removeRecursively();
    m_folder = settings::FavoritesFolder();
    m_prefs = {};
    m_window = std::make_unique<mainWindow>();
    m_window->setPreferences(&m_prefs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_mainwindowcommands::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

QString tst_mainwindowcommands::picture(const QString& name)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::copy(QStringLiteral(QUILLON_CORPUS "/formats/gray.jpg"), path);
    return path;
}

void tst_mainwindowcommands::favoritesMenu_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("hiddenFirst");
    QTest::addColumn<int>("withShortcut");
    QTest::newRow("no favorites: None Available") << 0 << false << 0;
    QTest::newRow("three favorites: 0, 1, 2") << 3 << false << 3;
    QTest::newRow("twelve favorites: digits on the first nine") << 12 << false << 9;
    QTest::newRow("a hidden entry first takes one digit") << 12 << true << 8;
}

void tst_mainwindowcommands::favoritesMenu()
{
    QFETCH(int, count);
    QFETCH(bool, hiddenFirst);
    QFETCH(int, withShortcut);
    if (hiddenFirst) {
        QFile hidden(QDir(m_folder).filePath(QStringLiteral(".aaa")));
        QVERIFY(hidden.open(QIODevice::WriteOnly));
    }
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("fav %1").arg(i, 2, 10, QLatin1Char('0'));
        QVERIFY(settings::saveFavorite(m_window->store(), m_folder, name).ok);
    }
    m_window->loadFavorites();
    const QList<QAction*> items = m_window->favoriteItems();
    QCOMPARE(m_window->favCount(), count);
    if (count == 0) {
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first()->text(), QStringLiteral("None Available"));
        QVERIFY(!items.first()->isEnabled());
        QVERIFY(items.first()->shortcut().isEmpty());
        return;
    }
    QCOMPARE(items.size(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(items.at(i)->text(), QStringLiteral("fav %1").arg(i, 2, 10, QLatin1Char('0')));
        QVERIFY(items.at(i)->isEnabled());
        QCOMPARE(items.at(i)->shortcut(),
                 i < withShortcut ? QKeySequence(QStringLiteral("Ctrl+%1").arg(i))
                                  : QKeySequence());
    }
    // Rebuilding after a removal drops the extra items.
    QVERIFY(QFile::remove(QDir(m_folder).filePath(items.last()->text())));
    m_window->loadFavorites();
    QCOMPARE(m_window->favoriteItems().size(), count == 1 ? 1 : count - 1);
}

void tst_mainwindowcommands::addToFavoritesAndLoad()
{
    addScaling(); // a Scaling step, not yet in any favorite
    const size_t steps = m_window->store().setting.size();
    QVERIFY(steps >= 2);
    m_window->menuItem(QStringLiteral("FavoritesAddToFavorites"))->trigger();
    auto* dialog = shown<QDialog>(QStringLiteral("AddFavWindow"));
    QVERIFY(dialog);
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("EditField1"));
    QCOMPARE(field->text(), QStringLiteral("Untitled"));
    field->setText(QStringLiteral("Mine"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QTRY_VERIFY(!shown<QDialog>(QStringLiteral("AddFavWindow")));
    QCOMPARE(m_window->lastFavorite(), QStringLiteral("Mine"));
    QCOMPARE(m_window->favoriteItems().first()->text(), QStringLiteral("Mine"));

    m_window->menuItem(QStringLiteral("FileReset"))->trigger();
    QCOMPARE(m_window->store().setting.size(), size_t(1));
    QCOMPARE(m_window->lastFavorite(), QString());
    m_window->favoriteItems().first()->trigger();
    QCOMPARE(m_window->store().setting.size(), steps);
    QCOMPARE(m_window->lastFavorite(), QStringLiteral("Mine"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Quillon"));
}

void tst_mainwindowcommands::defaultFavoriteInOtherLetterCase()
{
    addScaling();
    QVERIFY(settings::saveFavorite(m_window->store(), m_folder, QStringLiteral("Mine")).ok);
    m_window->resetSettings();
    m_prefs.prefDefault = QStringLiteral("mINE");
    QVERIFY(m_window->loadDefault());
    QCOMPARE(m_window->store().setting.size(), size_t(2));
    // The default does not become the offered name.
    m_window->FavoritesAddToFavorites_Action();
    auto* dialog = shown<QDialog>(QStringLiteral("AddFavWindow"));
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("EditField1"))->text(),
             QStringLiteral("Untitled"));
    dialog->reject();

    m_prefs.prefDefault = QStringLiteral("gone");
    QVERIFY(!m_window->loadDefault());
}

void tst_mainwindowcommands::startWithoutSources()
{
    for (bool ok : {false, true}) {
        m_window->menuItem(QStringLiteral("FileStartProcess"))->trigger();
        auto* box = shown<QMessageBox>(QStringLiteral("noFilesQuestion"));
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("No files to process.\n\nPlease add one or more "
                                             "files/folders. Would you like to do that now?"));
        QTest::mouseClick(box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel),
                          Qt::LeftButton);
        QTRY_VERIFY(!shown<QMessageBox>(QStringLiteral("noFilesQuestion")));
        QCOMPARE(m_window->openSourceWindow() != nullptr, ok);
        QVERIFY(!shown<QDialog>(QStringLiteral("startWindow")));
    }
    m_window->openSourceWindow()->reject();
    QTRY_VERIFY(!m_window->openSourceWindow());
}

void tst_mainwindowcommands::sourceWindowCancelAndOk()
{
    const QString a = picture(QStringLiteral("a.jpg"));
    const QString b = picture(QStringLiteral("b.jpg"));
    const QString c = picture(QStringLiteral("c.jpg"));
    m_window->sourceFiles() = {a, b};
    auto edit = [this] {
        m_window->menuItem(QStringLiteral("FileEditSourceFiles"))->trigger();
        return m_window->openSourceWindow();
    };

    // Adds and a removal, then Cancel: the main window's list is exactly as before.
    quillon::ui::sourceWindow* sources = edit();
    QVERIFY(sources);
    QCOMPARE(sources->files(), QStringList({a, b}));
    sources->addDropped({c});
    auto* list = sources->findChild<QTreeWidget*>(QStringLiteral("ListBox1"));
    list->setCurrentItem(list->topLevelItem(0));
    QTest::mouseClick(sources->findChild<QPushButton*>(QStringLiteral("PushButton3")),
                      Qt::LeftButton);
    QCOMPARE(sources->files(), QStringList({b, c}));
    QTest::mouseClick(sources->findChild<QPushButton*>(QStringLiteral("PushButton2")),
                      Qt::LeftButton);
    QTRY_VERIFY(!m_window->openSourceWindow());
    QCOMPARE(m_window->sourceFiles(), QStringList({a, b}));

    // Each opening starts from the main list; OK hands the edited list back.
    sources = edit();
    QVERIFY(sources);
    QCOMPARE(sources->files(), QStringList({a, b}));
    sources->addDropped({c});
    QTest::mouseClick(sources->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QTRY_VERIFY(!m_window->openSourceWindow());
    QCOMPARE(m_window->sourceFiles(), QStringList({a, b, c}));
}

void tst_mainwindowcommands::runThroughStartDialog()
{
    m_prefs.prefSetting = true;
    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    for (const char* name : {"src/a.jpg", "src/b.jpg", "src/c.jpg"})
        picture(QString::fromLatin1(name));
    m_window->sourceFiles() = {m_dir->filePath(QStringLiteral("src"))};
    m_window->menuItem(QStringLiteral("FileStartProcess"))->trigger();
    auto* start = shown<quillon::ui::startWindow>(QStringLiteral("startWindow"));
    QVERIFY(start);
    start->setFolderChooser([out](QWidget*, const QString&) { return out; });
    start->findChild<QRadioButton*>(QStringLiteral("RadioButton2"))->setChecked(true);
    QTest::mouseClick(start->findChild<QPushButton*>(QStringLiteral("PushButton1")),
                      Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->running(), 60000);
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 3);
    QVERIFY(!shown<QMessageBox>(QString()));
}

void tst_mainwindowcommands::preview()
{
    const QString text = m_dir->filePath(QStringLiteral("notes.txt"));
    {
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no picture\n");
    }
    QVERIFY(!m_window->previewFile(text));
    auto* box = shown<QMessageBox>(QString());
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("This is not a valid picture file.\n\nPlease choose "
                                         "another one."));
    box->accept();

    std::unique_ptr<quillon::ui::previewWindow> window(
        m_window->previewFile(picture(QStringLiteral("photo.jpg"))));
    QVERIFY(window);
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("Preview: photo")));
    QVERIFY(!window->picture().isNull());
    QVERIFY(window->isVisible());
    QVERIFY(!m_window->findChild<QDialog*>(QStringLiteral("progWindow")));
}

QTEST_MAIN(tst_mainwindowcommands)
#include "tst_mainwindowcommands.moc"
