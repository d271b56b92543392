#include "engine/steps/shrinkonload.h"

#include "settings/settingkinds.h"

namespace quillon::engine {

PictureScaler::ScaledSize scaleStepSize(const settings::scaleSetting& step, const QSize& size)
{
    if (step.mode == 1) {
        if (step.constrainProportions)
            return PictureScaler::sizeInPercent(size.width(), size.height(), step.width,
                                                step.width);
        return PictureScaler::sizeInPercent(size.width(), size.height(), step.width,
                                            step.height);
    }
    if (step.constrainProportions)
        return PictureScaler::ratioSizeInPixels(size.width(), size.height(), step.width);
    return {step.width, step.height};
}

ShrinkOnLoad shrinkOnLoadFor(const std::vector<settings::SettingPtr>& steps, int finderLabel,
                             const QSize& fileSize)
{
    ShrinkOnLoad result;
    if (fileSize.isEmpty())
        return result;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const settings::batchSetting* step = steps[i].get();
        if (!step || step->getLabel() != finderLabel)
            continue;
        if (const auto* flip = dynamic_cast<const settings::flipRotateSetting*>(step)) {
            if (flip->flip || flip->rotate)
                return result;
            continue;
        }
        if (dynamic_cast<const settings::watermarkSetting*>(step))
            return result;
        const auto* scale = dynamic_cast<const settings::scaleSetting*>(step);
        if (!scale)
            continue;
        const PictureScaler::ScaledSize s = scaleStepSize(*scale, fileSize);
        if (s.width < 1 || s.height < 1 || s.width >= fileSize.width() ||
            s.height >= fileSize.height())
            return result;
        result.applies = true;
        result.stepIndex = i;
        result.target = QSize(int(s.width), int(s.height));
        return result;
    }
    return result;
}

} // namespace quillon::engine
