#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

// Answers every message box that opens while it lives: notes its text and icon and presses one
// button. The boxes are modal, so the answer comes from a timer that the box's own event loop
// runs.
class MessageBoxAnswerer : public QObject
{
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::look);
        m_timer.start(5);
    }

    QStringList texts;
    bool allWarnings = true;
    // Called while each box is shown, before it is answered.
    std::function<void()> onBox;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        if (onBox)
            onBox();
        allWarnings = allWarnings && box->icon() == QMessageBox::Warning;
        QAbstractButton* button = box->button(m_answer);
        if (!button)
            button = box->buttons().value(0);
        button->click();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};
