// The main window's commands that open other windows: the Favorites menu and its two dialogs,
// the source files window, the start dialog and the about box.

#include "settings/favorites.h"
#include "ui/main/mainwindow.h"
#include "ui/windows/aboutbox.h"
#include "ui/windows/addfavwindow.h"
#include "ui/windows/editfavwindow.h"
#include "ui/windows/sourcewindow.h"
#include "ui/windows/startwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace quillon::ui {

namespace {

// A window-modal message on the window with the warning icon; returns it so callers can connect
// to its answer.
QMessageBox* caution(QWidget* parent, const QString& first, const QString& second,
                     QMessageBox::StandardButtons buttons = QMessageBox::Ok)
{
    auto* box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("Quillon"));
    box->setText(first + QStringLiteral("\n\n") + second);
    box->setStandardButtons(buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

} // namespace

void mainWindow::cautionBox(const QString& first, const QString& second)
{
    caution(this, first, second)->open();
}

void mainWindow::loadFavorites()
{
    QAction* first = m_favItems.value(0);
    // Item 0 stays; the others are made again from the folder.
    while (m_favItems.size() > 1)
        delete m_favItems.takeLast();
    m_favCount = 0;

    const QString folder = settings::FavoritesFolder();
    if (!folder.isEmpty()) {
        for (const settings::FavoriteMenuItem& item : settings::favoritesMenu(folder)) {
            if (!item.enabled)
                break; // the one "None Available" item of an empty folder
            QAction* action = first;
            if (m_favCount > 0) {
                action = new QAction(this);
                action->setObjectName(QStringLiteral("FavoritesfavItem"));
                m_favMenu->insertAction(m_favTrailer, action);
                const int index = m_favCount;
                connect(action, &QAction::triggered, this,
                        [this, index] { FavoritesfavItem_Action(index); });
                m_favItems.append(action);
            }
            action->setText(item.text);
            action->setShortcut(item.shortcutDigit >= 0
                                    ? QKeySequence(QStringLiteral("Ctrl+%1").arg(item.shortcutDigit))
                                    : QKeySequence());
            ++m_favCount;
        }
    }
    enableMenuItems();
}

void mainWindow::enableMenuItems()
{
    for (const char* name : {"FileStartProcess", "FavoritesAddToFavorites",
                             "FavoritesEditFavorites", "FileReset", "FileResetSourceFiles",
                             "FileEditSourceFiles", "FilePreview"})
        menuItem(QString::fromLatin1(name))->setEnabled(true);
    QAction* first = m_favItems.value(0);
    if (m_favCount <= 0) {
        first->setEnabled(false);
        first->setText(QString::fromLatin1(settings::kNoFavoritesText));
        first->setShortcut(QKeySequence());
        return;
    }
    for (int i = 0; i < m_favCount && i < m_favItems.size(); ++i)
        m_favItems.at(i)->setEnabled(true);
}

void mainWindow::FavoritesfavItem_Action(int index)
{
    if (index < 0 || index >= m_favCount)
        return;
    const QString folder = settings::FavoritesFolder();
    if (folder.isEmpty())
        return;
    const QString name = m_favItems.at(index)->text();
    const QString path = QDir(folder).filePath(name);
    // A favorite whose file has gone since the menu was built loads nothing.
    if (!QFileInfo(path).isFile())
        return;
    if (loadFile(path))
        m_lastFavorite = name;
}

bool mainWindow::loadDefault()
{
    if (!m_prefs)
        return false;
    const QString folder = settings::FavoritesFolder();
    if (folder.isEmpty())
        return false;
    const QString path = settings::defaultFavoritePath(folder, m_prefs->prefDefault);
    return !path.isEmpty() && loadFile(path);
}

void mainWindow::FavoritesAddToFavorites_Action()
{
    const QString folder = settings::FavoritesFolder();
    auto* dialog = new AddFavWindow(folder, m_lastFavorite, this);
    dialog->setObjectName(QStringLiteral("AddFavWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, folder] {
        const QString saveName = dialog->saveName();
        if (saveName.isEmpty())
            return;
        storeCurrent();
        const settings::FavoriteResult saved = settings::saveFavorite(m_store, folder, saveName);
        if (!saved.ok) {
            // The user asked for the favorite to be kept: say so when it was not.
            caution(this, QStringLiteral("The favorite could not be saved."), saved.error)->open();
            return;
        }
        m_lastFavorite = saveName;
        loadFavorites();
    });
    dialog->open();
}

void mainWindow::FavoritesEditFavorites_Action()
{
    if (!m_prefs)
        return;
    auto* dialog = new EditFavWindow(settings::FavoritesFolder(), *m_prefs, this);
    dialog->setObjectName(QStringLiteral("EditFavWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this] { loadFavorites(); });
    dialog->open();
}

sourceWindow* mainWindow::openSourceWindow() const
{
    return m_sourceWindow.data();
}

void mainWindow::FileEditSourceFiles_Action()
{
    if (m_sourceWindow)
        return;
    m_sourceWindow = new sourceWindow(m_sourceFiles, this);
    m_sourceWindow->setObjectName(QStringLiteral("sourceWindow"));
    m_sourceWindow->setAttribute(Qt::WA_DeleteOnClose);
    sourceWindow* window = m_sourceWindow;
    connect(window, &QDialog::accepted, this, [this, window] { m_sourceFiles = window->files(); });
    connect(window, &QDialog::finished, this, [this] { m_sourceWindow = nullptr; });
    window->open();
}

void mainWindow::FileStartProcess_Action()
{
    if (m_sourceFiles.isEmpty()) {
        QMessageBox* box = caution(
            this, QStringLiteral("No files to process."),
            QStringLiteral("Please add one or more files/folders. Would you like to do that now?"),
            QMessageBox::Ok | QMessageBox::Cancel);
        box->setObjectName(QStringLiteral("noFilesQuestion"));
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Cancel);
        connect(box, &QMessageBox::finished, this, [this, box] {
            if (box->clickedButton() == box->button(QMessageBox::Ok))
                FileEditSourceFiles_Action();
        });
        box->open();
        return;
    }
    storeCurrent();
    showStartWindow();
}

void mainWindow::showStartWindow()
{
    if (!m_prefs || findChild<startWindow*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    auto* dialog = new startWindow(settings::FavoritesFolder(), *m_prefs, this);
    dialog->setObjectName(QStringLiteral("startWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &startWindow::startRequested, this, &mainWindow::startProcess);
    dialog->open();
}

void mainWindow::aboutQuillon()
{
    auto* box = new AboutBox(this);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->show();
}

} // namespace quillon::ui
