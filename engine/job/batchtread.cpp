#include "engine/job/batchtread.h"

#include "engine/icons/customicon.h"
#include "engine/job/aheadqueue_p.h"
#include "engine/job/preparedimage_p.h"
#include "engine/labels/finderlabel.h"
#include "engine/pipeline/imagepipeline.h"
#include "engine/preview/temporaryitems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace quillon::engine {

QString notSavedTitle()
{
    return QStringLiteral("One or more Files could not be saved.");
}

QString notSavedText()
{
    return QStringLiteral(
        "The folder/volume you are trying to save might be locked or not writable.");
}

batchTread::batchTread(JobListener* listener) : m_listener(listener)
{
    // The FTP waits end as soon as the owner asks to stop.
    m_ftp.setStopFlag(&m_stopRequested);
    FtpUpload::Events events;
    events.connecting = [this](const QString& server) {
        if (m_listener)
            m_listener->Connecting(server);
    };
    events.failed = [this](const FtpFailure& failure) {
        if (failure.kind == FtpFailure::Kind::Login)
            m_report.loginsFailed.append({failure.server, failure.message()});
    };
    m_ftp.setEvents(events);
}

batchTread::~batchTread()
{
    if (m_thread) {
        m_stopRequested = true;
        m_thread->wait();
    }
}

const settings::SettingsStore& batchTread::steps() const
{
    return *m_steps;
}

void batchTread::loadCurrent()
{
    static const settings::SettingsStore kNoSteps;
    m_steps = m_current ? m_current : &kNoSteps;
}

bool batchTread::loadFavorite(const QString& file)
{
    m_steps = &m_own;
    const settings::SettingsStore::ReadResult result = m_own.readFile(file);
    if (result.ok())
        return true;
    m_report.settingsError = result.error;
    return false;
}

bool batchTread::startProcess(const QStringList& sources, const QString& destination, int depth,
                              const QString& favorite, bool saveToSource)
{
    if (m_thread)
        return false;
    if (!favorite.isEmpty())
        loadFavorite(favorite);
    else
        loadCurrent();
    for (const auto& format : m_steps->formatt) {
        const int label = format->getLabel();
        if (!m_settingLabel.contains(label))
            m_settingLabel.append(label);
    }
    m_scanDepth = depth;
    m_saveToSource = saveToSource;
    m_destinationFolder = destination;
    m_profiles = ColorProfiles::load();
    for (const QString& source : sources)
        collectSource(source);
    m_report.collected = m_imageCount;
    if (m_listener)
        m_listener->Started(m_imageCount);
    m_thread.reset(QThread::create([this] { Run(); }));
    m_thread->setObjectName(QStringLiteral("batchTread"));
    m_thread->start();
    return true;
}

void batchTread::wait()
{
    if (m_thread)
        m_thread->wait();
}

bool batchTread::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

int batchTread::effectiveWorkerCount() const
{
    if (m_workers > 0)
        return std::min(m_workers, kMaxWorkers);
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue(kWorkersVariable, &ok);
    if (ok && fromEnvironment > 0)
        return std::min(fromEnvironment, kMaxWorkers);
    return std::clamp(QThread::idealThreadCount(), 1, kMaxWorkers);
}

void batchTread::Run()
{
    // Collection order is the order of everything observable: events, names, serial numbers
    // and reservations. Opening, the picture steps and encoding of an image depend on nothing
    // but that image, so workers may run them ahead of this loop.
    const int count = int(m_imageFile.size());
    const int workers = std::min(effectiveWorkerCount(), std::max(1, count));
    if (workers <= 1) {
        for (int j = 0; j < count && !m_stopping; ++j) {
            std::unique_ptr<Prepared> prepared = prepare(j);
            finish(*prepared);
        }
    } else {
        AheadQueue<Prepared> ahead(
            count, workers, workers * kImagesAheadPerWorker,
            [this](int index) { return prepare(index); },
            // Images made ahead of a stop never become outputs.
            [](Prepared& dropped) { dropStagedImage(dropped.staged); });
        for (int j = 0; j < count && !m_stopping; ++j) {
            std::unique_ptr<Prepared> prepared = ahead.take(j);
            finish(*prepared);
        }
        ahead.cancel();
        m_peakAhead = ahead.peakAhead();
    }
    m_ftp.disconnectAll();
    m_report.stopped = m_stopping;
    if (m_listener)
        m_listener->Finished(m_stopping);
}

std::unique_ptr<batchTread::Prepared> batchTread::prepare(int index) const
{
    auto prepared = std::make_unique<Prepared>();
    const QString path = m_imageFile[index];
    const int label = FinderLabelMBS(path);
    prepared->image = openFile(*m_steps, path, label);
    prepared->opened = prepared->image.ok();
    if (!prepared->opened)
        return prepared;
    prepared->extension = formatExtension(*prepared->image.format);
    prepared->processed = applySteps(*m_steps, prepared->image);
    prepared->stepsOk = prepared->processed.ok();
    if (!prepared->stepsOk || m_isPreview)
        return prepared;

    // The output's folder is known now unless an FTP step of the label may send it to the
    // temporary-items folder (that depends on its login, which the walk does).
    if (ftpStepOf(m_steps->setting, label))
        return prepared;
    const QString folder = m_saveToSource ? QFileInfo(path).absolutePath() : m_destinationFolder;
    if (folder.isEmpty())
        return prepared;
    const QString& extension = prepared->extension;
    const QString stem = QFileInfo(path).completeBaseName();
    prepared->staged = stageImage(prepared->image, prepared->processed,
                                  QDir(folder).filePath(extension.isEmpty()
                                                            ? stem
                                                            : stem + QLatin1Char('.') + extension));
    prepared->icon = customIconSource(prepared->processed.picture);
    prepared->iconMade = true;
    prepared->processed.picture = QImage();
    return prepared;
}

void batchTread::finish(Prepared& prepared)
{
    const OpenedImage& image = prepared.image;
    if (image.format && !m_formatExist.contains(image.label))
        m_formatExist.append(image.label);
    if (!prepared.opened) {
        m_report.notOpened.append({image.path, image.error});
        return;
    }
    processImage(prepared);
    // A staged file the walk did not use (a failure before the commit) goes.
    dropStagedImage(prepared.staged);
}

void batchTread::notSaved(const QString& source, const QString& reason, bool targetFailed)
{
    // someNotSaved stands for the message about a locked or unwritable destination, so only
    // target and export failures set it; a step that failed the image is in the list alone.
    if (targetFailed)
        m_someNotSaved = true;
    m_report.notSaved.append({source, reason});
}

QString batchTread::processImage(Prepared& prepared)
{
    OpenedImage& image = prepared.image;
    const QString path = image.path;
    const int label = image.label;
    const QString sourceName = QFileInfo(path).fileName();

    // (a) the label's FTP connection, opened before anything else happens to the image
    FtpImage ftp;
    if (!m_isPreview)
        ftp = m_ftp.setUp(m_steps->setting, label, path);

    // (b) the owner's answer decides whether this image is the last one
    const bool stop =
        m_listener ? m_listener->Progress(sourceName, m_currentImage, m_imageCount) : false;
    m_stopping = stop;

    // (c)
    if (!m_formatExist.contains(label))
        return {};

    // (d) the picture steps, applied by prepare
    ProcessedImage& processed = prepared.processed;
    for (const QString& warning : std::as_const(processed.warnings))
        m_report.warnings.append({path, warning});
    if (!prepared.stepsOk) {
        notSaved(path, processed.error, false);
        ++m_currentImage;
        return {};
    }

    // (d, names) and (f): the serial counters advance in collection order
    const QString& extension = prepared.extension;
    QString name;
    for (const auto& step : processed.nameSteps)
        name = function_fileName(*step, sourceName, label, extension, m_serialNumber);
    if (name.isEmpty())
        name = defaultOutputName(sourceName, extension);
    name = safeFileName(name);

    // (g) the target folder, and a name in it reserved for this output alone
    QString folder;
    QString error;
    if (m_isPreview || ftp.useTemporaryTarget())
        folder = temporaryItemsFolder(&error);
    if (!m_isPreview && folder.isEmpty()) { // without a temporary folder the output goes home
        error.clear();
        folder = m_saveToSource ? QFileInfo(path).absolutePath() : m_destinationFolder;
    }
    if (folder.isEmpty()) {
        notSaved(
            path,
            error.isEmpty()
                ? QStringLiteral("%1: no destination folder").arg(QDir::toNativeSeparators(path))
                : error);
        ++m_currentImage;
        return {};
    }
    const NameReservation reservation = reserveNewFile(QDir(folder).filePath(name));
    if (!reservation.ok) {
        notSaved(path, reservation.error);
        ++m_currentImage;
        return {};
    }
    const QString target = reservation.path;

    // (e), (h), (i): export (or the output encoded ahead), then the chosen profile
    const WrittenImage written =
        prepared.staged.folder.isEmpty()
            ? writeImage(image, processed, target, m_profiles)
            : commitImage(image, processed, prepared.staged, target, m_profiles);
    if (!written.ok) {
        notSaved(path, written.error);
        ++m_currentImage;
        return {};
    }
    if (!written.warning.isEmpty())
        m_report.warnings.append({path, written.warning});
    m_report.written.append(target);

    // (i) upload, then the custom icon of a target that is still there
    QString output = target;
    if (ftp.step)
        output = uploadTarget(ftp, path, target);
    if (!m_isPreview && !output.isEmpty() && QFileInfo::exists(output)) {
        const IconSource icon =
            prepared.iconMade ? prepared.icon : customIconSource(processed.picture);
        if (!putCustomIcon(output, icon, &error))
            m_report.warnings.append({path, error});
    }

    // (j)
    processed.picture = QImage();
    ++m_currentImage;
    return target;
}

QString batchTread::uploadTarget(FtpImage& ftp, const QString& source, const QString& target)
{
    if (!ftp.connected) {
        m_report.uploadsFailed.append(
            {source, QStringLiteral("%1: not uploaded, the FTP login failed")
                         .arg(QDir::toNativeSeparators(target))});
        return target;
    }
    // An output that is not confirmed on the server is kept where it would have gone without
    // the FTP step.
    const QString keepFolder =
        m_saveToSource ? QFileInfo(source).absolutePath() : m_destinationFolder;
    const FtpUploadResult result = m_ftp.upload(ftp, target, keepFolder);
    switch (result.status) {
    case FtpUploadResult::Status::Uploaded:
        m_report.uploaded.append(target);
        break;
    case FtpUploadResult::Status::Failed:
        m_report.uploadsFailed.append({source, m_ftp.failures().back().message()});
        if (!result.file.isEmpty() && result.file != target && !m_report.written.isEmpty())
            m_report.written.replace(m_report.written.size() - 1, result.file);
        break;
    case FtpUploadResult::Status::NotUploaded:
        break;
    }
    return result.file;
}

} // namespace quillon::engine
