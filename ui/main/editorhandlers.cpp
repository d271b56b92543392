// The editor pages' handlers: each runs on every change of its control, by the user or by a
// recall, and keeps the page's enabling rules and derived texts right.

#include "engine/imageservices/colorprofiles.h"
#include "settings/globals.h"
#include "settings/settingkinds.h"
#include "ui/main/filenamebuilder.h"
#include "ui/main/mainwindow.h"
#include "ui/main/optionsdialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

namespace quillon::ui {

using namespace settings;

void mainWindow::formatMenu_Change()
{
    // Each choice opens a fresh exporter; options set for the previous one are not carried over.
    const int row = m_formatMenu->currentIndex();
    m_exporter = std::make_shared<ExporterHandle>(getFormat(row));
    m_optionsButton->setEnabled(optionsDialog::hasOptions(*m_exporter));
}

void mainWindow::optionsButton_Action()
{
    if (!m_exporter || !optionsDialog::hasOptions(*m_exporter))
        return;
    auto* dialog = new optionsDialog(m_exporter, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

void mainWindow::colorSyncMenu_Open()
{
    // Profile number 0 is the built-in sRGB profile, which is not offered: row k stands for
    // profile number k + 1.
    m_colorSyncMenu->clear();
    const engine::ColorProfiles profiles = engine::ColorProfiles::load();
    for (int number = 1; number < profiles.count(); ++number)
        m_colorSyncMenu->addItem(profiles.name(number));
    QAbstractItemView* view = m_colorSyncMenu->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + 16);
    m_colorSyncMenu->setCurrentIndex(m_colorSyncMenu->count() > 0 ? 0 : -1);
}

void mainWindow::resolutionCheckBox_Action()
{
    m_resField->setEnabled(m_resolutionCheckBox->isChecked());
}

void mainWindow::keepScaleCheckBox_Action()
{
    // Disabling the box disables everything in it; enabling it again gives each control back its
    // own state.
    m_GroupBox3->setEnabled(!m_keepScaleCheckBox->isChecked());
}

void mainWindow::scalingCPCheckBox_Action()
{
    const bool constrain = m_scalingCPCheckBox->isChecked();
    m_widthText->setText(constrain ? QStringLiteral("Size:") : QStringLiteral("Width:"));
    m_heightText->setEnabled(!constrain);
    m_heightField->setEnabled(!constrain);
    m_scalingMenu2->setEnabled(!constrain);
}

void mainWindow::scalingMenu_Change(QComboBox* source, QComboBox* other)
{
    if (other->currentIndex() != source->currentIndex())
        other->setCurrentIndex(source->currentIndex());
}

void mainWindow::colorSyncRadioButton2_Action()
{
    m_colorSyncMenu->setEnabled(m_colorSyncRadioButton2->isChecked());
}

void mainWindow::flipCheckBox_Action()
{
    m_flipMenu->setEnabled(m_flipCheckBox->isChecked());
}

void mainWindow::rotateCheckBox_Action()
{
    m_rotateMenu->setEnabled(m_rotateCheckBox->isChecked());
}

QString mainWindow::sliderText(int value)
{
    const double x = std::min(1.0, double(value) / 136.0 * 2.0 - 1.0);
    // "+#.00": the sign always, no zero integer digit, two decimals.
    QString digits = QString::number(std::fabs(x), 'f', 2);
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    return (x < 0 && digits != QLatin1String(".00") ? QStringLiteral("-") : QStringLiteral("+")) +
           digits;
}

void mainWindow::rawSlider_ValueChanged(QSlider* slider, QLabel* valueText)
{
    valueText->setText(sliderText(slider->value()));
}

void mainWindow::wmSelectButton_Action()
{
    auto* dialog = new QFileDialog(this, QStringLiteral("Select a PNG file."));
    dialog->setObjectName(QStringLiteral("wmFileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setMimeTypeFilters({QStringLiteral("image/png")});
    if (!m_wmFile.isEmpty())
        dialog->setDirectory(QFileInfo(m_wmFile).absolutePath());
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
        if (path.isEmpty())
            return;
        m_wmFile = QFileInfo(path).absoluteFilePath();
        m_wmFileField->setText(QFileInfo(path).fileName());
    });
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

namespace {

// A name part's field follows its mode: "User Text" (entry 0) empties it for typing, any other
// mode shows the mode's own text, read-only.
void followMode(const QComboBox* pop, QLineEdit* field)
{
    if (pop->currentIndex() == 0) {
        field->setEnabled(true);
        field->clear();
    } else {
        field->setEnabled(false);
        field->setText(pop->currentText());
    }
}

} // namespace

void mainWindow::prePop_Change(int member)
{
    followMode(m_prePop[size_t(member)], m_preField[size_t(member)]);
    updateExName();
}

void mainWindow::sufPop_Change(int member)
{
    followMode(m_sufPop[size_t(member)], m_sufField[size_t(member)]);
    updateExName();
}

void mainWindow::updateExName()
{
    if (!m_exText)
        return;
    FileNameParts parts;
    for (int i = 0; i < nameSetting::kParts; ++i) {
        parts.prefixMode[size_t(i)] = m_prePop[size_t(i)]->currentIndex();
        parts.prefixText[size_t(i)] = m_preField[size_t(i)]->text();
        parts.suffixMode[size_t(i)] = m_sufPop[size_t(i)]->currentIndex();
        parts.suffixText[size_t(i)] = m_sufField[size_t(i)]->text();
    }
    parts.separator = m_separatorCheckBox->isChecked();
    m_exText->setText(exampleName(parts, QDate::currentDate()));
}

} // namespace quillon::ui
