#include "engine/steps/fliprotatestep.h"

#include "engine/imageservices/pictureops.h"

namespace quillon::engine {

void function_FlipAndRotate(QImage& picture, const settings::flipRotateSetting& step)
{
    if (step.flip)
        picture = step.flipMode == 0 ? mic_FlipV(picture) : mic_FlipH(picture);
    if (step.rotate) {
        if (step.rotateMode == 0)
            picture = mic_Rotate90(picture);
        else if (step.rotateMode == 1)
            picture = mic_Rotate270(picture);
        else
            picture = mic_Rotate180(picture);
    }
}

} // namespace quillon::engine
