#pragma once

#include "settings/preferences.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QPushButton;
class QTreeWidgetItem;

namespace quillon::ui {

class iList;

// "Edit Favorites...": lists the favorites of a folder, renames them in place (double click,
// "Edit..." or Return), removes them ("Remove", Backspace, Delete) and marks one as the default
// (drawn in bold). Nothing touches the folder before OK. On OK the renames and removals are
// applied by settings::applyFavoritesEdit, which never replaces another favorite's file, and
// prefs.prefDefault gets the new default; Cancel discards everything. A new name that another
// row has (in any letter case) or that the file system cannot take is refused with a message
// and the old name comes back. Window-modal on its parent (a sheet); the caller rebuilds the
// Favorites menu when it closes. `prefs` must outlive the window. Main thread.
class EditFavWindow : public QDialog
{
    Q_OBJECT

public:
    EditFavWindow(const QString& favoritesFolder, settings::Preferences& prefs,
                  QWidget* parent = nullptr);

    // Removes the selected favorite from the list; the row that moves up into its place is
    // selected, and removing the last row leaves nothing selected.
    void deleteSelected();

    // The default favorite's name as it will be on OK; empty = none.
    QString defName() const { return m_defName; }
    // Files of the favorites removed so far, in order of removal.
    QStringList filesToDelete() const { return m_filesToDelete; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ListBox1_Change();
    void ListBox1_CellAction(QTreeWidgetItem* item, int column);
    QTreeWidgetItem* selectedFavorite() const;
    void renameFinished(int row, const QString& name);
    void CheckBox1_Action(bool checked);
    void PushButton1_Clicked();
    void startRename();
    void markDefault();

    QString m_folder;
    settings::Preferences& m_prefs;
    QStringList m_filesToDelete;
    QString m_lastName;
    QString m_defName;
    bool m_updating = false;

    iList* m_ListBox1 = nullptr;
    QCheckBox* m_CheckBox1 = nullptr;
    QPushButton* m_PushButton3 = nullptr;
    QPushButton* m_PushButton4 = nullptr;
};

} // namespace quillon::ui
