// The eight editor pages: their controls, captions, items and initial states, and the handlers
// by which controls enable one another and show derived texts.

#include "engine/codecs/codecregistry.h"
#include "engine/imageservices/colorprofiles.h"
#include "settings/globals.h"
#include "settings/settingkinds.h"
#include "ui/controls/saeditfield.h"
#include "ui/main/filenamebuilder.h"
#include "ui/main/mainwindow.h"
#include "ui/main/modepopup_p.h"
#include "ui/main/optionsdialog.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>

namespace quillon::ui {

using namespace settings;

namespace {

constexpr int kSliderMaximum = 137;
constexpr int kSliderMiddle = 68;
constexpr int kSliderPageStep = 4;
constexpr int kPortFieldWidth = 60;

template <typename W> W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* rightLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QComboBox* popup(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* menu = named(new QComboBox(parent), name);
    menu->addItems(items);
    menu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return menu;
}

// A page: its title in larger type, centred, a separator line, then the page's own layout.
QVBoxLayout* pageLayout(QWidget* page, const QString& title)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(6);
    auto* heading = named(new QLabel(title, page), QStringLiteral("pageTitle"));
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    font.setBold(true);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    auto* line = new QFrame(page);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(heading);
    layout->addWidget(line);
    return layout;
}

const QStringList kPrefixModes = {QStringLiteral("User Text"),
                                  QStringLiteral("Date"),
                                  QStringLiteral("1 Digit Serial Number"),
                                  QStringLiteral("2 Digit Serial Number"),
                                  QStringLiteral("3 Digit Serial Number"),
                                  QStringLiteral("None")};
const QStringList kSuffixModes = {QStringLiteral("User Text"),
                                  QStringLiteral("Extension"),
                                  QStringLiteral("date"),
                                  QStringLiteral("1 Digit Serial Number"),
                                  QStringLiteral("2 Digit Serial Number"),
                                  QStringLiteral("3 Digit Serial Number"),
                                  QStringLiteral("None")};

} // namespace

void mainWindow::buildPages(QWidget* host)
{
    m_GroupBox1 = named(new QGroupBox(host), QStringLiteral("GroupBox1"));
    auto* frame = new QVBoxLayout(m_GroupBox1);
    frame->setContentsMargins(6, 6, 6, 6);
    m_PagePanel1 = named(new QStackedWidget(m_GroupBox1), QStringLiteral("PagePanel1"));
    // The panel keeps its room while hidden, so the window's size does not depend on it.
    QSizePolicy keep = m_PagePanel1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_PagePanel1->setSizePolicy(keep);
    m_PagePanel1->addWidget(buildFormatPage());
    m_PagePanel1->addWidget(buildScalePage());
    m_PagePanel1->addWidget(buildNamePage());
    m_PagePanel1->addWidget(buildColorSyncPage());
    m_PagePanel1->addWidget(buildFlipRotatePage());
    m_PagePanel1->addWidget(buildWatermarkPage());
    m_PagePanel1->addWidget(buildRawPage());
    m_PagePanel1->addWidget(buildFTPPage());
    frame->addWidget(m_PagePanel1);
    m_PagePanel1->hide();
    static_cast<QBoxLayout*>(host->layout())->addWidget(m_GroupBox1, 1);
}

QWidget* mainWindow::buildFormatPage()
{
    auto* page = named(new QWidget, QStringLiteral("formatPage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("Format"));
    QStringList names;
    for (const engine::codecs::CodecInfo& codec : engine::codecs::codecs())
        names << QString::fromUtf8(codec.menuEntry);
    m_formatMenu = popup(QStringLiteral("formatMenu"), names, page);
    m_optionsButton =
        named(new QPushButton(QStringLiteral("Options..."), page), QStringLiteral("optionsButton"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_formatMenu);
    row->addWidget(m_optionsButton);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
    auto* hint = named(new QLabel(QStringLiteral("Double click on this setting\n"
                                                 "on the left to change label."),
                                  page),
                       QStringLiteral("StaticText3"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(hint);
    layout->addStretch(1);
    connect(m_formatMenu, &QComboBox::currentIndexChanged, this, &mainWindow::formatMenu_Change);
    connect(m_optionsButton, &QPushButton::clicked, this, &mainWindow::optionsButton_Action);
    m_formatMenu->setCurrentIndex(0);
    formatMenu_Change();
    return page;
}

QWidget* mainWindow::buildScalePage()
{
    auto* page = named(new QWidget, QStringLiteral("scalePage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("Scaling"));
    const QStringList units = {QStringLiteral("Pixels"), QStringLiteral("Percent")};

    m_GroupBox3 =
        named(new QGroupBox(QStringLiteral("Dimensions"), page), QStringLiteral("GroupBox3"));
    auto* grid = new QGridLayout(m_GroupBox3);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(4);
    m_widthText =
        named(rightLabel(QStringLiteral("Size:"), m_GroupBox3), QStringLiteral("widthText"));
    // Wide enough for both of its captions.
    m_widthText->setMinimumWidth(
        m_widthText->fontMetrics().horizontalAdvance(QStringLiteral("Width:")) +
        2 * m_widthText->margin());
    m_widthField =
        named(new saEditField(QStringLiteral("400"), m_GroupBox3), QStringLiteral("widthField"));
    m_scalingMenu1 = popup(QStringLiteral("scalingMenu1"), units, m_GroupBox3);
    m_heightText =
        named(rightLabel(QStringLiteral("Height:"), m_GroupBox3), QStringLiteral("heightText"));
    m_heightField =
        named(new saEditField(QStringLiteral("100"), m_GroupBox3), QStringLiteral("heightField"));
    m_scalingMenu2 = popup(QStringLiteral("scalingMenu2"), units, m_GroupBox3);
    m_scalingCPCheckBox = named(new QCheckBox(QStringLiteral("Constrain Proportions"), m_GroupBox3),
                                QStringLiteral("scalingCPCheckBox"));
    m_scalingCPCheckBox->setChecked(true);
    grid->addWidget(m_widthText, 0, 0);
    grid->addWidget(m_widthField, 0, 1);
    grid->addWidget(m_scalingMenu1, 0, 2);
    grid->addWidget(m_heightText, 1, 0);
    grid->addWidget(m_heightField, 1, 1);
    grid->addWidget(m_scalingMenu2, 1, 2);
    grid->addWidget(m_scalingCPCheckBox, 2, 1, 1, 2);
    layout->addWidget(m_GroupBox3);

    m_keepScaleCheckBox = named(new QCheckBox(QStringLiteral("Keep Scale"), page),
                                QStringLiteral("keepScaleCheckBox"));
    m_resolutionCheckBox = named(new QCheckBox(QStringLiteral("Resolution:"), page),
                                 QStringLiteral("resolutionCheckBox"));
    m_resField = named(new saEditField(QStringLiteral("300"), page), QStringLiteral("resField"));
    m_resField->setMaximumWidth(
        m_resField->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    auto* dpi = named(new QLabel(QStringLiteral("DPI"), page), QStringLiteral("StaticText9"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_resolutionCheckBox);
    row->addWidget(m_resField);
    row->addWidget(dpi);
    row->addStretch(1);
    row->addWidget(m_keepScaleCheckBox);
    layout->addLayout(row);
    layout->addStretch(1);

    connect(m_resolutionCheckBox, &QCheckBox::toggled, this,
            &mainWindow::resolutionCheckBox_Action);
    connect(m_keepScaleCheckBox, &QCheckBox::toggled, this, &mainWindow::keepScaleCheckBox_Action);
    connect(m_scalingCPCheckBox, &QCheckBox::toggled, this, &mainWindow::scalingCPCheckBox_Action);
    connect(m_scalingMenu1, &QComboBox::currentIndexChanged, this,
            [this] { scalingMenu_Change(m_scalingMenu1, m_scalingMenu2); });
    connect(m_scalingMenu2, &QComboBox::currentIndexChanged, this,
            [this] { scalingMenu_Change(m_scalingMenu2, m_scalingMenu1); });
    resolutionCheckBox_Action();
    keepScaleCheckBox_Action();
    scalingCPCheckBox_Action();
    return page;
}

QWidget* mainWindow::buildNamePage()
{
    auto* page = named(new QWidget, QStringLiteral("namePage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("File Name"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(4);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Prefix:"), page), QStringLiteral("StaticText11")), 0, 0, 1,
        2);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Suffix:"), page), QStringLiteral("StaticText12")), 0, 3, 1,
        2);
    grid->setColumnMinimumWidth(2, 10);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);
    for (int i = 0; i < nameSetting::kParts; ++i) {
        m_preField[size_t(i)] = named(new saEditField(QStringLiteral("None"), page),
                                      QStringLiteral("preField%1").arg(i));
        m_preField[size_t(i)]->setEnabled(false);
        QStringList prefixModes = kPrefixModes;
        if (i > 0)
            prefixModes[1] = QStringLiteral("date");
        m_prePop[size_t(i)] = named(new ModePopup(page), QStringLiteral("prePop%1").arg(i));
        m_prePop[size_t(i)]->addItems(prefixModes);
        m_prePop[size_t(i)]->setCurrentIndex(5);

        const QString suffixText = i == 0 ? QStringLiteral("Extension") : QStringLiteral("None");
        m_sufField[size_t(i)] =
            named(new saEditField(suffixText, page), QStringLiteral("sufField%1").arg(i));
        m_sufField[size_t(i)]->setEnabled(false);
        QStringList suffixModes = kSuffixModes;
        if (i == 1)
            suffixModes[2] = QStringLiteral("Date");
        m_sufPop[size_t(i)] = named(new ModePopup(page), QStringLiteral("sufPop%1").arg(i));
        m_sufPop[size_t(i)]->addItems(suffixModes);
        m_sufPop[size_t(i)]->setCurrentIndex(i == 0 ? 1 : 6);

        grid->addWidget(m_preField[size_t(i)], i + 1, 0);
        grid->addWidget(m_prePop[size_t(i)], i + 1, 1);
        grid->addWidget(m_sufField[size_t(i)], i + 1, 3);
        grid->addWidget(m_sufPop[size_t(i)], i + 1, 4);

        connect(m_prePop[size_t(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { prePop_Change(i); });
        connect(m_sufPop[size_t(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { sufPop_Change(i); });
        connect(m_preField[size_t(i)], &QLineEdit::textChanged, this, &mainWindow::updateExName);
        connect(m_sufField[size_t(i)], &QLineEdit::textChanged, this, &mainWindow::updateExName);
    }
    layout->addLayout(grid);
    m_separatorCheckBox = named(new QCheckBox(QStringLiteral("Separator"), page),
                                QStringLiteral("separatorCheckBox"));
    m_separatorCheckBox->setChecked(true);
    layout->addWidget(m_separatorCheckBox);
    auto* example = new QHBoxLayout;
    example->addWidget(
        named(new QLabel(QStringLiteral("Example:"), page), QStringLiteral("StaticText4")));
    m_exText = named(new QLabel(QStringLiteral("MyFile.jpg"), page), QStringLiteral("exText"));
    // A long example must not widen the window: it is a value, not a caption.
    m_exText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_exText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    example->addWidget(m_exText, 1);
    layout->addLayout(example);
    layout->addStretch(1);
    connect(m_separatorCheckBox, &QCheckBox::toggled, this, &mainWindow::updateExName);
    updateExName();
    return page;
}

QWidget* mainWindow::buildColorSyncPage()
{
    auto* page = named(new QWidget, QStringLiteral("colorSyncPage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("ColorSync"));
    m_colorSyncRadioButton1 = named(new QRadioButton(QStringLiteral("Use Original Profile"), page),
                                    QStringLiteral("colorSyncRadioButton1"));
    m_colorSyncRadioButton2 = named(new QRadioButton(QStringLiteral("Other:"), page),
                                    QStringLiteral("colorSyncRadioButton2"));
    auto* group = new QButtonGroup(page);
    group->addButton(m_colorSyncRadioButton1);
    group->addButton(m_colorSyncRadioButton2);
    m_colorSyncRadioButton1->setChecked(true);
    m_colorSyncMenu = named(new QComboBox(page), QStringLiteral("colorSyncMenu"));
    // Profile names can be long: the closed menu keeps its width, the open list shows them whole.
    m_colorSyncMenu->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_colorSyncMenu->setMinimumContentsLength(16);
    m_colorSyncMenu->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_colorSyncMenu->setEnabled(false);
    layout->addWidget(m_colorSyncRadioButton1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_colorSyncRadioButton2);
    row->addWidget(m_colorSyncMenu, 1);
    layout->addLayout(row);
    layout->addStretch(1);
    connect(m_colorSyncRadioButton2, &QRadioButton::toggled, this,
            &mainWindow::colorSyncRadioButton2_Action);
    return page;
}

QWidget* mainWindow::buildFlipRotatePage()
{
    auto* page = named(new QWidget, QStringLiteral("flipRotatePage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("Flip & Rotate"));
    m_flipCheckBox =
        named(new QCheckBox(QStringLiteral("Flip:"), page), QStringLiteral("flipCheckBox"));
    m_flipMenu = popup(QStringLiteral("flipMenu"),
                       {QStringLiteral("Flip Vertical"), QStringLiteral("Flip Horizontal")}, page);
    m_rotateCheckBox =
        named(new QCheckBox(QStringLiteral("Rotate:"), page), QStringLiteral("rotateCheckBox"));
    m_rotateMenu =
        popup(QStringLiteral("rotateMenu"),
              {QStringLiteral("Rotate 90\u00b0 CW"), QStringLiteral("Rotate 90\u00b0 CCW"),
               QStringLiteral("Rotate 180\u00b0")},
              page);
    auto* grid = new QGridLayout;
    grid->addWidget(m_flipCheckBox, 0, 0);
    grid->addWidget(m_flipMenu, 0, 1);
    grid->addWidget(m_rotateCheckBox, 1, 0);
    grid->addWidget(m_rotateMenu, 1, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    connect(m_flipCheckBox, &QCheckBox::toggled, this, &mainWindow::flipCheckBox_Action);
    connect(m_rotateCheckBox, &QCheckBox::toggled, this, &mainWindow::rotateCheckBox_Action);
    flipCheckBox_Action();
    rotateCheckBox_Action();
    return page;
}

QWidget* mainWindow::buildWatermarkPage()
{
    auto* page = named(new QWidget, QStringLiteral("watermarkPage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("Watermark"));
    auto* box =
        named(new QGroupBox(QStringLiteral("Image File"), page), QStringLiteral("GroupBox4"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(8, 4, 8, 4);
    m_wmFileField = named(new saEditField(box), QStringLiteral("wmFileField"));
    // The field shows the chosen file's name; the file itself is chosen with "Select".
    m_wmFileField->setReadOnly(true);
    m_wmSelectButton =
        named(new QPushButton(QStringLiteral("Select"), box), QStringLiteral("wmSelectButton"));
    row->addWidget(m_wmFileField, 1);
    row->addWidget(m_wmSelectButton);
    layout->addWidget(box);
    m_wmPlaceMenu =
        popup(QStringLiteral("wmPlaceMenu"),
              {QStringLiteral("Top Left"), QStringLiteral("Top Right"), QStringLiteral("Center"),
               QStringLiteral("Bottom Left"), QStringLiteral("Bottom Right")},
              page);
    auto* place = new QHBoxLayout;
    place->addWidget(
        named(new QLabel(QStringLiteral("Placement:"), page), QStringLiteral("placementText")));
    place->addWidget(m_wmPlaceMenu);
    place->addStretch(1);
    layout->addLayout(place);
    layout->addStretch(1);
    connect(m_wmSelectButton, &QPushButton::clicked, this, &mainWindow::wmSelectButton_Action);
    return page;
}

QWidget* mainWindow::buildRawPage()
{
    auto* page = named(new QWidget, QStringLiteral("rawPage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("Raw"));
    auto* box =
        named(new QGroupBox(QStringLiteral("White Balance"), page), QStringLiteral("GroupBox2"));
    auto* buttons = new QHBoxLayout(box);
    buttons->setContentsMargins(8, 4, 8, 4);
    m_rawWBButton1 =
        named(new QRadioButton(QStringLiteral("None"), box), QStringLiteral("rawWBButton1"));
    m_rawWBButton2 =
        named(new QRadioButton(QStringLiteral("Camera"), box), QStringLiteral("rawWBButton2"));
    m_rawWBButton3 =
        named(new QRadioButton(QStringLiteral("Auto"), box), QStringLiteral("rawWBButton3"));
    for (QRadioButton* button : {m_rawWBButton1, m_rawWBButton2, m_rawWBButton3})
        buttons->addWidget(button);
    m_rawWBButton1->setChecked(true);
    layout->addWidget(box);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    int row = 0;
    auto slider = [&](const QString& caption, const QString& name, const QString& textName,
                      QLabel** valueText) {
        auto* s = named(new QSlider(Qt::Horizontal, page), name);
        s->setRange(0, kSliderMaximum);
        s->setValue(kSliderMiddle);
        s->setSingleStep(1);
        s->setPageStep(kSliderPageStep);
        s->setTracking(true);
        auto* text = named(new QLabel(QStringLiteral("0.00"), page), textName);
        text->setMinimumWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("-1.00")) + 4);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(rightLabel(caption, page), row, 0);
        grid->addWidget(s, row, 1);
        grid->addWidget(text, row, 2);
        ++row;
        *valueText = text;
        connect(s, &QSlider::valueChanged, this,
                [this, s, text] { rawSlider_ValueChanged(s, text); });
        return s;
    };
    m_rawRedSlider = slider(QStringLiteral("Red Multiplier:"), QStringLiteral("rawRedSlider"),
                            QStringLiteral("RedText"), &m_RedText);
    m_rawBlueSlider = slider(QStringLiteral("Blue Multiplier:"), QStringLiteral("rawBlueSlider"),
                             QStringLiteral("BlueText"), &m_BlueText);
    m_rawBrightnessSlider =
        slider(QStringLiteral("Brightness:"), QStringLiteral("rawBrightnessSlider"),
               QStringLiteral("BrightText"), &m_BrightText);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

QWidget* mainWindow::buildFTPPage()
{
    auto* page = named(new QWidget, QStringLiteral("ftpPage"));
    QVBoxLayout* layout = pageLayout(page, QStringLiteral("FTP"));
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(3);
    int row = 0;
    auto field = [&](const QString& caption, const QString& name) {
        auto* edit = named(new saEditField(page), name);
        grid->addWidget(rightLabel(caption, page), row, 0);
        grid->addWidget(edit, row, 1, Qt::AlignLeft);
        ++row;
        return edit;
    };
    m_serverField = field(QStringLiteral("Server:"), QStringLiteral("serverField"));
    m_userField = field(QStringLiteral("User Name:"), QStringLiteral("userField"));
    m_passwordField = field(QStringLiteral("Password:"), QStringLiteral("passwordField"));
    m_passwordField->setEchoMode(QLineEdit::Password);
    m_pathField = field(QStringLiteral("Server Path:"), QStringLiteral("pathField"));
    m_portField = field(QStringLiteral("Port:"), QStringLiteral("portField"));
    for (QLineEdit* edit : {m_serverField, m_userField, m_passwordField, m_pathField})
        edit->setMinimumWidth(150);
    m_portField->setFixedWidth(kPortFieldWidth);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    m_dontSaveCheckBox = named(new QCheckBox(QStringLiteral("Don't Save Images Locally"), page),
                               QStringLiteral("dontSaveCheckBox"));
    layout->addWidget(m_dontSaveCheckBox);
    layout->addStretch(1);
    return page;
}

} // namespace quillon::ui
