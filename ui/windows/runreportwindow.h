#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QPlainTextEdit;

namespace quillon::ui {

// One thing a run could not do, as the batch job records it.
struct RunProblem
{
    enum class Kind
    {
        NotSaved,     // an output could not be written
        NotOpened,    // a source image could not be opened
        UploadFailed, // an output could not be uploaded
        LoginFailed,  // the FTP server refused or could not be reached
    };
    Kind kind = Kind::NotSaved;
    QString file;   // the file concerned (the server for a failed login)
    QString reason; // readable, as the engine or the FTP client gave it
};

// The end-of-run report: one window that lists every problem of a run grouped by kind, each
// with its file and reason, in text the user can select and copy ("Copy" copies it all). Not
// saved outputs are headed by the program's not-saved message. A run without problems shows
// nothing: use showReport. The window deletes itself when closed. Main thread.
class RunReportWindow : public QDialog
{
    Q_OBJECT

public:
    explicit RunReportWindow(const QList<RunProblem>& problems, QWidget* parent = nullptr);

    // The report's text; empty for no problems.
    static QString reportText(const QList<RunProblem>& problems);

    // Shows the report (not modal) and returns it; nullptr, and nothing shown, when there is
    // no problem.
    static RunReportWindow* showReport(const QList<RunProblem>& problems,
                                       QWidget* parent = nullptr);

    QString text() const;

private:
    QPlainTextEdit* m_text = nullptr;
};

} // namespace quillon::ui
