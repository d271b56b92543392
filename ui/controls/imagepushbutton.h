#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace quillon::ui {

// SpecialButton, the image push button: a small push button drawn entirely from one of Quillon's picture sets (Action, Edit, Add,
// Remove, Path), each with a normal, a pressed and a disabled picture. It tracks the mouse like
// a standard push button: the pressed picture shows while the mouse is held inside, and
// clicked() is emitted only when the mouse is released inside. Releasing exactly on the right or
// bottom edge still counts as inside. Space clicks it when it has keyboard focus (it takes focus
// by Tab only, and then shows a thin focus frame). A kind outside 1..5 draws nothing.
// The pictures come from ":/buttonimages/<Name>[_Pressed|_Disabled][@2x].tif"; the @2x set is
// used on high-density screens. Main (GUI) thread only.
class SpecialButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(int kind READ kind WRITE setKind)

public:
    enum Kind
    {
        Action = 1,
        Edit = 2,
        Add = 3,
        Remove = 4,
        Path = 5
    };
    enum Mode
    {
        Normal = 0,
        Pressed = 1,
        Disabled = 2
    };

    explicit SpecialButton(int kind = 0, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    void setKind(int kind);

    // The look the button has now: Disabled while disabled, Pressed while the mouse (or Space)
    // holds it down inside, otherwise Normal.
    Mode mode() const;

    // The picture of this button's kind for a look, at the given device pixel ratio (1 or 2
    // picture sets); a null pixmap for a kind outside 1..5 or a missing picture.
    static QPixmap picture(int kind, Mode mode, qreal devicePixelRatio = 1.0);

    // The resource path of a picture, e.g. ":/buttonimages/Add_Pressed.tif"; empty for a kind
    // outside 1..5.
    static QString picturePath(int kind, Mode mode, bool doubleDensity = false);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void changeEvent(QEvent* event) override;

private:
    int m_kind = 0;
};

} // namespace quillon::ui
