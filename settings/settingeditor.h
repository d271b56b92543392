#pragma once

#include "settings/exporterhandle.h"

#include <QString>

namespace quillon::settings {

// The named controls of the editor pages that the setting kinds read and set. The families
// sufPop, sufField, prePop and preField have three members each, addressed by an index 0..2;
// every other control ignores the index.
enum class EditorControl
{
    // Format page
    formatMenu,
    // Scaling page
    scalingMenu1,
    scalingMenu2,
    scalingCPCheckBox,
    widthField,
    heightField,
    resolutionCheckBox,
    resField,
    keepScaleCheckBox,
    // File Name page
    sufPop,
    sufField,
    prePop,
    preField,
    separatorCheckBox,
    // ColorSync page
    colorSyncRadioButton1,
    colorSyncRadioButton2,
    colorSyncMenu,
    // Flip & Rotate page
    flipCheckBox,
    rotateCheckBox,
    flipMenu,
    rotateMenu,
    // Watermark page
    wmFileField,
    wmPlaceMenu,
    // Raw page
    rawWBButton1,
    rawWBButton2,
    rawWBButton3,
    rawRedSlider,
    rawBlueSlider,
    rawBrightnessSlider,
    // FTP page
    serverField,
    userField,
    passwordField,
    pathField,
    portField,
    dontSaveCheckBox,
};

// The editor the settings move their values into and out of: the main window's pages, seen
// without widgets. Setting a popup or a check box is expected to run that control's own change
// handler at once, as a user's change would, which is why each kind sets its controls in a fixed
// order. Main thread.
class SettingEditor
{
public:
    virtual ~SettingEditor() = default;

    // Popup menus: the selected entry from 0, or -1 when none is selected.
    virtual int popupPosition(EditorControl control, int index = 0) const = 0;
    virtual void setPopupPosition(EditorControl control, int position, int index = 0) = 0;

    // Check boxes and radio buttons.
    virtual bool isChecked(EditorControl control, int index = 0) const = 0;
    virtual void setChecked(EditorControl control, bool checked, int index = 0) = 0;

    // Text fields.
    virtual QString text(EditorControl control, int index = 0) const = 0;
    virtual void setText(EditorControl control, const QString& text, int index = 0) = 0;

    // Sliders.
    virtual int sliderValue(EditorControl control) const = 0;
    virtual void setSliderValue(EditorControl control, int value) = 0;

    // The exporter whose options the Format page's options button edits. A Format setting and
    // the editor share this one object while the setting is shown.
    virtual ExporterPtr exporter() const = 0;
    virtual void setExporter(ExporterPtr exporter) = 0;

    // The watermark picture chosen on the Watermark page: an absolute path, empty for none.
    virtual QString wmFile() const = 0;
    virtual void setWmFile(const QString& path) = 0;
};

// The number at the start of a text: optional blanks, an optional sign, decimal digits and an
// optional fraction, cut toward zero; a text that does not start with a number gives 0. Values
// beyond the 32-bit range are clamped to it. Any thread.
int textToInteger(const QString& text);

// The decimal text of a value, with a minus sign when negative. Any thread.
QString integerToText(int value);

} // namespace quillon::settings
