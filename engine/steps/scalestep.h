#pragma once

#include "settings/settingkinds.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace quillon::engine {

// function_Scale: resizes the picture by a Scaling step and chooses the output resolution.
// Pixels or percent, with or without the proportions; then, with "Keep Scale", by the ratio
// of the step's resolution to the source resolution (truncated percent). The resolution is the
// step's when it sets one, else the source's. False with a reason, picture unchanged, when a
// size would fall below one pixel or beyond the picture limits, or "Keep Scale" meets a
// source resolution of 0. Any thread.
//
// dimensionsSize, when not empty, is the size of the resize by the step's dimensions, computed
// by the caller from the file's own size (shrink-on-load: the picture was decoded reduced, so
// its own size would give another result); the picture is resized to exactly that size.
bool function_Scale(QImage& picture, int sourceResolution, const settings::scaleSetting& step,
                    double* resolution, QString* error, const QSize& dimensionsSize = QSize());

} // namespace quillon::engine
