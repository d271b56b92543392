#include "ui/windows/progwindow.h"

#include "ui/windows/cautionbox_p.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace quillon::ui {

// Brings the job's events to the window's thread. The job waits for every event, so the calls
// from its own thread are blocking queued ones; Started and Scanning come on the thread that
// started the job, which is the window's.
class progWindow::Listener : public engine::JobListener
{
public:
    explicit Listener(progWindow* window) : m_window(window) {}

    void Started(int count) override
    {
        call([=, this] { m_window->Started(count); });
    }
    void Scanning(const QString& name) override
    {
        call([=, this] { m_window->Scanning(name); });
    }
    void Connecting(const QString& server) override
    {
        call([=, this] { m_window->Connecting(server); });
    }
    bool Progress(const QString& name, int current, int total) override
    {
        bool answer = false;
        call([&, this] { answer = m_window->Progress(name, current, total); });
        return answer;
    }
    void Finished(bool stopped) override
    {
        call([=, this] { m_window->jobFinished(stopped); });
    }

private:
    template <typename F> void call(F&& handler)
    {
        if (QThread::currentThread() == m_window->thread())
            handler();
        else
            QMetaObject::invokeMethod(m_window, std::forward<F>(handler),
                                      Qt::BlockingQueuedConnection);
    }

    progWindow* m_window;
};

QList<RunProblem> runProblems(const engine::RunReport& report)
{
    QList<RunProblem> problems;
    auto add = [&](const QList<engine::FileProblem>& list, RunProblem::Kind kind) {
        for (const engine::FileProblem& problem : list)
            problems.append({kind, problem.file, problem.reason});
    };
    add(report.notSaved, RunProblem::Kind::NotSaved);
    add(report.notOpened, RunProblem::Kind::NotOpened);
    add(report.loginsFailed, RunProblem::Kind::LoginFailed);
    add(report.uploadsFailed, RunProblem::Kind::UploadFailed);
    return problems;
}

progWindow::~progWindow() = default;

bool progWindow::startRun(const QStringList& sources, const StartRequest& request,
                          const settings::SettingsStore* current)
{
    m_batchTread1->setCurrentSteps(current);
    return m_batchTread1->startProcess(sources, request.destination, request.depth,
                                       request.favoriteFile, request.saveToSource);
}

void progWindow::jobFinished(bool stopped)
{
    const engine::RunReport& report = m_batchTread1->report();
    Finished(stopped, m_batchTread1->someNotSaved(), runProblems(report));
    emit runFinished(stopped);
}

progWindow::progWindow(QWidget* parent)
    : QDialog(parent), m_listener(std::make_unique<Listener>(this)),
      m_batchTread1(std::make_unique<engine::batchTread>(m_listener.get()))
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
    m_stopping.store(true);       // the job sees it before its next image
    m_batchTread1->requestStop(); // and an FTP wait ends at once
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
