#include "ui/windows/startwindow.h"

#include "settings/favorites.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {

QString chooseFolder(QWidget* parent, const QString& prompt)
{
    return QFileDialog::getExistingDirectory(parent, prompt);
}

} // namespace

int startWindow::depthForPosition(int position)
{
    if (position == 0)
        return 0;
    if (position == 1)
        return -1;
    return position - 1;
}

startWindow::startWindow(const QString& favoritesFolder, settings::Preferences& prefs,
                         QWidget* parent)
    : QDialog(parent), m_folder(favoritesFolder), m_prefs(prefs), m_chooser(chooseFolder)
{
    setWindowTitle(QStringLiteral("Start"));
    setWindowModality(Qt::WindowModal);

    auto* StaticText1 = new QLabel(QStringLiteral("Destination:"), this);
    m_RadioButton1 = new QRadioButton(QStringLiteral("Same as Original"), this);
    m_RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    m_RadioButton2 = new QRadioButton(QStringLiteral("Ask"), this);
    m_RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    m_RadioButton2->setChecked(true);
    auto* destinationGroup = new QButtonGroup(this);
    destinationGroup->addButton(m_RadioButton1);
    destinationGroup->addButton(m_RadioButton2);

    auto* StaticText2 = new QLabel(QStringLiteral("Folder Depth:"), this);
    m_depthMenu = new QComboBox(this);
    m_depthMenu->setObjectName(QStringLiteral("depthMenu"));
    m_depthMenu->addItems({QStringLiteral("None"), QStringLiteral("Unlimited")});
    m_depthMenu->insertSeparator(2);
    m_depthMenu->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("4"), QStringLiteral("5")});
    StaticText2->setBuddy(m_depthMenu);

    auto* Canvas1 = new QFrame(this);
    Canvas1->setFrameShape(QFrame::StyledPanel);
    auto* StaticText3 = new QLabel(QStringLiteral("Settings:"), Canvas1);
    m_RadioButton3 = new QRadioButton(QStringLiteral("Current"), Canvas1);
    m_RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    m_RadioButton3->setChecked(true);
    m_RadioButton4 = new QRadioButton(QStringLiteral("Favorite:"), Canvas1);
    m_RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    m_RadioButton4->setEnabled(false);
    m_PopupMenu2 = new QComboBox(Canvas1);
    m_PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    m_PopupMenu2->setEnabled(false);
    auto* settingsGroup = new QButtonGroup(this);
    settingsGroup->addButton(m_RadioButton3);
    settingsGroup->addButton(m_RadioButton4);

    auto* PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setDefault(true);
    auto* PushButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    PushButton2->setObjectName(QStringLiteral("PushButton2"));

    auto* grid = new QGridLayout;
    grid->addWidget(StaticText1, 0, 0);
    grid->addWidget(m_RadioButton1, 0, 1);
    grid->addWidget(m_RadioButton2, 1, 1);
    grid->addWidget(StaticText2, 2, 0);
    grid->addWidget(m_depthMenu, 2, 1);
    auto* canvasLayout = new QGridLayout(Canvas1);
    canvasLayout->addWidget(StaticText3, 0, 0);
    canvasLayout->addWidget(m_RadioButton3, 0, 1);
    canvasLayout->addWidget(m_RadioButton4, 1, 1);
    canvasLayout->addWidget(m_PopupMenu2, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PushButton2);
    buttons->addWidget(PushButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Canvas1);
    layout->addLayout(buttons);
    resize(320, 203);

    // Every choice is stored the moment it is made, the ones made by the opening below too.
    connect(m_RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_prefs.prefDestination = true;
    });
    connect(m_RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_prefs.prefDestination = false;
    });
    connect(m_depthMenu, &QComboBox::currentIndexChanged, this,
            [this](int position) { m_prefs.prefDepth = position; });
    connect(m_RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        m_PopupMenu2->setEnabled(false);
        m_prefs.prefSetting = true;
    });
    connect(m_RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        m_PopupMenu2->setEnabled(true);
        m_prefs.prefSetting = false;
    });
    connect(m_PopupMenu2, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0)
            m_prefs.prefFavorite = m_PopupMenu2->itemText(row);
    });
    connect(PushButton1, &QPushButton::clicked, this, &startWindow::PushButton1_Clicked);
    connect(PushButton2, &QPushButton::clicked, this, &QDialog::reject);

    // A position that is no entry (only a damaged preferences file gives one) shows "Unlimited".
    const int depth = settings::isDepthPosition(m_prefs.prefDepth) ? m_prefs.prefDepth : 1;
    m_depthMenu->setCurrentIndex(depth);
    m_prefs.prefDepth = depth;
    populateFavs();
    if (m_prefs.prefSetting || m_PopupMenu2->count() == 0)
        m_RadioButton3->setChecked(true);
    else
        m_RadioButton4->setChecked(true);
    m_prefs.prefSetting = m_RadioButton3->isChecked();
    if (m_prefs.prefDestination)
        m_RadioButton1->setChecked(true);
    else
        m_RadioButton2->setChecked(true);
}

void startWindow::populateFavs()
{
    const QSignalBlocker blocker(m_PopupMenu2);
    m_PopupMenu2->clear();
    int selected = -1;
    for (const QString& name : settings::listFavorites(m_folder)) {
        m_PopupMenu2->addItem(name);
        if (selected < 0 && name.compare(m_prefs.prefFavorite, Qt::CaseInsensitive) == 0)
            selected = m_PopupMenu2->count() - 1;
    }
    if (selected < 0 && m_PopupMenu2->count() > 0)
        selected = 0;
    m_PopupMenu2->setCurrentIndex(selected);
    if (selected >= 0)
        m_prefs.prefFavorite = m_PopupMenu2->itemText(selected);
    m_RadioButton4->setEnabled(m_PopupMenu2->count() > 0);
}

void startWindow::PushButton1_Clicked()
{
    StartRequest request;
    request.saveToSource = m_RadioButton1->isChecked();
    if (!request.saveToSource) {
        request.destination =
            m_chooser(parentWidget(), QStringLiteral("Please select a destination folder."));
        if (request.destination.isEmpty())
            return; // no folder: the dialog stays as it was, no batch starts
    }
    if (m_RadioButton4->isChecked() && m_PopupMenu2->currentIndex() >= 0)
        request.favoriteFile = QDir(m_folder).filePath(m_PopupMenu2->currentText());
    request.depth = depthForPosition(m_depthMenu->currentIndex());
    emit startRequested(request);
    accept();
}

} // namespace quillon::ui
