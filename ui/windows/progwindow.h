#pragma once

#include "ui/windows/runreportwindow.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <atomic>

class QLabel;
class QProgressBar;

namespace quillon::ui {

// "Progress": a bar of images done out of images found, one status line and "Stop". The
// handlers below are the batch job's events; they run on the main thread (the job raises them
// with Qt::BlockingQueuedConnection, so it waits for each). Stop only sets the stop flag, which
// the job and the FTP client's waits read on the batch thread through stopFlag(); Escape and the
// close control do the same while a run is going, so the window never goes away under a running
// job. Finished closes the window, then reports what the run could not do: the report window
// when the job gives the problems, else the not-saved message once. Window-modal on its parent
// (a sheet). Main thread, except stopFlag() which any thread may read.
class progWindow : public QDialog
{
    Q_OBJECT

public:
    explicit progWindow(QWidget* parent = nullptr);

    bool stopping() const { return m_stopping.load(); }
    const std::atomic<bool>& stopFlag() const { return m_stopping; }

    // The job's events.
    void Started(int count);
    void Scanning(const QString& name);
    void Connecting(const QString& server);
    // True asks the job to stop before this image; the display is then left as it was.
    bool Progress(const QString& name, int current, int total);
    void Finished(bool stopped, bool someNotSaved, const QList<RunProblem>& problems = {});

    // The status line, also for the Preview command's "Making preview ...".
    void setInfoText(const QString& text);
    QString infoText() const;
    int progressValue() const;
    int progressMaximum() const;

    // The report shown by the last Finished, if any (it deletes itself when closed).
    RunReportWindow* report() const { return m_report; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PushButton1_Clicked();

    std::atomic<bool> m_stopping{false};
    bool m_finished = false;
    QLabel* m_infoText = nullptr;
    QProgressBar* m_ProgressBar1 = nullptr;
    RunReportWindow* m_report = nullptr;
};

} // namespace quillon::ui
