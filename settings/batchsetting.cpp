#include "settings/batchsetting.h"

#include "settings/binaryextras.h"
#include "settings/settingkinds.h"

#include <array>

namespace quillon::settings {

namespace {

struct LabelRow
{
    const char* colour;
    const char* picture;
    int finderLabel;
};

constexpr std::array<LabelRow, kLabelCount> kLabels = {{
    {"none", "all.png", 0},
    {"red", "red.png", 6},
    {"orange", "orange.png", 7},
    {"yellow", "yellow.png", 5},
    {"green", "green.png", 2},
    {"blue", "blue.png", 4},
    {"purple", "purple.png", 3},
    {"gray", "gray.png", 1},
}};

constexpr std::array<const char*, kKindCount> kKindNames = {
    "Format", "Scaling", "File Name", "ColorSync", "Flip & Rotate", "Watermark", "Raw", "FTP"};

bool validLabel(int labelIndex)
{
    return labelIndex >= 0 && labelIndex < kLabelCount;
}

} // namespace

QString kindName(int code)
{
    if (code < 0 || code >= kKindCount)
        return {};
    return QString::fromLatin1(kKindNames[size_t(code)]);
}

QString labelColourName(int labelIndex)
{
    return validLabel(labelIndex) ? QString::fromLatin1(kLabels[size_t(labelIndex)].colour)
                                  : QString();
}

QString labelPictureName(int labelIndex)
{
    return validLabel(labelIndex) ? QString::fromLatin1(kLabels[size_t(labelIndex)].picture)
                                  : QString();
}

int finderLabelNumber(int labelIndex)
{
    return validLabel(labelIndex) ? kLabels[size_t(labelIndex)].finderLabel : 0;
}

void batchSetting::recallValues(SettingEditor& editor)
{
    recall(editor);
}

void batchSetting::storeValues(SettingEditor& editor)
{
    store(editor);
}

bool batchSetting::writeValues(QIODevice& stream) const
{
    return binaryExtras::writeShort(stream, type) && binaryExtras::writeShort(stream, label) &&
           write(stream);
}

void batchSetting::readValues(binaryExtras::ByteReader& stream)
{
    label = stream.readShort();
    read(stream);
}

int batchSetting::getLabel() const
{
    return finderLabelNumber(label);
}

SettingPtr createSetting(int code)
{
    SettingPtr setting;
    switch (code) {
    case kFormatKind:
        setting = std::make_shared<formatSetting>();
        break;
    case kScaleKind:
        setting = std::make_shared<scaleSetting>();
        break;
    case kNameKind:
        setting = std::make_shared<nameSetting>();
        break;
    case kColorSyncKind:
        setting = std::make_shared<colorsyncSetting>();
        break;
    case kFlipRotateKind:
        setting = std::make_shared<flipRotateSetting>();
        break;
    case kWatermarkKind:
        setting = std::make_shared<watermarkSetting>();
        break;
    case kRawKind:
        setting = std::make_shared<rawSetting>();
        break;
    case kFTPKind:
        setting = std::make_shared<FTPSetting>();
        break;
    default:
        return nullptr;
    }
    setting->type = code;
    return setting;
}

} // namespace quillon::settings
