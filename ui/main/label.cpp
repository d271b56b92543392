#include "ui/main/label.h"

#include "engine/labels/finderlabel.h"
#include "resources/resources.h"
#include "settings/batchsetting.h"

#include <QGuiApplication>
#include <QImage>
#include <array>

namespace quillon::ui::label {

namespace {

std::array<QPixmap, settings::kLabelCount>& images()
{
    static std::array<QPixmap, settings::kLabelCount> pictures;
    return pictures;
}

} // namespace

void loadImages()
{
    resources::init();
    // On a high-density screen the double-size set ("red@2x.png") keeps the pictures crisp.
    const bool dense = qApp && qGuiApp->devicePixelRatio() > 1.0;
    for (int i = 0; i < settings::kLabelCount; ++i) {
        const QString base = QStringLiteral(":/labels/") + settings::labelPictureName(i);
        QString path = base;
        if (dense)
            path.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
        // PNG with an alpha channel: the transparent part is the picture's mask.
        QImage image(path);
        if (image.isNull() && path != base)
            image.load(base);
        else if (path != base)
            image.setDevicePixelRatio(2.0);
        images()[size_t(i)] = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    }
}

QPixmap cImage(int labelIndex)
{
    if (labelIndex < 0 || labelIndex >= settings::kLabelCount)
        return {};
    return images()[size_t(labelIndex)];
}

QString labelName(int labelIndex)
{
    if (labelIndex < 1 || labelIndex >= settings::kLabelCount)
        return {};
    return engine::labelNames().value(labelIndex - 1);
}

} // namespace quillon::ui::label
