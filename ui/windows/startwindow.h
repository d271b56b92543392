#pragma once

#include "settings/preferences.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QRadioButton;

namespace quillon::ui {

// What "OK" in the start dialog asks the batch job to do (startProcess): the sources are the
// main window's, the rest comes from here.
struct StartRequest
{
    bool saveToSource = false; // "Same as Original": outputs beside each source
    QString destination;       // the chosen folder; empty with saveToSource
    int depth = 0;             // 0 none, -1 unlimited, n > 0 folder levels (the menu's "1" is 2)
    QString favoriteFile;      // the favorite to run; empty = the current settings
};

// "Start": destination, folder depth and settings source of a run. Every choice is stored into
// `prefs` at once, the ones shown at opening included (a stored favorite that is gone becomes the
// first favorite). On OK with "Ask" it asks for a folder (the folder chooser, replaceable for
// tests); a cancelled chooser leaves the dialog open and unchanged. Otherwise it emits
// startRequested, whose receiver shows the progress window and calls startProcess, and then
// accepts. Window-modal on its parent (a sheet). `prefs` must outlive the window. Main thread.
class startWindow : public QDialog
{
    Q_OBJECT

public:
    // Returns the chosen folder, or an empty text when the user cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& prompt)>;

    startWindow(const QString& favoritesFolder, settings::Preferences& prefs,
                QWidget* parent = nullptr);

    void setFolderChooser(FolderChooser chooser) { m_chooser = std::move(chooser); }

    // The depth startProcess gets for a depth-menu position: "None" 0, "Unlimited" -1, any
    // other position minus one.
    static int depthForPosition(int position);

    // Fills the favorites menu from the folder and selects prefs.prefFavorite (or the first).
    void populateFavs();

signals:
    void startRequested(const quillon::ui::StartRequest& request);

private:
    void PushButton1_Clicked();

    QString m_folder;
    settings::Preferences& m_prefs;
    FolderChooser m_chooser;

    QRadioButton* m_RadioButton1 = nullptr;
    QRadioButton* m_RadioButton2 = nullptr;
    QComboBox* m_depthMenu = nullptr;
    QRadioButton* m_RadioButton3 = nullptr;
    QRadioButton* m_RadioButton4 = nullptr;
    QComboBox* m_PopupMenu2 = nullptr;
};

} // namespace quillon::ui
