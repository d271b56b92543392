#include "engine/job/batchtread.h"

#include "engine/icons/customicon.h"
#include "engine/labels/finderlabel.h"
#include "engine/pipeline/imagepipeline.h"
#include "engine/preview/temporaryitems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

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

batchTread::batchTread(JobListener* listener) : m_listener(listener) {}

batchTread::~batchTread()
{
    if (m_thread) {
        m_stopRequested = true;
        m_thread->wait();
    }
}

void batchTread::setFtpConnector(std::shared_ptr<FtpConnector> connector)
{
    m_connector = std::move(connector);
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

void batchTread::Run()
{
    // Collection order is the order of everything observable: events, names, serial numbers
    // and reservations. Opening and the picture steps of an image depend on nothing but that
    // image, so they are the part a pool of workers may run ahead of this loop.
    for (int j = 0; j < m_imageFile.size(); ++j) {
        if (m_stopping)
            break;
        runImage(j);
    }
    for (const auto& connection : m_ftpConnection)
        connection->disconnect();
    m_report.stopped = m_stopping;
    if (m_listener)
        m_listener->Finished(m_stopping);
}

void batchTread::runImage(int index)
{
    const QString path = m_imageFile[index];
    const int label = FinderLabelMBS(path);
    OpenedImage image = openFile(*m_steps, path, label);
    if (image.format && !m_formatExist.contains(label))
        m_formatExist.append(label);
    if (!image.ok()) {
        m_report.notOpened.append({path, image.error});
        return;
    }
    processImage(index, image);
}

void batchTread::notSaved(const QString& source, const QString& reason, bool targetFailed)
{
    // someNotSaved stands for the message about a locked or unwritable destination, so only
    // target and export failures set it; a step that failed the image is in the list alone.
    if (targetFailed)
        m_someNotSaved = true;
    m_report.notSaved.append({source, reason});
}

QString batchTread::processImage(int index, OpenedImage& image)
{
    const QString path = image.path;
    const int label = image.label;
    const QString sourceName = QFileInfo(path).fileName();

    // (a) the label's FTP connection, opened before anything else happens to the image
    ImageFtp ftp;
    if (!m_isPreview)
        ftp = ftpSetUp(label);

    // (b) the owner's answer decides whether this image is the last one
    const bool stop =
        m_listener ? m_listener->Progress(sourceName, m_currentImage, m_imageCount) : false;
    m_stopping = stop;

    // (c)
    if (!m_formatExist.contains(label))
        return {};

    // (d) the picture steps
    ProcessedImage processed = applySteps(*m_steps, image);
    for (const QString& warning : std::as_const(processed.warnings))
        m_report.warnings.append({path, warning});
    if (!processed.ok()) {
        notSaved(path, processed.error, false);
        ++m_currentImage;
        return {};
    }

    // (d, names) and (f): the serial counters advance in collection order
    const QString extension = formatExtension(*image.format);
    QString name;
    for (const auto& step : processed.nameSteps)
        name = function_fileName(*step, sourceName, label, extension, m_serialNumber);
    if (name.isEmpty())
        name = defaultOutputName(sourceName, extension);
    name = safeFileName(name);

    // (g) the target folder, and a name in it reserved for this output alone
    QString folder;
    QString error;
    if (m_isPreview || (ftp.connected && ftp.dontSaveImages))
        folder = temporaryItemsFolder(&error);
    else if (m_saveToSource)
        folder = QFileInfo(path).absolutePath();
    else
        folder = m_destinationFolder;
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

    // (e), (h), (i): export, then the chosen profile
    const WrittenImage written = writeImage(image, processed, target, m_profiles);
    if (!written.ok) {
        notSaved(path, written.error);
        ++m_currentImage;
        return {};
    }
    if (!written.warning.isEmpty())
        m_report.warnings.append({path, written.warning});
    m_report.written.append(target);

    // (i) upload, then the custom icon of a target that is still there
    if (ftp.connection)
        uploadTarget(ftp, path, target, name);
    else if (ftp.wanted)
        m_report.uploadsFailed.append(
            {path, QStringLiteral("%1: not uploaded, this program has no FTP client")
                       .arg(QDir::toNativeSeparators(target))});
    if (!m_isPreview && QFileInfo::exists(target)) {
        QImage icon = processed.picture;
        if (!putCustomIcon(target, icon, &error))
            m_report.warnings.append({path, error});
    }

    // (j)
    processed.picture = QImage();
    ++m_currentImage;
    return target;
}

batchTread::ImageFtp batchTread::ftpSetUp(int label)
{
    ImageFtp result;
    std::shared_ptr<settings::FTPSetting> step;
    for (const auto& item : m_steps->setting) {
        if (item->type == settings::kFTPKind && item->getLabel() == label) {
            step = std::dynamic_pointer_cast<settings::FTPSetting>(item);
            if (step)
                break;
        }
    }
    if (!step)
        return result;
    result.dontSaveImages = step->dontSaveImages;
    result.wanted = true;

    bool found = false;
    for (const auto& connection : m_ftpConnection) {
        if (connection->label != label)
            continue;
        found = true;
        result.connection = connection.get();
        if (connection->isConnected()) {
            result.connected = true;
        } else {
            QString error;
            result.connected = connection->logIn(*step, &error) && connection->isConnected();
            if (!result.connected)
                m_report.loginsFailed.append({step->server, error});
        }
    }
    if (found || !m_connector)
        return result;

    std::unique_ptr<FtpConnection> connection = m_connector->createConnection(&m_stopRequested);
    if (!connection)
        return result;
    connection->label = label;
    if (m_listener)
        m_listener->Connecting(step->server);
    QString error;
    result.connected = connection->logIn(*step, &error) && connection->isConnected();
    if (!result.connected)
        m_report.loginsFailed.append({step->server, error});
    result.connection = connection.get();
    m_ftpConnection.push_back(std::move(connection));
    return result;
}

void batchTread::uploadTarget(const ImageFtp& ftp, const QString& source, const QString& target,
                              const QString& name)
{
    if (!ftp.connected) {
        m_report.uploadsFailed.append(
            {source, QStringLiteral("%1: not uploaded, the FTP login failed")
                         .arg(QDir::toNativeSeparators(target))});
        return;
    }
    QString error;
    if (ftp.connection->uploadFile(target, &error)) {
        m_report.uploaded.append(target);
        if (ftp.dontSaveImages)
            QFile::remove(target);
        return;
    }
    m_report.uploadsFailed.append({source, error});
    if (!ftp.dontSaveImages)
        return;
    // The only copy would go with the temporary folder: move it where a kept output goes.
    const QString folder = m_saveToSource ? QFileInfo(source).absolutePath() : m_destinationFolder;
    const NameReservation kept = reserveNewFile(QDir(folder).filePath(name));
    if (kept.ok && std::rename(QFile::encodeName(target).constData(),
                               QFile::encodeName(kept.path).constData()) == 0) {
        m_report.written.replace(m_report.written.size() - 1, kept.path);
        return;
    }
    if (kept.ok)
        QFile::remove(kept.path);
    m_report.warnings.append(
        {source, QStringLiteral("%1: the output stays only in the temporary folder")
                     .arg(QDir::toNativeSeparators(target))});
}

} // namespace quillon::engine
