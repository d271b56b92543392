#pragma once

#include <QLineEdit>

namespace quillon::ui {

// A one-line text field that answers the "Select All" command: selectAllText() selects the
// whole text (selection start 0, length of the text), as Ctrl+A does while the field has the
// focus. On an empty field it selects nothing and does no harm. A window can route its Edit
// menu's "Select All" here through selectAllAction(), which is enabled exactly while the field
// has the focus. Main (GUI) thread only.
class saEditField : public QLineEdit
{
    Q_OBJECT

public:
    explicit saEditField(QWidget* parent = nullptr);
    explicit saEditField(const QString& text, QWidget* parent = nullptr);

    // An action for an Edit menu: enabled while this field has the focus, triggers
    // selectAllText(). It is owned by the field.
    QAction* selectAllAction() const { return m_selectAll; }

public slots:
    void selectAllText();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setUp();

    QAction* m_selectAll = nullptr;
};

} // namespace quillon::ui
