#pragma once

#include "engine/steps/picturescaler.h"
#include "settings/batchsetting.h"

#include <QSize>

#include <cstddef>
#include <vector>

namespace quillon::settings {
class scaleSetting;
}

namespace quillon::engine {

// Whether an image may be decoded reduced (a JPEG at a DCT scale factor) because the first step
// that changes its picture shrinks it anyway, and to what size.
struct ShrinkOnLoad
{
    bool applies = false;
    std::size_t stepIndex = 0; // that Scaling step's index in the step list
    QSize target;              // the size its resize gives the full picture
};

// The size a Scaling step's resize by its dimensions gives a picture of the given size, by
// PictureScaler's arithmetic (mode 1 percent, any other mode pixels; constrained or not). Keep
// Scale's second resize, which depends on the source resolution, is not part of it.
PictureScaler::ScaledSize scaleStepSize(const settings::scaleSetting& step, const QSize& size);

// For an image with the Finder label number finderLabel whose full, upright picture is
// fileSize: walks the steps that apply to it in list order up to the first one that changes
// the picture (a Scaling step; a Flip & Rotate step that flips or rotates; a Watermark step).
// It applies when that step is a Scaling step whose resize makes the picture smaller in both
// directions (and at least 1 x 1); target is then that resize's size, computed from the file's
// own size. The pipeline may then decode the picture at any size at least target, resize it to
// exactly target in place of the step's own resize, and go on as before (Keep Scale, the
// exporter's resolution and every later step work on a picture of the same size as with a full
// decode). Steps that do not touch the picture (Format, File Name, ColorSync, Raw, FTP) are
// passed over. Any thread; the steps are only read.
ShrinkOnLoad shrinkOnLoadFor(const std::vector<settings::SettingPtr>& steps, int finderLabel,
                             const QSize& fileSize);

} // namespace quillon::engine
