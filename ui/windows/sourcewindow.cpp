#include "ui/windows/sourcewindow.h"

#include "ui/controls/ilist.h"
#include "ui/windows/cautionbox_p.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace quillon::ui {

sourceWindow::sourceWindow(const QStringList& sourceFiles, QWidget* parent,
                           SourceFileServices services)
    : QDialog(parent), m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Sources"));
    setAcceptDrops(true);

    m_ListBox1 = new iList(this);
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    m_ListBox1->setColumnCount(1);
    m_ListBox1->setIconSize(QSize(16, 16));
    m_ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ListBox1->setAcceptDrops(false); // drops are the window's
    m_ListBox1->installEventFilter(this);
    auto* StaticText1 =
        new QLabel(QStringLiteral("Drag and drop files/folders from Finder to add."), this);
    auto* PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setDefault(true);
    auto* PushButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    PushButton2->setObjectName(QStringLiteral("PushButton2"));
    m_PushButton3 = new QPushButton(QStringLiteral("Remove"), this);
    m_PushButton3->setObjectName(QStringLiteral("PushButton3"));
    m_PushButton3->setAutoDefault(false);
    m_PushButton3->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_PushButton3);
    buttons->addStretch();
    buttons->addWidget(PushButton2);
    buttons->addWidget(PushButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ListBox1);
    layout->addWidget(StaticText1);
    layout->addLayout(buttons);
    resize(420, 360);

    // No duplicate test here: the list is the main window's as it is.
    for (const QString& path : sourceFiles)
        appendRow(path);
    m_ListBox1->update();

    connect(m_ListBox1, &iList::change, this,
            [this] { m_PushButton3->setEnabled(m_ListBox1->selectedRow() >= 0); });
    connect(m_ListBox1, &iList::cellenTextPaint, this, &sourceWindow::ListBox1_cellenTextPaint,
            Qt::DirectConnection);
    connect(m_ListBox1, &QWidget::customContextMenuRequested, this, &sourceWindow::showLabelMenu);
    connect(m_PushButton3, &QPushButton::clicked, this, &sourceWindow::removeSelected);
    connect(PushButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(PushButton2, &QPushButton::clicked, this, &QDialog::reject);
}

void sourceWindow::appendRow(const QString& path)
{
    m_files << path;
    auto* item = new QTreeWidgetItem(QStringList{QFileInfo(path).fileName()});
    item->setToolTip(0, path);
    const QImage icon = m_services.icon(path);
    if (!icon.isNull())
        item->setIcon(0, QIcon(QPixmap::fromImage(icon)));
    m_ListBox1->addTopLevelItem(item);
}

bool sourceWindow::addItem(const QString& path)
{
    for (const QString& entry : std::as_const(m_files)) {
        if (isSameSource(entry, path))
            return true;
    }
    if (m_services.isSource(path)) {
        // The new row lands directly after the last entry, before the filler rows.
        m_ListBox1->removeEmpties();
        appendRow(path);
        m_ListBox1->addEmpties();
    }
    return false;
}

void sourceWindow::addDropped(const QStringList& paths)
{
    bool duplicate = false;
    for (const QString& path : paths)
        duplicate = addItem(path) || duplicate;
    if (duplicate)
        showCaution(this, QStringLiteral("File(s) does already exist."),
                    QStringLiteral("One or more of the files you were trying to add does "
                                   "already exist in the source list."));
}

void sourceWindow::removeSelected()
{
    const int s = m_ListBox1->selectedRow();
    if (s < 0 || s >= m_files.size())
        return;
    m_files.removeAt(s);
    delete m_ListBox1->takeTopLevelItem(s);
    m_ListBox1->update();
    // The entry that moved up into the row is selected; after the last one, a filler row (or
    // nothing) is there and nothing stays selected.
    m_ListBox1->selectRow(s);
    m_PushButton3->setEnabled(m_ListBox1->selectedRow() >= 0);
}

bool sourceWindow::setRowLabel(int row, int labelIndex)
{
    if (row < 0 || row >= m_files.size())
        return false;
    QString error;
    if (!m_services.setLabelIndex(m_files.at(row), labelIndex, &error)) {
        showCaution(this, QStringLiteral("The label could not be set."), error);
        return false;
    }
    m_ListBox1->viewport()->update();
    return true;
}

void sourceWindow::ListBox1_cellenTextPaint(QPainter* painter, const QRect& cell, int row,
                                            int column)
{
    if (row < 0 || row >= m_files.size())
        return;
    const int label = m_services.labelIndex(m_files.at(row));
    if (label < 1 || label > 7)
        return;
    const QImage picture = m_services.labelPicture(label);
    if (picture.isNull())
        return;
    const int x = cell.width() - 16;
    const int y = int(cell.height() / 2.0 - 5.0);
    painter->drawImage(cell.topLeft() + QPoint(x, y), picture);
}

void sourceWindow::showLabelMenu(const QPoint& position)
{
    const int row = m_ListBox1->rowOf(m_ListBox1->itemAt(position));
    if (row < 0 || row >= m_files.size())
        return;
    QMenu menu(this);
    QMenu* labels = menu.addMenu(QStringLiteral("Label"));
    labels->addAction(QStringLiteral("None"), this, [this, row] { setRowLabel(row, 0); });
    const QStringList names = m_services.labelNames();
    for (int i = 0; i < names.size() && i < 7; ++i) {
        QAction* action =
            labels->addAction(names.at(i), this, [this, row, i] { setRowLabel(row, i + 1); });
        const QImage picture = m_services.labelPicture(i + 1);
        if (!picture.isNull())
            action->setIcon(QIcon(QPixmap::fromImage(picture)));
    }
    menu.exec(m_ListBox1->viewport()->mapToGlobal(position));
}

void sourceWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void sourceWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void sourceWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    addDropped(paths);
}

bool sourceWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ListBox1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace)
        removeSelected(); // the key still goes on to the list
    return QDialog::eventFilter(watched, event);
}

} // namespace quillon::ui
