// The main window as a whole and its settings list: label groups headed by their Format
// setting, adding and removing settings, and the selection that moves values between the
// settings and the editor pages.

#include "ui/main/mainwindow.h"

#include "settings/settingkinds.h"
#include "ui/controls/saeditfield.h"
#include "ui/controls/imagepushbutton.h"
#include "ui/main/label.h"
#include "ui/main/labelwindow.h"
#include "ui/main/settingslist_p.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quillon::ui {

using namespace settings;

namespace {

// The window's content size; it grows only where the platform's fonts need more room.
constexpr int kContentWidth = 506;
constexpr int kContentHeight = 283;
constexpr int kListWidth = 170;

constexpr int kSettingRole = Qt::UserRole + 1;

// The kinds menu texts by kind code; they are also the member rows' texts.
const QString kKindTexts[kKindCount] = {
    QStringLiteral("Format"),        QStringLiteral("Scaling"),
    QStringLiteral("File Name"),     QStringLiteral("ColorSync"),
    QStringLiteral("Flip & Rotate"), QStringLiteral("Watermark"),
    QStringLiteral("Raw"),           QStringLiteral("FTP")};

bool uniqueInGroup(int kind)
{
    return kind == kNameKind || kind == kColorSyncKind || kind == kRawKind || kind == kFTPKind;
}

} // namespace

mainWindow::mainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillon"));
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    buildList(central);
    buildPages(central);
    setCentralWidget(central);
    buildMenus();
    colorSyncMenu_Open();

    m_lastindex = -1;
    makeMenu(true); // the full menu, "Scaling" chosen, until the first selection
    resetSettings();
    fitGeometry();
    // Files and folders of any kind may be dropped; dropSourceFiles keeps the usable ones.
    setAcceptDrops(true);
}

mainWindow::~mainWindow() = default;

void mainWindow::buildList(QWidget* host)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    m_ListBox1 = new SettingsList(host);
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    m_ListBox1->setColumnCount(1);
    m_ListBox1->header()->hide();
    m_ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ListBox1->setExpandsOnDoubleClick(false);
    m_ListBox1->setIconSize(QSize(16, 16));
    m_ListBox1->setFixedWidth(kListWidth);
    column->addWidget(m_ListBox1, 1);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->setAlignment(Qt::AlignVCenter);
    m_funcMenu = new QComboBox(host);
    m_funcMenu->setObjectName(QStringLiteral("funcMenu"));
    m_funcMenu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_addButton = new SpecialButton(SpecialButton::Add, host);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_addButton->setToolTip(QStringLiteral("Add"));
    m_removeButton = new SpecialButton(SpecialButton::Remove, host);
    m_removeButton->setObjectName(QStringLiteral("removeButton"));
    m_removeButton->setToolTip(QStringLiteral("Remove"));
    m_removeButton->setEnabled(false);
    row->addWidget(m_funcMenu, 1);
    row->addWidget(m_addButton);
    row->addWidget(m_removeButton);
    column->addLayout(row);
    static_cast<QBoxLayout*>(host->layout())->addLayout(column);

    connect(m_ListBox1, &QTreeWidget::itemSelectionChanged, this, &mainWindow::ListBox1_Change);
    connect(m_ListBox1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { ListBox1_DoubleClick(item); });
    connect(m_ListBox1, &QTreeWidget::itemCollapsed, this, &mainWindow::ListBox1_Collapsed);
    connect(m_addButton, &SpecialButton::clicked, this, &mainWindow::addButton_Clicked);
    connect(m_removeButton, &SpecialButton::clicked, this, &mainWindow::removeButton_Clicked);
}

void mainWindow::fitGeometry()
{
    // Fixed at creation: the pages' contents change, the window does not.
    const QSize content =
        centralWidget()->minimumSizeHint().expandedTo(QSize(kContentWidth, kContentHeight));
    centralWidget()->setFixedSize(content);
    setFixedSize(content.width(), content.height() + menuBar()->sizeHint().height());
}

// The settings list

int mainWindow::getType(const QString& menuText)
{
    for (int code = 0; code < kKindCount; ++code) {
        if (menuText.compare(kKindTexts[code], Qt::CaseInsensitive) == 0)
            return code;
    }
    if (menuText.compare(QStringLiteral("Flip && Rotate"), Qt::CaseInsensitive) == 0)
        return kFlipRotateKind;
    return kFormatKind;
}

batchSetting* mainWindow::settingOfRow(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    const auto* wanted =
        reinterpret_cast<const batchSetting*>(item->data(0, kSettingRole).value<quintptr>());
    for (const SettingPtr& entry : m_store.setting) {
        if (entry.get() == wanted)
            return entry.get();
    }
    return nullptr;
}

int mainWindow::rowId(const QTreeWidgetItem* item) const
{
    const batchSetting* setting = settingOfRow(item);
    return setting ? setting->id : -1;
}

QTreeWidgetItem* mainWindow::selectedRow() const
{
    const QList<QTreeWidgetItem*> rows = m_ListBox1->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

QTreeWidgetItem* mainWindow::groupRowOf(QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    return item->parent() ? item->parent() : item;
}

QTreeWidgetItem* mainWindow::appendGroupRow(const SettingPtr& format)
{
    auto* row = new QTreeWidgetItem(m_ListBox1, QStringList(kKindTexts[kFormatKind]));
    row->setData(0, kSettingRole, QVariant::fromValue(quintptr(format.get())));
    row->setIcon(0, label::cImage(format->label));
    row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    QFont bold = row->font(0);
    bold.setBold(true);
    row->setFont(0, bold);
    return row;
}

QTreeWidgetItem* mainWindow::appendMemberRow(QTreeWidgetItem* group, const SettingPtr& member)
{
    auto* row = new QTreeWidgetItem(group, QStringList(kKindTexts[member->type]));
    row->setData(0, kSettingRole, QVariant::fromValue(quintptr(member.get())));
    row->setIcon(0, label::cImage(member->label));
    return row;
}

void mainWindow::fillGroup(QTreeWidgetItem* group)
{
    const batchSetting* head = settingOfRow(group);
    if (!head)
        return;
    qDeleteAll(group->takeChildren());
    for (const SettingPtr& entry : m_store.setting) {
        if (entry.get() != head && entry->label == head->label && entry->type >= 0 &&
            entry->type < kKindCount)
            appendMemberRow(group, entry);
    }
}

void mainWindow::selectRow(QTreeWidgetItem* item)
{
    m_ListBox1->setCurrentItem(item);
    if (item)
        item->setSelected(true);
}

void mainWindow::addRow(int kind)
{
    if (kind == 0) {
        if (!m_store.formatt.empty())
            appendGroupRow(m_store.formatt.back());
        return;
    }
    QTreeWidgetItem* group = groupRowOf(selectedRow());
    if (!group)
        group = m_ListBox1->topLevelItem(0);
    if (!group)
        return;
    // The group's member rows are rebuilt in processing order; the selection moves straight from
    // the row shown before to the new member, so the pages are stored into the setting shown.
    m_rebuilding = true;
    fillGroup(group);
    group->setExpanded(true);
    m_rebuilding = false;
    if (group->childCount() > 0)
        selectRow(group->child(group->childCount() - 1));
    else
        ListBox1_Change();
}

void mainWindow::refreshRemoveButton()
{
    QTreeWidgetItem* row = selectedRow();
    m_removeButton->setEnabled(row && row != m_ListBox1->topLevelItem(0));
}

void mainWindow::ListBox1_Change()
{
    if (m_rebuilding)
        return;
    QTreeWidgetItem* row = selectedRow();
    refreshRemoveButton();
    const int id = rowId(row);
    if (id < 0) {
        m_PagePanel1->hide();
    } else {
        m_PagePanel1->setCurrentIndex(m_store.setting[size_t(id)]->type);
        m_PagePanel1->show();
    }
    if (m_lastindex >= 0 && m_lastindex < int(m_store.setting.size()) && !m_loading)
        m_store.setting[size_t(m_lastindex)]->storeValues(*this);
    if (id >= 0)
        m_store.setting[size_t(id)]->recallValues(*this);
    m_lastindex = id;
    makeMenu(id >= 0);
}

void mainWindow::ListBox1_Collapsed(QTreeWidgetItem* item)
{
    // Member rows are not there while their group is collapsed, so neither is their selection.
    QTreeWidgetItem* row = selectedRow();
    if (row && row->parent() == item) {
        m_ListBox1->clearSelection();
        m_ListBox1->setCurrentItem(nullptr);
    }
}

void mainWindow::makeMenu(bool rowSelected)
{
    if (m_funcMenu->count() > 1)
        m_Poptext = m_funcMenu->currentText();
    m_funcMenu->clear();
    if (!rowSelected) {
        m_funcMenu->addItem(kKindTexts[kFormatKind]);
        m_funcMenu->setCurrentIndex(0);
        return;
    }
    // A group holds one setting at most of the last four kinds; those it holds are left out.
    bool has[kKindCount] = {};
    if (const batchSetting* shown = settingOfRow(selectedRow())) {
        for (const SettingPtr& entry : m_store.setting) {
            if (entry->label == shown->label && entry->type >= 0 && entry->type < kKindCount)
                has[entry->type] = true;
        }
    }
    m_funcMenu->addItem(kKindTexts[kFormatKind]);
    m_funcMenu->insertSeparator(1);
    for (int kind : {kScaleKind, kFlipRotateKind, kWatermarkKind})
        m_funcMenu->addItem(kKindTexts[kind]);
    for (int kind : {kNameKind, kColorSyncKind, kRawKind, kFTPKind}) {
        if (!has[kind])
            m_funcMenu->addItem(kKindTexts[kind]);
    }
    // The separator's empty text never counts as a match.
    int row = -1;
    if (!m_Poptext.isEmpty() &&
        m_Poptext.compare(kKindTexts[kFormatKind], Qt::CaseInsensitive) != 0)
        row = m_funcMenu->findText(m_Poptext, Qt::MatchFixedString);
    m_funcMenu->setCurrentIndex(row > 1 ? row : 2);
}

void mainWindow::addFormatGroup(int label)
{
    auto format = std::make_shared<formatSetting>();
    format->label = label;
    m_store.append(format);
    addRow(0);
}

void mainWindow::addButton_Clicked()
{
    const QString text = m_funcMenu->currentText();
    const int kind = getType(text);
    QTreeWidgetItem* group = groupRowOf(selectedRow());
    const batchSetting* head = settingOfRow(group);

    if (m_funcMenu->currentIndex() == 0 || kind == kFormatKind) {
        if (int(m_store.formatt.size()) >= kLabelCount)
            return;
        int label = 0;
        for (; label < kLabelCount; ++label) {
            bool taken = false;
            for (const auto& format : m_store.formatt)
                taken = taken || format->label == label;
            if (!taken)
                break;
        }
        addFormatGroup(label);
        selectRow(m_ListBox1->topLevelItem(m_ListBox1->topLevelItemCount() - 1));
        return;
    }
    if (!head)
        return;
    if (uniqueInGroup(kind)) {
        for (const SettingPtr& entry : m_store.setting) {
            if (entry->label == head->label && entry->type == kind)
                return;
        }
    }
    SettingPtr created = createSetting(kind);
    if (!created)
        return;
    created->label = head->label;
    m_store.append(created);
    created->type = kind;
    addRow(kind);
}

void mainWindow::removeSetting(int id)
{
    m_store.removeAt(id);
}

void mainWindow::removeButton_Clicked()
{
    QTreeWidgetItem* row = selectedRow();
    // The first group always stays, so there is always a Format setting.
    if (!row || row == m_ListBox1->topLevelItem(0))
        return;
    const batchSetting* shown = settingOfRow(row);
    m_lastindex = -1;
    if (shown && !row->parent()) {
        const int label = shown->label;
        for (int i = int(m_store.setting.size()) - 1; i >= 0; --i) {
            if (m_store.setting[size_t(i)]->label == label)
                removeSetting(i);
        }
    } else if (shown) {
        removeSetting(shown->id);
    }
    delete row;
    // Every row whose setting went goes too (two Format settings of one label, as a damaged
    // settings file can hold, list the same members).
    for (int g = m_ListBox1->topLevelItemCount() - 1; g >= 0; --g) {
        QTreeWidgetItem* group = m_ListBox1->topLevelItem(g);
        for (int c = group->childCount() - 1; c >= 0; --c) {
            if (!settingOfRow(group->child(c)))
                delete group->child(c);
        }
        if (!settingOfRow(group))
            delete group;
    }
    m_ListBox1->clearSelection();
    m_ListBox1->setCurrentItem(nullptr);
    ListBox1_Change();
}

void mainWindow::ListBox1_DoubleClick(QTreeWidgetItem* item)
{
    const batchSetting* setting = settingOfRow(item);
    if (!setting || setting->type != kFormatKind || item->parent())
        return;
    labelWindow* picker = labelPicker();
    picker->openSheet();
    picker->setLabel(setting->label);
}

labelWindow* mainWindow::labelPicker()
{
    if (!m_labelWindow) {
        m_labelWindow = new labelWindow(this);
        connect(m_labelWindow, &labelWindow::labelChosen, this, &mainWindow::setLabel);
    }
    return m_labelWindow;
}

void mainWindow::setLabel(int newLabel)
{
    QTreeWidgetItem* row = selectedRow();
    batchSetting* head = settingOfRow(groupRowOf(row));
    if (!head || newLabel < 0 || newLabel >= kLabelCount)
        return;
    for (const auto& format : m_store.formatt) {
        if (format.get() != head && format->label == newLabel) {
            auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Quillon"),
                                        QStringLiteral("Settings with this label does already "
                                                       "exist.\n\nPlease choose another label."),
                                        QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("duplicateLabelMessage"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::WindowModal);
            box->open();
            return;
        }
    }
    const int oldLabel = head->label;
    for (const SettingPtr& entry : m_store.setting) {
        if (entry->label == oldLabel)
            entry->label = newLabel;
    }
    for (int g = 0; g < m_ListBox1->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_ListBox1->topLevelItem(g);
        if (const batchSetting* s = settingOfRow(group))
            group->setIcon(0, label::cImage(s->label));
        for (int c = 0; c < group->childCount(); ++c) {
            if (const batchSetting* s = settingOfRow(group->child(c)))
                group->child(c)->setIcon(0, label::cImage(s->label));
        }
    }
}

void mainWindow::clearList()
{
    m_lastindex = -1;
    m_ListBox1->clear();
}

void mainWindow::resetSettings()
{
    setWindowTitle(QStringLiteral("Quillon"));
    m_lastFavorite.clear();
    clearList();
    m_store.clear();
    addFormatGroup(0);
    selectRow(m_ListBox1->topLevelItem(0));
}

void mainWindow::storeCurrent()
{
    if (m_lastindex >= 0 && m_lastindex < int(m_store.setting.size()) && !m_loading)
        m_store.setting[size_t(m_lastindex)]->storeValues(*this);
}

bool mainWindow::replaceSettings(const SettingsStore& loaded)
{
    if (loaded.formatt.empty())
        return false;
    const bool wasLoading = m_loading;
    m_loading = true;
    clearList();
    m_store = loaded;
    for (size_t i = 0; i < m_store.setting.size(); ++i)
        m_store.setting[i]->id = int(i);
    for (const auto& format : m_store.formatt) {
        QTreeWidgetItem* group = appendGroupRow(format);
        fillGroup(group);
        group->setExpanded(true);
    }
    selectRow(m_ListBox1->topLevelItem(0));
    m_loading = wasLoading;
    return true;
}

bool mainWindow::loadFile(const QString& path, QString* error)
{
    SettingsStore loaded;
    const SettingsStore::ReadResult result = loaded.readFile(path);
    if (result.status == SettingsStore::ReadStatus::OpenFailed) {
        if (error)
            *error = result.error;
        return false;
    }
    if (!replaceSettings(loaded)) {
        if (error)
            *error = result.ok() ? QStringLiteral("%1: holds no Format setting").arg(path)
                                 : result.error;
        return false;
    }
    if (error)
        *error = result.error;
    return true;
}

bool mainWindow::saveFile(const QString& path, QString* error)
{
    storeCurrent();
    const SettingsStore::WriteResult result = m_store.writeFile(path);
    if (error)
        *error = result.error;
    return result.ok;
}

} // namespace quillon::ui
