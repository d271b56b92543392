#pragma once

#include "ui/windows/sourcefiles.h"

#include <QDialog>
#include <QStringList>

class QPainter;
class QPushButton;

namespace quillon::ui {

class iList;

// "Sources": edits a copy of the main window's source list. Files and folders dropped on it are
// added (a duplicate by isSameSource is reported once per drop, the others still added; items
// that are no source are skipped silently); "Remove" and Backspace remove the selected entry;
// each labelled file shows its label picture at the right end of its row, and a row's context
// menu "Label" sets the file's colour label. After the dialog is accepted the caller takes
// files() as its new source list; Cancel and the close control discard every change.
// The caller keeps the application's "source window open" flag: true when it shows the window,
// false on finished(). Main thread.
class sourceWindow : public QDialog
{
    Q_OBJECT

public:
    explicit sourceWindow(const QStringList& sourceFiles, QWidget* parent = nullptr,
                          SourceFileServices services = defaultSourceFileServices());

    // The working list, in display order.
    QStringList files() const { return m_files; }

    // Adds one item as the new last row. True when it is a duplicate (nothing added); false
    // otherwise, whether or not it was accepted as a source. Shows no message, so documents
    // opened with the application can use it too.
    bool addItem(const QString& path);
    // Adds dropped items in order and shows the duplicate warning once if any was a duplicate.
    void addDropped(const QStringList& paths);
    // Removes the selected entry and selects the one that moves into its row (none after the
    // last).
    void removeSelected();
    // Sets the colour label of the file in a row (label index 0..7) and redraws its mark.
    bool setRowLabel(int row, int labelIndex);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void appendRow(const QString& path);
    void showLabelMenu(const QPoint& position);
    void ListBox1_cellenTextPaint(QPainter* painter, const QRect& cell, int row, int column);

    SourceFileServices m_services;
    QStringList m_files;
    iList* m_ListBox1 = nullptr;
    QPushButton* m_PushButton3 = nullptr;
};

} // namespace quillon::ui
