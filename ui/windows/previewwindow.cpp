#include "ui/windows/previewwindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace quillon::ui {

namespace {

class PreviewCanvas : public QWidget
{
public:
    explicit PreviewCanvas(previewWindow* owner) : QWidget(owner), m_owner(owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QImage picture = m_owner->picture();
        if (picture.isNull())
            return;
        QPainter painter(this);
        painter.drawImage(m_owner->pictureOrigin(), picture);
    }

private:
    previewWindow* m_owner;
};

} // namespace

previewWindow::previewWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preview"));
    setMinimumSize(kMinimumSide, kMinimumSide);
    m_Canvas1 = new PreviewCanvas(this);
    m_Canvas1->setObjectName(QStringLiteral("Canvas1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kLeftInset, kTopInset, kRightInset, kBottomInset);
    layout->addWidget(m_Canvas1);
    resize(300, 300);
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void previewWindow::setPicture(const QImage& picture)
{
    m_prevPict = picture;
    m_Canvas1->update();
}

QPoint previewWindow::pictureOrigin() const
{
    const double x = m_Canvas1->width() / 2.0 - m_prevPict.width() / 2.0;
    const double y = m_Canvas1->height() / 2.0 - m_prevPict.height() / 2.0;
    return {int(x), int(y)}; // truncated toward zero, as negative offsets are too
}

void previewWindow::reAdjustSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    reAdjustSize(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
}

void previewWindow::reAdjustSize(const QRect& screen)
{
    const int W = screen.width();
    const int H = screen.height();
    const int w = m_prevPict.width();
    const int h = m_prevPict.height();
    int width = w < W - kScreenMargin ? w + kLeftInset + kRightInset : W - kScreenMargin;
    int height = h < H - kScreenMargin ? h + kTopInset + kBottomInset : H - kScreenMargin;
    width = std::max(width, kMinimumSide);
    height = std::max(height, kMinimumSide);
    resize(width, height);
    const int left = int(W / 2.0 - width / 2.0);
    const int top = int(H / 2.0 - height / 2.0);
    move(screen.topLeft() + QPoint(left, top));
}

} // namespace quillon::ui
