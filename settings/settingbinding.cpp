// How each kind moves its values into and out of the editor. The order in which recall sets the
// controls matters: setting a popup or a check box runs its change handler, which may rewrite
// other controls of the page, and the values set after it win.

#include "settings/settingeditor.h"
#include "settings/settingkinds.h"

#include <QFileInfo>
#include <limits>

namespace quillon::settings {

using C = EditorControl;

int textToInteger(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Only the whole part counts: the fraction is cut off, which truncates toward zero.
    double value = 0;
    bool digits = false;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        value = value * 10 + (text[i].unicode() - '0');
        digits = true;
        ++i;
    }
    if (!digits)
        return 0;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

QString integerToText(int value)
{
    return QString::number(value);
}

// formatSetting

void formatSetting::recall(SettingEditor& editor)
{
    // The menu's change handler opens a fresh exporter in the editor; the setting's own one
    // replaces it right after, so its options stand.
    editor.setPopupPosition(C::formatMenu, format);
    editor.setExporter(exporter);
}

void formatSetting::store(SettingEditor& editor)
{
    format = editor.popupPosition(C::formatMenu);
    exporter = editor.exporter();
}

// scaleSetting

void scaleSetting::recall(SettingEditor& editor)
{
    // The width and height unit menus always show the same unit.
    editor.setPopupPosition(C::scalingMenu1, mode);
    editor.setPopupPosition(C::scalingMenu2, mode);
    editor.setChecked(C::scalingCPCheckBox, constrainProportions);
    editor.setText(C::widthField, integerToText(width));
    editor.setText(C::heightField, integerToText(height));
    editor.setChecked(C::resolutionCheckBox, setResolution);
    editor.setText(C::resField, integerToText(resolution));
    editor.setChecked(C::keepScaleCheckBox, resKeepScale);
}

void scaleSetting::store(SettingEditor& editor)
{
    mode = editor.popupPosition(C::scalingMenu1);
    constrainProportions = editor.isChecked(C::scalingCPCheckBox);
    width = textToInteger(editor.text(C::widthField));
    height = textToInteger(editor.text(C::heightField));
    setResolution = editor.isChecked(C::resolutionCheckBox);
    resolution = textToInteger(editor.text(C::resField));
    resKeepScale = editor.isChecked(C::keepScaleCheckBox);
}

// nameSetting

void nameSetting::recall(SettingEditor& editor)
{
    // Each field after its popup, so a stored text stands where the popup's handler writes a
    // text of its own into the field.
    for (int i = 0; i < kParts; ++i)
        editor.setPopupPosition(C::sufPop, suffixMode[size_t(i)], i);
    for (int i = 0; i < kParts; ++i)
        editor.setText(C::sufField, suffixString[size_t(i)], i);
    for (int i = 0; i < kParts; ++i)
        editor.setPopupPosition(C::prePop, prefixMode[size_t(i)], i);
    for (int i = 0; i < kParts; ++i)
        editor.setText(C::preField, prefixString[size_t(i)], i);
    editor.setChecked(C::separatorCheckBox, nameSeparator);
}

void nameSetting::store(SettingEditor& editor)
{
    for (int i = 0; i < kParts; ++i)
        suffixMode[size_t(i)] = editor.popupPosition(C::sufPop, i);
    for (int i = 0; i < kParts; ++i)
        suffixString[size_t(i)] = editor.text(C::sufField, i);
    for (int i = 0; i < kParts; ++i)
        prefixMode[size_t(i)] = editor.popupPosition(C::prePop, i);
    for (int i = 0; i < kParts; ++i)
        prefixString[size_t(i)] = editor.text(C::preField, i);
    nameSeparator = editor.isChecked(C::separatorCheckBox);
}

// colorsyncSetting

void colorsyncSetting::recall(SettingEditor& editor)
{
    const bool other = colorSyncProfileMode != 0;
    editor.setChecked(C::colorSyncRadioButton1, !other);
    editor.setChecked(C::colorSyncRadioButton2, other);
    editor.setPopupPosition(C::colorSyncMenu, colorSyncProfile);
}

void colorsyncSetting::store(SettingEditor& editor)
{
    colorSyncProfileMode = editor.isChecked(C::colorSyncRadioButton1) ? 0 : 1;
    colorSyncProfile = editor.popupPosition(C::colorSyncMenu);
}

// flipRotateSetting

void flipRotateSetting::recall(SettingEditor& editor)
{
    editor.setChecked(C::flipCheckBox, flip);
    editor.setChecked(C::rotateCheckBox, rotate);
    editor.setPopupPosition(C::flipMenu, flipMode);
    editor.setPopupPosition(C::rotateMenu, rotateMode);
}

void flipRotateSetting::store(SettingEditor& editor)
{
    flip = editor.isChecked(C::flipCheckBox);
    rotate = editor.isChecked(C::rotateCheckBox);
    flipMode = editor.popupPosition(C::flipMenu);
    rotateMode = editor.popupPosition(C::rotateMenu);
}

// watermarkSetting

void watermarkSetting::recall(SettingEditor& editor)
{
    editor.setWmFile(wmFile);
    editor.setText(C::wmFileField, wmFile.isEmpty() ? QString() : QFileInfo(wmFile).fileName());
    editor.setPopupPosition(C::wmPlaceMenu, wmPlacement);
}

void watermarkSetting::store(SettingEditor& editor)
{
    wmFile = editor.wmFile();
    wmPlacement = editor.popupPosition(C::wmPlaceMenu);
}

// rawSetting

void rawSetting::recall(SettingEditor& editor)
{
    // Codes by button: 1 "None" 0, 3 "Auto" 1, 2 "Camera" 2 (and any other value).
    editor.setChecked(C::rawWBButton1, rawWhiteBalance == 0);
    editor.setChecked(C::rawWBButton2, rawWhiteBalance != 0 && rawWhiteBalance != 1);
    editor.setChecked(C::rawWBButton3, rawWhiteBalance == 1);
    editor.setSliderValue(C::rawRedSlider, rawRed);
    editor.setSliderValue(C::rawBlueSlider, rawBlue);
    editor.setSliderValue(C::rawBrightnessSlider, rawBrightness);
}

void rawSetting::store(SettingEditor& editor)
{
    if (editor.isChecked(C::rawWBButton1))
        rawWhiteBalance = 0;
    else if (editor.isChecked(C::rawWBButton2))
        rawWhiteBalance = 2;
    else
        rawWhiteBalance = 1;
    rawRed = editor.sliderValue(C::rawRedSlider);
    rawBlue = editor.sliderValue(C::rawBlueSlider);
    rawBrightness = editor.sliderValue(C::rawBrightnessSlider);
}

// FTPSetting

void FTPSetting::recall(SettingEditor& editor)
{
    editor.setText(C::serverField, server);
    editor.setText(C::userField, user);
    editor.setText(C::passwordField, password);
    editor.setText(C::pathField, path);
    // Port 0 (the FTP program's default) is shown as an empty field rather than "0". The field
    // is emptied, not left as it was: a text left over from the setting shown before would
    // otherwise be stored into this one.
    editor.setText(C::portField, port != 0 ? integerToText(port) : QString());
    editor.setChecked(C::dontSaveCheckBox, dontSaveImages);
}

void FTPSetting::store(SettingEditor& editor)
{
    server = editor.text(C::serverField);
    user = editor.text(C::userField);
    password = editor.text(C::passwordField);
    path = editor.text(C::pathField);
    port = textToInteger(editor.text(C::portField));
    dontSaveImages = editor.isChecked(C::dontSaveCheckBox);
}

} // namespace quillon::settings
