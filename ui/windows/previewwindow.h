#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

namespace quillon::ui {

// "Preview": shows one rendered picture at its natural size, centred in a drawing area inset
// 20 pixels left, right and bottom and 14 at the top, never scaled (a larger picture is cut off
// equally on both sides). Each preview opens a new window, which deletes itself when closed;
// Ctrl+W closes it. Opener's order: create, setWindowTitle("Preview: " + name), setPicture,
// reAdjustSize, show. Main thread.
class previewWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMinimumSide = 128;
    static constexpr int kLeftInset = 20;
    static constexpr int kRightInset = 20;
    static constexpr int kTopInset = 14;
    static constexpr int kBottomInset = 20;
    // How much smaller than the screen a window for a large picture is, in each direction.
    static constexpr int kScreenMargin = 200;

    explicit previewWindow(QWidget* parent = nullptr);

    // prevPict: the picture shown.
    void setPicture(const QImage& picture);
    QImage picture() const { return m_prevPict; }

    // Sizes the window to the picture within the primary screen's available area and centres it.
    void reAdjustSize();
    // The same on a given screen area.
    void reAdjustSize(const QRect& screen);

    // The drawing area, and where the picture's top-left corner lands in it.
    QWidget* canvas() const { return m_Canvas1; }
    QPoint pictureOrigin() const;

private:
    QImage m_prevPict;
    QWidget* m_Canvas1 = nullptr;
};

} // namespace quillon::ui
