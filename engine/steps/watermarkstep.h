#pragma once

#include "settings/settingkinds.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace quillon::engine {

// Where a watermark of size mark goes on a picture of size picture for a placement code
// (0 top left, 1 top right, 2 centre, 3 bottom left, 4 bottom right; the centre truncated
// toward zero). False for any other code: nothing is drawn. Any thread.
bool watermarkPosition(const QSize& picture, const QSize& mark, int placement, QPoint* position);

// function_watermark: draws the step's PNG, read anew, at its own size onto the picture,
// blended by its alpha; parts outside are cut off. When there is no file, or it is not a PNG
// that opens, the picture is left as it is and warning (if given) says why. Any thread.
void function_watermark(QImage& picture, const settings::watermarkSetting& step,
                        QString* warning = nullptr);

} // namespace quillon::engine
