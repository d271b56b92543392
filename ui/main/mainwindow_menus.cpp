// The main window's menu bar: File, Edit, Favorites and Help, with their items named so the
// commands that come with their windows can find them, and the Edit items acting on the focused
// text field.

#include "ui/controls/saeditfield.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace quillon::ui {

QAction* mainWindow::menuItem(const QString& name) const
{
    for (QAction* action : m_menuItems) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

void mainWindow::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        m_menuItems.append(action);
        return action;
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar1"));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    item(file, "FileClose", QStringLiteral("Close"), QKeySequence(QStringLiteral("Ctrl+W")))
        ->setEnabled(false);
    file->addSeparator();
    // Start Process, Preview and Edit Source Files come with their windows.
    item(file, "FileStartProcess", QStringLiteral("Start Process"),
         QKeySequence(QStringLiteral("Ctrl+G")))
        ->setEnabled(false);
    item(file, "FilePreview", QStringLiteral("Preview"), QKeySequence(QStringLiteral("Ctrl+P")))
        ->setEnabled(false);
    connect(item(file, "FileReset", QStringLiteral("Reset Settings"),
                 QKeySequence(QStringLiteral("Ctrl+R"))),
            &QAction::triggered, this, &mainWindow::resetSettings);
    file->addSeparator();
    item(file, "FileEditSourceFiles", QStringLiteral("Edit Source Files"),
         QKeySequence(QStringLiteral("Ctrl+E")))
        ->setEnabled(false);
    connect(item(file, "FileResetSourceFiles", QStringLiteral("Reset Source Files"),
                 QKeySequence(QStringLiteral("Ctrl+Shift+R"))),
            &QAction::triggered, this, [this] { m_sourceFiles.clear(); });
    QAction* quit =
        item(file, "FileQuit", QStringLiteral("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    m_editMenu = bar->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    item(m_editMenu, "EditUndo", QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z")));
    m_editMenu->addSeparator();
    item(m_editMenu, "EditCut", QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")));
    item(m_editMenu, "EditCopy", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")));
    item(m_editMenu, "EditPaste", QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")));
    item(m_editMenu, "EditClear", QStringLiteral("Clear"));
    m_editMenu->addSeparator();
    item(m_editMenu, "EditSelectAll", QStringLiteral("Select All"),
         QKeySequence(QStringLiteral("Ctrl+A")));
    for (const char* name :
         {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"}) {
        const QString key = QString::fromLatin1(name);
        connect(menuItem(key), &QAction::triggered, this, [this, key] { editCommand(key); });
    }
    connect(m_editMenu, &QMenu::aboutToShow, this, &mainWindow::updateEditMenu);
    updateEditMenu();

    QMenu* favorites = bar->addMenu(QStringLiteral("Favorites"));
    favorites->setObjectName(QStringLiteral("FavoritesMenu"));
    item(favorites, "FavoritesAddToFavorites", QStringLiteral("Add To Favorites..."),
         QKeySequence(QStringLiteral("Ctrl+S")))
        ->setEnabled(false);
    item(favorites, "FavoritesEditFavorites", QStringLiteral("Edit Favorites..."),
         QKeySequence(QStringLiteral("Ctrl+Shift+E")))
        ->setEnabled(false);
    favorites->addSeparator();
    QAction* firstFavorite = item(favorites, "FavoritesfavItem", QStringLiteral("None Available"));
    firstFavorite->setEnabled(false);
    m_favItems.append(firstFavorite);
    connect(firstFavorite, &QAction::triggered, this, [this] { FavoritesfavItem_Action(0); });
    m_favMenu = favorites;
    m_favTrailer = favorites->addSeparator();
    connect(menuItem(QStringLiteral("FavoritesAddToFavorites")), &QAction::triggered, this,
            &mainWindow::FavoritesAddToFavorites_Action);
    connect(menuItem(QStringLiteral("FavoritesEditFavorites")), &QAction::triggered, this,
            &mainWindow::FavoritesEditFavorites_Action);
    connect(menuItem(QStringLiteral("FileStartProcess")), &QAction::triggered, this,
            &mainWindow::FileStartProcess_Action);
    connect(menuItem(QStringLiteral("FilePreview")), &QAction::triggered, this,
            &mainWindow::FilePreview_Action);
    connect(menuItem(QStringLiteral("FileEditSourceFiles")), &QAction::triggered, this,
            &mainWindow::FileEditSourceFiles_Action);
    enableMenuItems();

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    QAction* about = item(help, "AppleAboutQuillon", QStringLiteral("About Quillon"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &mainWindow::aboutQuillon);
}

void mainWindow::updateEditMenu()
{
    // The Edit items act on the focused text field; without one they have nothing to act on.
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    for (const char* name :
         {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"})
        menuItem(QString::fromLatin1(name))->setEnabled(field != nullptr);
}

void mainWindow::editCommand(const QString& name)
{
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!field)
        return;
    if (name == QLatin1String("EditUndo"))
        field->undo();
    else if (name == QLatin1String("EditCut"))
        field->cut();
    else if (name == QLatin1String("EditCopy"))
        field->copy();
    else if (name == QLatin1String("EditPaste"))
        field->paste();
    else if (name == QLatin1String("EditClear") && field->hasSelectedText() && !field->isReadOnly())
        field->del();
    else if (name == QLatin1String("EditSelectAll")) {
        if (auto* selectAllField = qobject_cast<saEditField*>(field))
            selectAllField->selectAllText();
        else
            field->selectAll();
    }
}

} // namespace quillon::ui
