#pragma once

#include "engine/job/batchtread.h"
#include "ui/windows/runreportwindow.h"
#include "ui/windows/startwindow.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <atomic>
#include <memory>

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
    ~progWindow() override;

    // The batch job of this window (batchTread1); its events come to the handlers below.
    engine::batchTread& job() { return *m_batchTread1; }

    // "OK" of the start dialog: starts the run of `request` over `sources`. `current` is the
    // main window's store (used when no favorite is chosen); it must stay unchanged until
    // runFinished. The scan runs here, before this returns. False when the job had already run.
    // Do not delete the window before runFinished.
    bool startRun(const QStringList& sources, const StartRequest& request,
                  const settings::SettingsStore* current);

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

signals:
    // After Finished has closed the window and shown what the run could not do.
    void runFinished(bool stopped);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Listener;
    void PushButton1_Clicked();
    void jobFinished(bool stopped);

    std::atomic<bool> m_stopping{false};
    bool m_finished = false;
    QLabel* m_infoText = nullptr;
    QProgressBar* m_ProgressBar1 = nullptr;
    RunReportWindow* m_report = nullptr;
    std::unique_ptr<Listener> m_listener;
    std::unique_ptr<engine::batchTread> m_batchTread1;
};

// The problems a finished job recorded, for the report window.
QList<RunProblem> runProblems(const engine::RunReport& report);

} // namespace quillon::ui
