#include "engine/steps/scalestep.h"

#include "engine/steps/picturescaler.h"

#include <cmath>

namespace quillon::engine {

bool function_Scale(QImage& picture, int sourceResolution, const settings::scaleSetting& step,
                    double* resolution, QString* error, const QSize& dimensionsSize)
{
    ScaleResult resized;
    if (!dimensionsSize.isEmpty()) {
        resized = PictureScaler::ScaleInPixels(picture, dimensionsSize.width(),
                                               dimensionsSize.height());
    } else if (step.mode == 1) {
        resized = step.constrainProportions
                      ? PictureScaler::RatioScaleInPercent(picture, step.width)
                      : PictureScaler::ScaleInPercent(picture, step.width, step.height);
    } else {
        resized = step.constrainProportions
                      ? PictureScaler::RatioScaleInPixels(picture, step.width)
                      : PictureScaler::ScaleInPixels(picture, step.width, step.height);
    }
    if (!resized.ok()) {
        if (error)
            *error = resized.error;
        return false;
    }
    if (step.resKeepScale) {
        if (sourceResolution <= 0) {
            if (error)
                *error = QStringLiteral("Keep Scale needs the source resolution, and the "
                                        "picture states %1 dpi")
                             .arg(sourceResolution);
            return false;
        }
        const double percent = std::trunc(double(step.resolution) / sourceResolution * 100);
        if (percent > double(INT32_MAX) || percent < double(INT32_MIN)) {
            if (error)
                *error = QStringLiteral("Keep Scale would scale by %1 %, beyond the picture "
                                        "limits")
                             .arg(percent);
            return false;
        }
        resized = PictureScaler::RatioScaleInPercent(resized.picture, std::int32_t(percent));
        if (!resized.ok()) {
            if (error)
                *error = resized.error;
            return false;
        }
    }
    picture = resized.picture;
    if (resolution)
        *resolution = step.setResolution ? step.resolution : sourceResolution;
    return true;
}

} // namespace quillon::engine
