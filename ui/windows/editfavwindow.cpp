#include "ui/windows/editfavwindow.h"

#include "settings/favorites.h"
#include "settings/folderlisting.h"
#include "ui/controls/ilist.h"
#include "ui/windows/cautionbox_p.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {

// Column 0 shows the favorite's name and is edited in place; column 1, never shown, holds the
// name of the favorite's file when the window opened.
constexpr int kNameColumn = 0;
constexpr int kFileColumn = 1;

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The list, able to tell whether a name is being edited: a Return that ends an edit comes on to
// the list from the editor and must not start the next one.
class FavoritesList : public iList
{
public:
    using iList::iList;
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
};

} // namespace

EditFavWindow::EditFavWindow(const QString& favoritesFolder, settings::Preferences& prefs,
                             QWidget* parent)
    : QDialog(parent), m_folder(favoritesFolder), m_prefs(prefs)
{
    setWindowTitle(QStringLiteral("Edit Favorites..."));
    setWindowModality(Qt::WindowModal);

    m_ListBox1 = new FavoritesList(this);
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    m_ListBox1->setColumnCount(2);
    m_ListBox1->setColumnHidden(kFileColumn, true);
    m_ListBox1->setEditTriggers(QAbstractItemView::DoubleClicked);
    m_ListBox1->installEventFilter(this);
    auto* PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setDefault(true);
    PushButton1->setAutoDefault(false);
    auto* PushButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    PushButton2->setObjectName(QStringLiteral("PushButton2"));
    PushButton2->setAutoDefault(false);
    m_PushButton3 = new QPushButton(QStringLiteral("Edit..."), this);
    m_PushButton3->setObjectName(QStringLiteral("PushButton3"));
    m_PushButton3->setAutoDefault(false);
    m_PushButton4 = new QPushButton(QStringLiteral("Remove"), this);
    m_PushButton4->setObjectName(QStringLiteral("PushButton4"));
    m_PushButton4->setAutoDefault(false);
    m_CheckBox1 = new QCheckBox(QStringLiteral("Default"), this);
    m_CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(m_PushButton3);
    tools->addWidget(m_PushButton4);
    tools->addWidget(m_CheckBox1);
    tools->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PushButton2);
    buttons->addWidget(PushButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ListBox1);
    layout->addLayout(tools);
    layout->addLayout(buttons);
    resize(360, 300);

    m_updating = true;
    for (const QString& name : settings::listFavorites(m_folder)) {
        auto* item = new QTreeWidgetItem(QStringList{name, name});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        m_ListBox1->addTopLevelItem(item);
    }
    m_ListBox1->update();
    m_updating = false;
    m_defName = m_prefs.prefDefault;
    markDefault();
    ListBox1_Change();

    connect(m_ListBox1, &iList::change, this, &EditFavWindow::ListBox1_Change);
    connect(m_ListBox1, &QTreeWidget::itemChanged, this, &EditFavWindow::ListBox1_CellAction);
    connect(m_CheckBox1, &QCheckBox::clicked, this, &EditFavWindow::CheckBox1_Action);
    connect(m_PushButton3, &QPushButton::clicked, this, &EditFavWindow::startRename);
    connect(m_PushButton4, &QPushButton::clicked, this, &EditFavWindow::deleteSelected);
    connect(PushButton1, &QPushButton::clicked, this, &EditFavWindow::PushButton1_Clicked);
    connect(PushButton2, &QPushButton::clicked, this, &QDialog::reject);
}

QTreeWidgetItem* EditFavWindow::selectedFavorite() const
{
    QTreeWidgetItem* item = m_ListBox1->itemAtRow(m_ListBox1->selectedRow());
    return iList::isFiller(item) ? nullptr : item;
}

void EditFavWindow::markDefault()
{
    m_updating = true;
    for (int i = 0; i < m_ListBox1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_ListBox1->topLevelItem(i);
        if (iList::isFiller(item))
            continue;
        QFont font = item->font(kNameColumn);
        font.setBold(!m_defName.isEmpty() && sameName(item->text(kNameColumn), m_defName));
        item->setFont(kNameColumn, font);
    }
    m_updating = false;
}

void EditFavWindow::ListBox1_Change()
{
    QTreeWidgetItem* item = selectedFavorite();
    m_CheckBox1->setEnabled(item);
    m_PushButton3->setEnabled(item);
    m_PushButton4->setEnabled(item);
    if (!item) {
        m_CheckBox1->setChecked(false);
        return;
    }
    m_CheckBox1->setChecked(!m_defName.isEmpty() && sameName(item->text(kNameColumn), m_defName));
    m_lastName = item->text(kNameColumn);
}

void EditFavWindow::startRename()
{
    if (QTreeWidgetItem* item = selectedFavorite())
        m_ListBox1->editItem(item, kNameColumn); // the editor opens with its text selected
}

void EditFavWindow::ListBox1_CellAction(QTreeWidgetItem* item, int column)
{
    if (m_updating || !item || column != kNameColumn || iList::isFiller(item) ||
        item->text(kNameColumn) == m_lastName)
        return;
    // The editor is still closing; the check and its message come once it has gone.
    const int row = m_ListBox1->indexOfTopLevelItem(item);
    const QString name = item->text(kNameColumn);
    QTimer::singleShot(0, this, [this, row, name] { renameFinished(row, name); });
}

void EditFavWindow::renameFinished(int row, const QString& name)
{
    QTreeWidgetItem* item = m_ListBox1->topLevelItem(row);
    if (!item || item->text(kNameColumn) != name)
        return;
    auto refuse = [&](const QString& first, const QString& second) {
        showCaution(this, first, second);
        m_updating = true;
        item->setText(kNameColumn, m_lastName);
        m_updating = false;
    };
    for (int i = 0; i < m_ListBox1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* other = m_ListBox1->topLevelItem(i);
        if (i != row && !iList::isFiller(other) && sameName(other->text(kNameColumn), name)) {
            refuse(QStringLiteral("A favorite named \"%1\" does already exist.").arg(name),
                   QStringLiteral("Please choose another name."));
            return;
        }
    }
    if (const QString problem = settings::favoriteNameProblem(name); !problem.isEmpty()) {
        refuse(QStringLiteral("A favorite cannot be named \"%1\".").arg(name), problem);
        return;
    }
    if (m_CheckBox1->isChecked() && selectedFavorite() == item)
        m_defName = name; // the default follows its rename
    m_lastName = name;
    markDefault();
}

void EditFavWindow::CheckBox1_Action(bool checked)
{
    QTreeWidgetItem* item = selectedFavorite();
    if (!item)
        return;
    if (checked)
        m_defName = item->text(kNameColumn);
    else if (sameName(item->text(kNameColumn), m_defName))
        m_defName.clear();
    markDefault();
}

void EditFavWindow::deleteSelected()
{
    QTreeWidgetItem* item = selectedFavorite();
    if (!item)
        return;
    const int k = m_ListBox1->indexOfTopLevelItem(item);
    const bool wasLast = k == m_ListBox1->topLevelItemCount() - 1;
    m_filesToDelete << item->text(kFileColumn);
    delete m_ListBox1->takeTopLevelItem(k);
    m_ListBox1->update();
    // The favorite that moved up into the row is selected; a filler row there selects nothing.
    m_ListBox1->clearSelection();
    if (!wasLast)
        m_ListBox1->selectRow(k);
    ListBox1_Change();
}

void EditFavWindow::PushButton1_Clicked()
{
    settings::FavoritesEdit edit;
    for (int i = 0; i < m_ListBox1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_ListBox1->topLevelItem(i);
        if (!iList::isFiller(item))
            edit.renames.push_back({item->text(kFileColumn), item->text(kNameColumn)});
    }
    edit.removed = m_filesToDelete;
    QStringList entries;
    for (const QFileInfo& info : settings::listFolder(m_folder))
        entries << info.fileName();
    const settings::FavoritesPlan plan = settings::planFavoritesEdit(entries, edit);
    if (!plan.ok) {
        // Nothing was changed; the user can pick another name or cancel.
        showCaution(this, QStringLiteral("The favorites could not be changed."), plan.error);
        return;
    }
    const settings::FavoriteResult applied = settings::applyFavoritesEdit(m_folder, edit);
    m_prefs.prefDefault = m_defName;
    if (!applied.ok)
        showCaution(this, QStringLiteral("The favorites could not all be changed."), applied.error);
    accept();
}

bool EditFavWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ListBox1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool selected =
            selectedFavorite() != nullptr && !static_cast<FavoritesList*>(m_ListBox1)->isEditing();
        if (selected && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            startRename();
            return true;
        }
        if (selected && (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete))
            deleteSelected();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quillon::ui
