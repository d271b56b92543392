#include "ui/main/label.h"

#include "settings/batchsetting.h"

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
    for (int i = 0; i < settings::kLabelCount; ++i) {
        // PNG with an alpha channel: the transparent part is the picture's mask.
        const QImage image(QStringLiteral(":/labels/") + settings::labelPictureName(i));
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
    QString name = settings::labelColourName(labelIndex);
    name[0] = name[0].toUpper();
    return name;
}

} // namespace quillon::ui::label
