#include "ui/controls/imagepushbutton.h"

#include "resources/resources.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QPixmapCache>

Q_LOGGING_CATEGORY(lcControls, "quillon.ui.controls")

namespace quillon::ui {

namespace {

const char* kindName(int kind)
{
    switch (kind) {
    case SpecialButton::Action:
        return "Action";
    case SpecialButton::Edit:
        return "Edit";
    case SpecialButton::Add:
        return "Add";
    case SpecialButton::Remove:
        return "Remove";
    case SpecialButton::Path:
        return "Path";
    default:
        return nullptr;
    }
}

} // namespace

SpecialButton::SpecialButton(int kind, QWidget* parent) : QAbstractButton(parent), m_kind(kind)
{
    resources::init();
    // Clicks must not steal the focus from the list the button works on; Tab still reaches it.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, false);
}

void SpecialButton::setKind(int kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    updateGeometry();
    update();
}

SpecialButton::Mode SpecialButton::mode() const
{
    if (!isEnabled())
        return Disabled;
    return isDown() ? Pressed : Normal;
}

QString SpecialButton::picturePath(int kind, Mode mode, bool doubleDensity)
{
    const char* name = kindName(kind);
    if (!name)
        return {};
    QString path = QStringLiteral(":/buttonimages/") + QLatin1String(name);
    if (mode == Pressed)
        path += QStringLiteral("_Pressed");
    else if (mode == Disabled)
        path += QStringLiteral("_Disabled");
    if (doubleDensity)
        path += QStringLiteral("@2x");
    return path + QStringLiteral(".tif");
}

QPixmap SpecialButton::picture(int kind, Mode mode, qreal devicePixelRatio)
{
    resources::init();
    const bool doubleDensity = devicePixelRatio > 1.0;
    const QString path = picturePath(kind, mode, doubleDensity);
    if (path.isEmpty())
        return {};
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    if (!pixmap.load(path)) {
        qCWarning(lcControls) << "cannot read the button picture" << path;
        return {};
    }
    pixmap.setDevicePixelRatio(doubleDensity ? 2.0 : 1.0);
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}

QSize SpecialButton::sizeHint() const
{
    const QPixmap pixmap = picture(m_kind, Normal);
    return pixmap.isNull() ? QSize(0, 0) : pixmap.deviceIndependentSize().toSize();
}

void SpecialButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The scale the picture really reaches the pixels with: the screen's ratio, or that of a
    // pixmap the button is rendered into.
    const qreal scale = qMax(devicePixelRatioF(), qAbs(painter.deviceTransform().m11()));
    const QPixmap pixmap = picture(m_kind, mode(), scale);
    if (pixmap.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPointF(0, 0), pixmap);
    if (hasFocus()) {
        // Only keyboard users ever give this button the focus; show them where it is.
        QPen pen(palette().color(QPalette::Highlight));
        pen.setWidth(1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

bool SpecialButton::hitButton(const QPoint& pos) const
{
    // Both edges inclusive, so a release on x == width or y == height still clicks.
    return pos.x() >= 0 && pos.x() <= width() && pos.y() >= 0 && pos.y() <= height();
}

void SpecialButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}

} // namespace quillon::ui
