// The picture button as a user sees and uses it: which picture it shows in each state, when it
// clicks, and that it can be used from the keyboard.

#include "ui/controls/imagepushbutton.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using quillon::ui::SpecialButton;

class tst_SpecialButton : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void looks_data();
    void looks();
    void release_data();
    void release();
    void dragOutAndBackIn();
    void disabledLookEndsWhenEnabled();
    void unknownKindDrawsNothing_data();
    void unknownKindDrawsNothing();
    void spaceClicks();
    void doubleDensityPictures();

private:
    void send(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons);
    QImage shown() const
    {
        return m_button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    QImage expected(SpecialButton::Mode mode) const;

    QWidget* m_window = nullptr;
    SpecialButton* m_button = nullptr;
    QImage m_background;
};

void tst_SpecialButton::init()
{
    m_window = new QWidget;
    m_window->resize(100, 60);
    m_button = new SpecialButton(SpecialButton::Add, m_window);
    m_button->move(10, 10);
    m_button->resize(m_button->sizeHint());
    // The field holds the focus, as in a real window, so the button shows no focus frame.
    auto* field = new QLineEdit(m_window);
    field->move(10, 40);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    field->setFocus();
    QCOMPARE(m_button->hasFocus(), false);
    // What the button's place looks like without a picture, to compose the expected looks on.
    m_button->setKind(0);
    m_background = shown();
    m_button->setKind(SpecialButton::Add);
}

void tst_SpecialButton::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void tst_SpecialButton::send(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), m_button->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(m_button, &event);
}

QImage tst_SpecialButton::expected(SpecialButton::Mode mode) const
{
    QImage image = m_background;
    QPainter painter(&image);
    painter.drawPixmap(0, 0, SpecialButton::picture(m_button->kind(), mode));
    return image;
}

void tst_SpecialButton::looks_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = SpecialButton::Action; kind <= SpecialButton::Path; ++kind)
        QTest::newRow(qPrintable(
            QFileInfo(SpecialButton::picturePath(kind, SpecialButton::Normal)).baseName()))
            << kind;
}

void tst_SpecialButton::looks()
{
    QFETCH(int, kind);
    m_button->setKind(kind);
    QCOMPARE(m_button->sizeHint(), QSize(24, 24));
    QCOMPARE(m_button->mode(), SpecialButton::Normal);
    QCOMPARE(shown(), expected(SpecialButton::Normal));
    // The three looks really differ, so the comparisons below can tell them apart.
    QVERIFY(expected(SpecialButton::Normal) != expected(SpecialButton::Pressed));
    QVERIFY(expected(SpecialButton::Normal) != expected(SpecialButton::Disabled));

    send(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    QCOMPARE(m_button->mode(), SpecialButton::Pressed);
    QCOMPARE(shown(), expected(SpecialButton::Pressed));
    send(QEvent::MouseButtonRelease, QPoint(5, 5), Qt::NoButton);

    m_button->setEnabled(false);
    QCOMPARE(m_button->mode(), SpecialButton::Disabled);
    QCOMPARE(shown(), expected(SpecialButton::Disabled));
}

void tst_SpecialButton::release_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("clicks");
    QTest::newRow("inside") << QPoint(12, 12) << true;
    QTest::newRow("on the right edge") << QPoint(24, 12) << true;
    QTest::newRow("on the bottom edge") << QPoint(12, 24) << true;
    QTest::newRow("on the bottom right corner") << QPoint(24, 24) << true;
    QTest::newRow("on the top left corner") << QPoint(0, 0) << true;
    QTest::newRow("just past the right edge") << QPoint(25, 12) << false;
    QTest::newRow("just above") << QPoint(12, -1) << false;
}

void tst_SpecialButton::release()
{
    QFETCH(QPoint, at);
    QFETCH(bool, clicks);
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    send(QEvent::MouseButtonPress, QPoint(12, 12), Qt::LeftButton);
    send(QEvent::MouseMove, at, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at, Qt::NoButton);
    QCOMPARE(clicked.count(), clicks ? 1 : 0);
    QCOMPARE(m_button->mode(), SpecialButton::Normal);
    QCOMPARE(shown(), expected(SpecialButton::Normal));
}

void tst_SpecialButton::dragOutAndBackIn()
{
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    send(QEvent::MouseButtonPress, QPoint(12, 12), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(40, 12), Qt::LeftButton);
    QCOMPARE(shown(), expected(SpecialButton::Normal));
    send(QEvent::MouseMove, QPoint(20, 20), Qt::LeftButton);
    QCOMPARE(shown(), expected(SpecialButton::Pressed));
    send(QEvent::MouseMove, QPoint(12, 50), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(12, 50), Qt::NoButton);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(shown(), expected(SpecialButton::Normal));
}

void tst_SpecialButton::disabledLookEndsWhenEnabled()
{
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    m_button->setEnabled(false);
    send(QEvent::MouseButtonPress, QPoint(12, 12), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(12, 12), Qt::NoButton);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(shown(), expected(SpecialButton::Disabled));
    m_button->setEnabled(true);
    QCOMPARE(shown(), expected(SpecialButton::Normal));
}

void tst_SpecialButton::unknownKindDrawsNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("kind 0") << 0;
    QTest::newRow("kind 6") << 6;
}

void tst_SpecialButton::unknownKindDrawsNothing()
{
    QFETCH(int, kind);
    m_button->setKind(kind);
    QCOMPARE(shown(), m_background);
    QCOMPARE(m_background.pixel(0, 0), m_background.pixel(12, 12));
    QVERIFY(SpecialButton::picture(kind, SpecialButton::Normal).isNull());
}

void tst_SpecialButton::spaceClicks()
{
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    m_window->activateWindow();
    m_button->setFocus(Qt::TabFocusReason);
    QTest::keyPress(m_button, Qt::Key_Space);
    QCOMPARE(m_button->mode(), SpecialButton::Pressed);
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
    // A mouse click does not take the focus away from where the user is typing.
    QCOMPARE(m_button->focusPolicy(), Qt::TabFocus);
}

void tst_SpecialButton::doubleDensityPictures()
{
    // On a double-density device the button draws its @2x picture, pixel for pixel.
    QPixmap sharpScreen(48, 48);
    sharpScreen.setDevicePixelRatio(2.0);
    sharpScreen.fill(Qt::transparent);
    m_button->render(&sharpScreen, QPoint(), QRegion(), QWidget::DrawChildren);
    QImage drawn = sharpScreen.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage wanted = SpecialButton::picture(SpecialButton::Add, SpecialButton::Normal, 2.0)
                        .toImage()
                        .convertToFormat(QImage::Format_ARGB32);
    drawn.setDevicePixelRatio(1.0);
    wanted.setDevicePixelRatio(1.0);
    QCOMPARE(drawn, wanted);

    for (int kind = SpecialButton::Action; kind <= SpecialButton::Path; ++kind)
        for (auto mode : {SpecialButton::Normal, SpecialButton::Pressed, SpecialButton::Disabled}) {
            const QPixmap sharp = SpecialButton::picture(kind, mode, 2.0);
            QCOMPARE(sharp.size(), QSize(48, 48));
            QCOMPARE(sharp.deviceIndependentSize().toSize(), QSize(24, 24));
        }
}

QTEST_MAIN(tst_SpecialButton)
#include "tst_imagepushbutton.moc"
