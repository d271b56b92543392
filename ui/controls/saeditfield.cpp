#include "ui/controls/saeditfield.h"

#include <QAction>
#include <QFocusEvent>

namespace quillon::ui {

saEditField::saEditField(QWidget* parent) : QLineEdit(parent)
{
    setUp();
}

saEditField::saEditField(const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    setUp();
}

void saEditField::setUp()
{
    m_selectAll = new QAction(tr("Select All"), this);
    // Ctrl+A itself is the line edit's own key binding; the action carries no shortcut so the
    // key never becomes ambiguous with a window's Edit menu.
    m_selectAll->setEnabled(false);
    connect(m_selectAll, &QAction::triggered, this, &saEditField::selectAllText);
}

void saEditField::selectAllText()
{
    setSelection(0, text().size());
}

void saEditField::focusInEvent(QFocusEvent* event)
{
    m_selectAll->setEnabled(true);
    QLineEdit::focusInEvent(event);
}

void saEditField::focusOutEvent(QFocusEvent* event)
{
    // Opening a menu takes the focus away for a moment; the command must stay available there.
    if (event->reason() != Qt::PopupFocusReason)
        m_selectAll->setEnabled(false);
    QLineEdit::focusOutEvent(event);
}

} // namespace quillon::ui
