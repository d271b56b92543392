#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace quillon::ui {

// "Add To Favorites": asks for the name under which the main window's settings list is saved.
// Offers `lastFavorite` (or "Untitled"), fully selected. OK with an empty name beeps and stays
// open; a name the file system cannot take is refused with its reason; the name of an existing
// favorite (in any letter case) asks whether to replace it. It writes nothing itself: after
// the dialog is accepted the caller saves under saveName() (settings::saveFavorite) and rebuilds
// the Favorites menu. Window-modal on its parent (a sheet). Main thread.
class AddFavWindow : public QDialog
{
    Q_OBJECT

public:
    AddFavWindow(const QString& favoritesFolder, const QString& lastFavorite,
                 QWidget* parent = nullptr);

    // The chosen name; empty unless the dialog was accepted.
    QString saveName() const { return m_saveName; }

signals:
    // The system beep sounded (an empty name).
    void beeped();

private:
    void PushButton1_Clicked();

    QString m_folder;
    QString m_saveName;
    QLineEdit* m_EditField1 = nullptr;
};

} // namespace quillon::ui
