#include "ui/windows/progwindow.h"

#include "ui/windows/cautionbox_p.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon::ui {

progWindow::progWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Progress"));
    setWindowModality(Qt::WindowModal);

    auto* StaticText1 = new QLabel(QStringLiteral("Progress"), this);
    m_ProgressBar1 = new QProgressBar(this);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setRange(0, 0);
    m_ProgressBar1->setValue(0);
    m_ProgressBar1->setTextVisible(false);
    m_infoText = new QLabel(this);
    m_infoText->setObjectName(QStringLiteral("infoText"));
    QFont small = m_infoText->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_infoText->setFont(small);
    m_infoText->setTextFormat(Qt::PlainText);
    // A long file name must not widen the window.
    m_infoText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* PushButton1 = new QPushButton(QStringLiteral("Stop"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(m_ProgressBar1, 1);
    row->addWidget(PushButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StaticText1);
    layout->addLayout(row);
    layout->addWidget(m_infoText);
    resize(322, 110);

    connect(PushButton1, &QPushButton::clicked, this, &progWindow::PushButton1_Clicked);
}

void progWindow::PushButton1_Clicked()
{
    m_stopping.store(true); // the job sees it before its next image
}

void progWindow::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        PushButton1_Clicked(); // Escape is Stop while the run goes on
}

void progWindow::closeEvent(QCloseEvent* event)
{
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    PushButton1_Clicked();
    event->ignore();
}

void progWindow::Started(int count)
{
    m_ProgressBar1->setRange(0, std::max(count, 0));
    m_ProgressBar1->setValue(0);
}

void progWindow::Scanning(const QString& name)
{
    setInfoText(QStringLiteral("Scanning: ") + name);
}

void progWindow::Connecting(const QString& server)
{
    setInfoText(QStringLiteral("Connecting to: ") + server + QStringLiteral(" ..."));
}

bool progWindow::Progress(const QString& name, int current, int total)
{
    Q_UNUSED(total);
    if (stopping())
        return true;
    setInfoText(name);
    m_ProgressBar1->setValue(current);
    return false;
}

void progWindow::Finished(bool stopped, bool someNotSaved, const QList<RunProblem>& problems)
{
    setInfoText(QString());
    if (!stopped)
        m_ProgressBar1->setValue(m_ProgressBar1->maximum());
    m_finished = true;
    QWidget* owner = parentWidget();
    hide();
    done(stopped ? QDialog::Rejected : QDialog::Accepted);
    if (!problems.isEmpty())
        m_report = RunReportWindow::showReport(problems, owner);
    else if (someNotSaved)
        showCaution(owner, QStringLiteral("One or more Files could not be saved."),
                    QStringLiteral("The folder/volume you are trying to save might be locked or "
                                   "not writable."));
}

void progWindow::setInfoText(const QString& text)
{
    m_infoText->setText(text);
}
QString progWindow::infoText() const
{
    return m_infoText->text();
}
int progWindow::progressValue() const
{
    return m_ProgressBar1->value();
}
int progWindow::progressMaximum() const
{
    return m_ProgressBar1->maximum();
}

} // namespace quillon::ui
