#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quillon::engine {

// One file and why something went wrong with it.
struct FileProblem
{
    QString file;   // the source image (or, for a login, the server)
    QString reason; // readable; names the file or server and the cause
};

// What one run did, for the end-of-run message of the progress window and the command line.
// Filled on the job's thread; read it after Finished (or after batchTread::wait()).
struct RunReport
{
    int collected = 0;                // images collected by the scan (imageCount)
    QStringList written;              // every output written, in collection order (one
                                      // removed after its upload, by request, included)
    QList<FileProblem> notSaved;      // opened, but no output was written
    QList<FileProblem> notOpened;     // collected, but could not be opened
    QStringList uploaded;             // outputs uploaded, in order
    QList<FileProblem> uploadsFailed; // outputs whose upload failed
    QList<FileProblem> loginsFailed;  // one entry per failed login attempt (file = server)
    QList<FileProblem> warnings;      // written, but a detail failed (icon, profile, watermark)
    QString settingsError;            // the favorite could not be read (completely)
    bool stopped = false;             // the run ended early at the owner's request

    // Every collected image gave an output, every upload went through and the run was not
    // stopped early.
    bool allWritten() const
    {
        return written.size() == collected && notSaved.isEmpty() && notOpened.isEmpty() &&
               uploadsFailed.isEmpty() && !stopped;
    }
};

// The texts of the message shown once at the end of a run in which some output was not saved.
QString notSavedTitle();
QString notSavedText();

} // namespace quillon::engine
