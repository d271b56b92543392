#include "engine/steps/watermarkstep.h"

#include "engine/imageservices/pictureops.h"

#include <cmath>

namespace quillon::engine {

bool watermarkPosition(const QSize& picture, const QSize& mark, int placement, QPoint* position)
{
    const int W = picture.width(), H = picture.height(), w = mark.width(), h = mark.height();
    switch (placement) {
    case 0:
        *position = QPoint(0, 0);
        return true;
    case 1:
        *position = QPoint(W - w, 0);
        return true;
    case 2:
        *position = QPoint(int(std::trunc(W / 2.0 - w / 2.0)), int(std::trunc(H / 2.0 - h / 2.0)));
        return true;
    case 3:
        *position = QPoint(0, H - h);
        return true;
    case 4:
        *position = QPoint(W - w, H - h);
        return true;
    default:
        return false;
    }
}

void function_watermark(QImage& picture, const settings::watermarkSetting& step, QString* warning)
{
    if (step.wmFile.isEmpty())
        return;
    QImage mark;
    QString error;
    if (!openAsPng(step.wmFile, &mark, &error)) {
        if (warning)
            *warning = QStringLiteral("watermark not drawn: %1").arg(error);
        return;
    }
    QPoint position;
    if (!watermarkPosition(picture.size(), mark.size(), step.wmPlacement, &position))
        return;
    drawMasked(picture, mark, position);
}

} // namespace quillon::engine
