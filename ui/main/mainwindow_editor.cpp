// The main window as the settings' editor: every named control of the pages by its name, and
// the change handler each one runs when a setting's values are recalled onto it.

#include "ui/main/mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace quillon::ui {

using settings::EditorControl;
using C = settings::EditorControl;

namespace {

bool validMember(int index)
{
    return index >= 0 && index < 3;
}

} // namespace

QComboBox* mainWindow::popupFor(EditorControl control, int index) const
{
    switch (control) {
    case C::formatMenu:
        return m_formatMenu;
    case C::scalingMenu1:
        return m_scalingMenu1;
    case C::scalingMenu2:
        return m_scalingMenu2;
    case C::sufPop:
        return validMember(index) ? m_sufPop[size_t(index)] : nullptr;
    case C::prePop:
        return validMember(index) ? m_prePop[size_t(index)] : nullptr;
    case C::colorSyncMenu:
        return m_colorSyncMenu;
    case C::flipMenu:
        return m_flipMenu;
    case C::rotateMenu:
        return m_rotateMenu;
    case C::wmPlaceMenu:
        return m_wmPlaceMenu;
    default:
        return nullptr;
    }
}

QAbstractButton* mainWindow::buttonFor(EditorControl control, int) const
{
    switch (control) {
    case C::scalingCPCheckBox:
        return m_scalingCPCheckBox;
    case C::resolutionCheckBox:
        return m_resolutionCheckBox;
    case C::keepScaleCheckBox:
        return m_keepScaleCheckBox;
    case C::separatorCheckBox:
        return m_separatorCheckBox;
    case C::colorSyncRadioButton1:
        return m_colorSyncRadioButton1;
    case C::colorSyncRadioButton2:
        return m_colorSyncRadioButton2;
    case C::flipCheckBox:
        return m_flipCheckBox;
    case C::rotateCheckBox:
        return m_rotateCheckBox;
    case C::rawWBButton1:
        return m_rawWBButton1;
    case C::rawWBButton2:
        return m_rawWBButton2;
    case C::rawWBButton3:
        return m_rawWBButton3;
    case C::dontSaveCheckBox:
        return m_dontSaveCheckBox;
    default:
        return nullptr;
    }
}

QLineEdit* mainWindow::fieldFor(EditorControl control, int index) const
{
    switch (control) {
    case C::widthField:
        return m_widthField;
    case C::heightField:
        return m_heightField;
    case C::resField:
        return m_resField;
    case C::sufField:
        return validMember(index) ? m_sufField[size_t(index)] : nullptr;
    case C::preField:
        return validMember(index) ? m_preField[size_t(index)] : nullptr;
    case C::wmFileField:
        return m_wmFileField;
    case C::serverField:
        return m_serverField;
    case C::userField:
        return m_userField;
    case C::passwordField:
        return m_passwordField;
    case C::pathField:
        return m_pathField;
    case C::portField:
        return m_portField;
    default:
        return nullptr;
    }
}

QSlider* mainWindow::sliderFor(EditorControl control) const
{
    switch (control) {
    case C::rawRedSlider:
        return m_rawRedSlider;
    case C::rawBlueSlider:
        return m_rawBlueSlider;
    case C::rawBrightnessSlider:
        return m_rawBrightnessSlider;
    default:
        return nullptr;
    }
}

void mainWindow::runHandler(EditorControl control, int index)
{
    switch (control) {
    case C::formatMenu:
        formatMenu_Change();
        break;
    case C::scalingMenu1:
        scalingMenu_Change(m_scalingMenu1, m_scalingMenu2);
        break;
    case C::scalingMenu2:
        scalingMenu_Change(m_scalingMenu2, m_scalingMenu1);
        break;
    case C::scalingCPCheckBox:
        scalingCPCheckBox_Action();
        break;
    case C::resolutionCheckBox:
        resolutionCheckBox_Action();
        break;
    case C::keepScaleCheckBox:
        keepScaleCheckBox_Action();
        break;
    case C::sufPop:
        sufPop_Change(index);
        break;
    case C::prePop:
        prePop_Change(index);
        break;
    case C::sufField:
    case C::preField:
    case C::separatorCheckBox:
        updateExName();
        break;
    case C::colorSyncRadioButton1:
    case C::colorSyncRadioButton2:
        colorSyncRadioButton2_Action();
        break;
    case C::flipCheckBox:
        flipCheckBox_Action();
        break;
    case C::rotateCheckBox:
        rotateCheckBox_Action();
        break;
    default:
        break;
    }
}

int mainWindow::popupPosition(EditorControl control, int index) const
{
    QComboBox* menu = popupFor(control, index);
    if (!menu)
        return -1;
    // A position the menu has no row for (a profile of another machine) is given back as it
    // came while the menu shows no choice, so showing a setting does not change it.
    if (menu->currentIndex() < 0 && m_unshownPosition.contains(menu))
        return m_unshownPosition.value(menu);
    return menu->currentIndex();
}

// Setting a control runs its change handler as a user's change would, also when the value is
// the one it already had: the handlers are what keep a page's enabling and derived texts right.

void mainWindow::setPopupPosition(EditorControl control, int position, int index)
{
    QComboBox* menu = popupFor(control, index);
    if (!menu)
        return;
    const int before = menu->currentIndex();
    const bool shown = position >= 0 && position < menu->count();
    if (shown || position == -1)
        m_unshownPosition.remove(menu);
    else
        m_unshownPosition.insert(menu, position);
    menu->setCurrentIndex(shown ? position : -1);
    if (menu->currentIndex() == before)
        runHandler(control, index);
}

bool mainWindow::isChecked(EditorControl control, int index) const
{
    const QAbstractButton* button = buttonFor(control, index);
    return button && button->isChecked();
}

void mainWindow::setChecked(EditorControl control, bool checked, int index)
{
    QAbstractButton* button = buttonFor(control, index);
    if (!button)
        return;
    const bool before = button->isChecked();
    button->setChecked(checked);
    if (button->isChecked() == before)
        runHandler(control, index);
}

QString mainWindow::text(EditorControl control, int index) const
{
    const QLineEdit* field = fieldFor(control, index);
    return field ? field->text() : QString();
}

void mainWindow::setText(EditorControl control, const QString& text, int index)
{
    QLineEdit* field = fieldFor(control, index);
    if (!field)
        return;
    const bool same = field->text() == text;
    field->setText(text);
    if (same)
        runHandler(control, index);
}

int mainWindow::sliderValue(EditorControl control) const
{
    const QSlider* slider = sliderFor(control);
    return slider ? slider->value() : 0;
}

void mainWindow::setSliderValue(EditorControl control, int value)
{
    if (QSlider* slider = sliderFor(control))
        slider->setValue(value);
}

} // namespace quillon::ui
