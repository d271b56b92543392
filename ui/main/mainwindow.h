#pragma once

#include "settings/preferences.h"
#include "settings/settingeditor.h"
#include "settings/settingsstore.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace quillon::ui {

class labelWindow;
class previewWindow;
class progWindow;
class sourceWindow;
struct StartRequest;
class SpecialButton;
class SettingsList;

// The application's one document window: the settings list with its label groups on the left,
// the eight editor pages on the right, and the menu bar. It owns the current settings store and
// implements the editor the settings move their values into and out of: on every change of
// selection the shown setting's values are stored from its page and the new one's recalled.
// Main thread only.
class mainWindow : public QMainWindow, public settings::SettingEditor
{
    Q_OBJECT

public:
    explicit mainWindow(QWidget* parent = nullptr);
    ~mainWindow() override;

    // The current settings: `setting` in processing order (every id equals its index) and the
    // kind lists. A run on the current settings and the favorites read and write these very
    // objects; call storeCurrent() first so the pages' values are in them.
    settings::SettingsStore& store() { return m_store; }
    const settings::SettingsStore& store() const { return m_store; }

    // The sources of the next run (absolute paths of files and folders, in the order added).
    QStringList& sourceFiles() { return m_sourceFiles; }
    // Appends the items that may be sources (pictures, raw camera files and folders, never a
    // name ending in ".app") and are not in the list yet; returns true when one of them was
    // already there (the same file under the same canonical path or device and inode). Shows
    // no message, so documents opened with the application use it too.
    bool addSourceFiles(const QStringList& paths);
    // Dropped items: addSourceFiles, then the duplicate message once if one was met.
    void dropSourceFiles(const QStringList& paths);
    // The duplicate message, window-modal on this window; returns at once.
    void showExisterror();

    // The id of the setting whose values the pages hold; -1 for none.
    int lastindex() const { return m_lastindex; }
    // Stores the pages into the setting being edited (before a save, a start or a preview).
    void storeCurrent();

    // While set, a change of selection stores nothing into the setting shown before.
    bool loading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }

    // Replaces the list and the store by the given settings (a loaded settings file): the
    // pages' values are not stored into the old settings, every group is expanded and row 0
    // selected. A list without a Format setting is refused and changes nothing.
    bool replaceSettings(const settings::SettingsStore& loaded);
    // Reads a settings file into the window (as replaceSettings). A missing or unreadable file,
    // or one without a Format setting, leaves the window as it was and returns false; a damaged
    // file loads its complete records and returns true. *error names the file and the reason.
    bool loadFile(const QString& path, QString* error = nullptr);
    // Stores the pages into the shown setting, then writes the list as a settings file.
    bool saveFile(const QString& path, QString* error = nullptr);

    // Empties the list and the store and starts again with one Format group of label 0, selected.
    void resetSettings();

    // The settings list's operations (left half of the window).
    void addRow(int kind);
    void removeSetting(int id);
    void setLabel(int newLabel);
    static int getType(const QString& menuText);
    void makeMenu(bool rowSelected);
    // The id of the setting a row shows; -1 for no row or a row whose setting is gone.
    int rowId(const QTreeWidgetItem* item) const;

    // The menu items by their names ("FileStartProcess", "FavoritesfavItem", ...), so the
    // commands that come with their windows can connect and enable them. Null for other names.
    QAction* menuItem(const QString& name) const;

    // The application's preferences, read at start and written at quit; the start dialog and
    // Edit Favorites change them. Set before loadDefault; must outlive the window.
    void setPreferences(settings::Preferences* prefs) { m_prefs = prefs; }

    // The Favorites menu: rebuilds its favorite items from the favorites folder (digit
    // shortcuts for the first nine listing positions, "None Available" for none).
    void loadFavorites();
    // Loads the favorite named prefDefault (in any letter case); false when there is none.
    // lastFavorite stays as it was.
    bool loadDefault();
    int favCount() const { return m_favCount; }
    QString lastFavorite() const { return m_lastFavorite; }
    // The favorite items in menu order (item 0 is "None Available" without favorites).
    QList<QAction*> favoriteItems() const { return m_favItems; }
    // Loads favorite item `index` of the menu and makes it lastFavorite.
    void FavoritesfavItem_Action(int index);
    void FavoritesAddToFavorites_Action();
    void FavoritesEditFavorites_Action();

    // The source files window while it is open (documents opened then go into it), else null.
    sourceWindow* openSourceWindow() const;
    void FileEditSourceFiles_Action();
    // The no-files question, or storeCurrent and the start dialog.
    void FileStartProcess_Action();
    // The start dialog as a sheet (one at a time).
    void showStartWindow();
    // A run of the current sources on the start dialog's choices: the batch job on its own
    // thread, the progress window listening; the end-of-run report after it.
    void startProcess(const StartRequest& request);
    bool running() const;
    // Preview: asks for a file, then previewFile.
    void FilePreview_Action();
    // Renders the file with the current settings behind "Making preview ..." and opens a new
    // preview window; null, with a message, for a file that is no picture or a failed render.
    previewWindow* previewFile(const QString& path);

    // The label picker (created on first use).
    labelWindow* labelPicker();

    // SettingEditor
    int popupPosition(settings::EditorControl control, int index = 0) const override;
    void setPopupPosition(settings::EditorControl control, int position, int index = 0) override;
    bool isChecked(settings::EditorControl control, int index = 0) const override;
    void setChecked(settings::EditorControl control, bool checked, int index = 0) override;
    QString text(settings::EditorControl control, int index = 0) const override;
    void setText(settings::EditorControl control, const QString& text, int index = 0) override;
    int sliderValue(settings::EditorControl control) const override;
    void setSliderValue(settings::EditorControl control, int value) override;
    settings::ExporterPtr exporter() const override { return m_exporter; }
    void setExporter(settings::ExporterPtr exporter) override { m_exporter = std::move(exporter); }
    QString wmFile() const override { return m_wmFile; }
    void setWmFile(const QString& path) override { m_wmFile = path; }

    // The raw sliders' value text for a slider position ("+.50", "-1.00").
    static QString sliderText(int value);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building the window.
    void buildList(QWidget* host);
    void buildPages(QWidget* host);
    QWidget* buildFormatPage();
    QWidget* buildScalePage();
    QWidget* buildNamePage();
    QWidget* buildColorSyncPage();
    QWidget* buildFlipRotatePage();
    QWidget* buildWatermarkPage();
    QWidget* buildRawPage();
    QWidget* buildFTPPage();
    void buildMenus();
    void fitGeometry();

    // The settings list.
    QTreeWidgetItem* selectedRow() const;
    QTreeWidgetItem* groupRowOf(QTreeWidgetItem* item) const;
    QTreeWidgetItem* appendGroupRow(const settings::SettingPtr& format);
    QTreeWidgetItem* appendMemberRow(QTreeWidgetItem* group, const settings::SettingPtr& member);
    void fillGroup(QTreeWidgetItem* group);
    settings::batchSetting* settingOfRow(const QTreeWidgetItem* item) const;
    void selectRow(QTreeWidgetItem* item);
    void clearList();
    void addFormatGroup(int label);
    void refreshRemoveButton();

    void ListBox1_Change();
    void ListBox1_DoubleClick(QTreeWidgetItem* item);
    void ListBox1_Collapsed(QTreeWidgetItem* item);
    void addButton_Clicked();
    void removeButton_Clicked();

    // Page handlers; each runs on every change of its control, by the user or by a recall.
    void formatMenu_Change();
    void optionsButton_Action();
    void resolutionCheckBox_Action();
    void keepScaleCheckBox_Action();
    void scalingCPCheckBox_Action();
    void scalingMenu_Change(QComboBox* source, QComboBox* other);
    void colorSyncMenu_Open();
    void colorSyncRadioButton2_Action();
    void flipCheckBox_Action();
    void rotateCheckBox_Action();
    void rawSlider_ValueChanged(QSlider* slider, QLabel* valueText);
    void wmSelectButton_Action();
    void prePop_Change(int member);
    void sufPop_Change(int member);
    void updateExName();

    // The editor's controls by name.
    QComboBox* popupFor(settings::EditorControl control, int index) const;
    QAbstractButton* buttonFor(settings::EditorControl control, int index) const;
    QLineEdit* fieldFor(settings::EditorControl control, int index) const;
    QSlider* sliderFor(settings::EditorControl control) const;
    // Runs the change handler of a control after the editor set it.
    void runHandler(settings::EditorControl control, int index);

    // Menu commands.
    void editCommand(const QString& name);
    void updateEditMenu();
    void enableMenuItems();
    void aboutQuillon();
    void cautionBox(const QString& first, const QString& second);

    settings::SettingsStore m_store;
    QStringList m_sourceFiles;
    settings::ExporterPtr m_exporter;
    QString m_wmFile;
    int m_lastindex = -1;
    bool m_loading = false;
    QString m_Poptext;
    bool m_rebuilding = false;

    // Settings list.
    SettingsList* m_ListBox1 = nullptr;
    QComboBox* m_funcMenu = nullptr;
    SpecialButton* m_addButton = nullptr;
    SpecialButton* m_removeButton = nullptr;
    QGroupBox* m_GroupBox1 = nullptr;
    QStackedWidget* m_PagePanel1 = nullptr;
    labelWindow* m_labelWindow = nullptr;

    // Format page.
    QComboBox* m_formatMenu = nullptr;
    QPushButton* m_optionsButton = nullptr;
    // Scaling page.
    QGroupBox* m_GroupBox3 = nullptr;
    QLabel* m_widthText = nullptr;
    QLineEdit* m_widthField = nullptr;
    QComboBox* m_scalingMenu1 = nullptr;
    QLabel* m_heightText = nullptr;
    QLineEdit* m_heightField = nullptr;
    QComboBox* m_scalingMenu2 = nullptr;
    QCheckBox* m_scalingCPCheckBox = nullptr;
    QCheckBox* m_keepScaleCheckBox = nullptr;
    QCheckBox* m_resolutionCheckBox = nullptr;
    QLineEdit* m_resField = nullptr;
    // File Name page.
    std::array<QLineEdit*, 3> m_preField{};
    std::array<QComboBox*, 3> m_prePop{};
    std::array<QLineEdit*, 3> m_sufField{};
    std::array<QComboBox*, 3> m_sufPop{};
    QCheckBox* m_separatorCheckBox = nullptr;
    QLabel* m_exText = nullptr;
    // ColorSync page.
    QRadioButton* m_colorSyncRadioButton1 = nullptr;
    QRadioButton* m_colorSyncRadioButton2 = nullptr;
    QComboBox* m_colorSyncMenu = nullptr;
    // Flip & Rotate page.
    QCheckBox* m_flipCheckBox = nullptr;
    QComboBox* m_flipMenu = nullptr;
    QCheckBox* m_rotateCheckBox = nullptr;
    QComboBox* m_rotateMenu = nullptr;
    // Watermark page.
    QLineEdit* m_wmFileField = nullptr;
    QPushButton* m_wmSelectButton = nullptr;
    QComboBox* m_wmPlaceMenu = nullptr;
    // Raw page.
    QRadioButton* m_rawWBButton1 = nullptr;
    QRadioButton* m_rawWBButton2 = nullptr;
    QRadioButton* m_rawWBButton3 = nullptr;
    QSlider* m_rawRedSlider = nullptr;
    QSlider* m_rawBlueSlider = nullptr;
    QSlider* m_rawBrightnessSlider = nullptr;
    QLabel* m_RedText = nullptr;
    QLabel* m_BlueText = nullptr;
    QLabel* m_BrightText = nullptr;
    // FTP page.
    QLineEdit* m_serverField = nullptr;
    QLineEdit* m_userField = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QLineEdit* m_pathField = nullptr;
    QLineEdit* m_portField = nullptr;
    QCheckBox* m_dontSaveCheckBox = nullptr;

    QHash<const QComboBox*, int> m_unshownPosition;
    QList<QAction*> m_menuItems;
    QMenu* m_editMenu = nullptr;

    settings::Preferences* m_prefs = nullptr;
    QMenu* m_favMenu = nullptr;
    QAction* m_favTrailer = nullptr; // the separator after the favorite items
    QList<QAction*> m_favItems;
    int m_favCount = 0;
    QString m_lastFavorite;
    QPointer<sourceWindow> m_sourceWindow;
    QPointer<progWindow> m_progress; // the run's window while a run goes on
};

} // namespace quillon::ui
