#pragma once

#include "settings/settingkinds.h"

#include <QImage>

namespace quillon::engine {

// function_FlipAndRotate: flips first (mode 0 vertical, any other horizontal), then rotates
// (mode 0 90° clockwise, 1 90° counter-clockwise, any other 180°). Any thread.
void function_FlipAndRotate(QImage& picture, const settings::flipRotateSetting& step);

} // namespace quillon::engine
