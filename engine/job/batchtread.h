#pragma once

#include "engine/imageservices/colorprofiles.h"
#include "engine/job/joblistener.h"
#include "engine/job/runreport.h"
#include "engine/steps/ftpupload.h"
#include "engine/steps/outputnaming.h"
#include "settings/settingsstore.h"

#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace quillon::engine {

// The deepest folder level a scan goes down to, also when the depth is unlimited (-1).
inline constexpr int kMaxScanDepth = 256;

// How many images may be started ahead of the one the run is at, per worker: enough to keep
// every worker busy while the run waits on its listener, few enough that the pictures in
// flight stay a small, fixed amount of memory whatever the batch's length.
inline constexpr int kImagesAheadPerWorker = 2;
// The most worker threads a run uses, whatever is asked for.
inline constexpr int kMaxWorkers = 64;
// The environment variable that sets the worker count when the job is not told one
// (a whole number from 1; anything else is ignored).
inline constexpr char kWorkersVariable[] = "QUILLON_WORKERS";

// The batch job: runs one batch from start to end, or renders one preview. It takes the steps
// (the current ones of the caller's SettingsStore, shared, or a favorite file read into its
// own store), collects the images of the sources whose colour label has a Format step, then
// walks them on its own thread in collection order, and tells its listener through JobListener
// events. The run's outcome is in report().
//
// With more than one worker, opening, the picture steps and encoding of the next images run on
// worker threads ahead of the walk; everything observable (events, names, serial numbers,
// reservations, written files, uploads, the stop) still happens one image at a time in
// collection order, exactly as with one worker. Images made ahead of a stop are dropped.
//
// Threads: construct, configure, startProcess, preview and the accessors on the owner's
// thread; Run runs on the job's thread. While the thread runs, only wait(), isRunning() and
// requestStop() may be called, and nobody may change the steps. report() and the counters
// are stable after Finished (or after wait() returned).
class batchTread
{
public:
    explicit batchTread(JobListener* listener = nullptr);
    ~batchTread(); // waits for the job's thread
    batchTread(const batchTread&) = delete;
    batchTread& operator=(const batchTread&) = delete;

    void setListener(JobListener* listener) { m_listener = listener; }
    // The caller's current steps (the main window's store), used by loadCurrent; the store
    // must outlive the run and stay unchanged while it runs.
    void setCurrentSteps(const settings::SettingsStore* current) { m_current = current; }
    // The connections' limit for a wait without any output from the FTP client.
    void setFtpSilenceLimit(std::chrono::milliseconds limit) { m_ftp.setSilenceLimit(limit); }
    // Worker threads for a run: 0 (the default) is the QUILLON_WORKERS variable's number, or
    // else one per processor core; 1 works one image at a time on the job's thread. Set before
    // startProcess.
    void setWorkerCount(int workers) { m_workers = std::max(0, workers); }
    int workerCount() const { return m_workers; }
    // The number of workers a run of this job uses.
    int effectiveWorkerCount() const;
    // After the run: the most images that were started ahead and not yet finished at once.
    int peakImagesAhead() const { return m_peakAhead; }

    // Loads the steps (the favorite file when given, else the current steps), collects the
    // images (folders scanned to depth: -1 unlimited, 0 only the folder itself, n levels),
    // raises Started and starts the job's thread. destination is used when saveToSource is
    // false. False, and nothing started, when the thread was already started.
    bool startProcess(const QStringList& sources, const QString& destination, int depth,
                      const QString& favorite, bool saveToSource);
    // Blocks until the job's thread has finished (Finished has been raised). Returns at once
    // when the thread was never started. A window whose listener forwards events to its own
    // thread with blocking queued calls must not wait here on that thread (it would never
    // answer them); it learns the end from Finished instead.
    void wait();
    bool isRunning() const;
    // Any thread: ends the FTP waits at once. The run itself stops after the image whose
    // Progress answers true, as the owner's Progress handler decides.
    void requestStop() { m_stopRequested = true; }

    // loadCurrent: the job uses the current steps' lists and setting objects (no copies).
    void loadCurrent();
    // loadFavorite: reads the file's records into the job's own store by the record rule.
    // False when the file could not be read completely; loadError() and report() say why,
    // and the complete records before any damage stay.
    bool loadFavorite(const QString& file);
    QString loadError() const { return m_report.settingsError; }

    // scanForImages: appends the images of a chosen folder (and of its subfolders, by the
    // depth rule) to imageFile and returns how many it appended.
    int scanForImages(const QString& root);

    // preview: runs one file through the pipeline on the caller's thread into the private
    // temporary-items folder, reads the result back, deletes it and returns the picture; name
    // gets the output's name. A null picture when anything failed (error says why).
    QImage preview(const QString& file, QString& name, QString* error = nullptr);

    // The steps in use (the current store or the job's own).
    const settings::SettingsStore& steps() const;
    int scanDepth() const { return m_scanDepth; }
    QString destinationFolder() const { return m_destinationFolder; }
    bool saveToSource() const { return m_saveToSource; }
    const QStringList& imageFile() const { return m_imageFile; }
    int imageCount() const { return m_imageCount; }
    int currentImage() const { return m_currentImage; }
    const QList<int>& settingLabel() const { return m_settingLabel; }
    const QList<int>& formatExist() const { return m_formatExist; }
    const SerialNumbers& serialNumber() const { return m_serialNumber; }
    bool stopping() const { return m_stopping; }
    bool someNotSaved() const { return m_someNotSaved; }
    bool isPreview() const { return m_isPreview; }
    const RunReport& report() const { return m_report; }

private:
    struct Prepared;
    void Run();
    // The part of an image that depends on that image alone (workers run it ahead).
    std::unique_ptr<Prepared> prepare(int index) const;
    // The rest, in collection order on the job's thread.
    void finish(Prepared& prepared);
    void collectSource(const QString& source);
    int scanFolder(const QString& folder, int level, QSet<QString>& visited);
    bool takesFile(const QString& path, const QString& name) const;
    // Steps (a) to (j) for an opened image; the written target, or empty.
    QString processImage(Prepared& prepared);
    QString uploadTarget(FtpImage& ftp, const QString& source, const QString& target);
    void notSaved(const QString& source, const QString& reason, bool targetFailed = true);

    JobListener* m_listener = nullptr;
    const settings::SettingsStore* m_current = nullptr;
    settings::SettingsStore m_own;
    const settings::SettingsStore* m_steps = &m_own;
    ColorProfiles m_profiles;

    int m_scanDepth = 0;
    QString m_destinationFolder;
    QStringList m_imageFile;
    int m_imageCount = 0;
    int m_currentImage = 0;
    QList<int> m_formatExist;
    SerialNumbers m_serialNumber{};
    FtpUpload m_ftp; // the job's FTP connections, one per label (`ftpConnection`)
    std::atomic<bool> m_stopping = false;
    std::atomic<bool> m_stopRequested = false;
    QList<int> m_settingLabel;
    bool m_saveToSource = false;
    bool m_someNotSaved = false;
    bool m_isPreview = false;
    RunReport m_report;
    int m_workers = 0;
    int m_peakAhead = 0;
    std::unique_ptr<QThread> m_thread;
};

} // namespace quillon::engine
