// The batch side of the FTP upload: one connection per label for the whole run, the retries of
// a failed login, the upload after the export, and keeping every output the server did not
// confirm.

#include "engine/steps/ftpupload.h"

#include "ftp/ftpshell.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

namespace quillon::engine {

Q_LOGGING_CATEGORY(lcFtpUpload, "quillon.engine")

namespace {

// How many numbered names ("a 1.jpg", "a 2.jpg", ...) are tried when an output is kept in a
// folder that already holds its name.
constexpr int kMaxKeepNames = 10000;

int unsignedPort(int port)
{
    // A settings file keeps the port as a signed 16-bit Short; 40000 comes back as -25536.
    return port < 0 ? port + 65536 : port;
}

// Moves file into folder under its own name, or the first free "base n.ext"; never replaces a
// file. Empty with a reason in error when it cannot.
QString moveToFreeName(const QString& file, const QString& folder, QString* error)
{
    const QString name = QFileInfo(file).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0;
    const QString base = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QDir dir(folder);
    for (int n = 0; n <= kMaxKeepNames; ++n) {
        const QString candidate =
            dir.filePath(n == 0 ? name : QStringLiteral("%1 %2%3").arg(base).arg(n).arg(extension));
        const QFileInfo info(candidate);
        if (info.exists() || info.isSymLink())
            continue;
        QFile source(file);
        if (source.rename(candidate))
            return candidate;
        if (QFileInfo::exists(candidate))
            continue; // taken meanwhile by another program
        *error = QStringLiteral("could not move it into %1: %2").arg(folder, source.errorString());
        return {};
    }
    *error = QStringLiteral("no free name for it in %1").arg(folder);
    return {};
}

} // namespace

bool connectToFTP(ftp::FTPshell& connection, const settings::FTPSetting& step)
{
    connection.setLabel(step.getLabel());
    connection.setPort(unsignedPort(step.port));
    connection.setCurrentPath(step.path);
    const bool ok = connection.sConnect(step.server, step.user, step.password);
    return ok && connection.isConnected();
}

QString FtpFailure::message() const
{
    QString reason = this->reason.trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    if (kind == Kind::Login) {
        const QString who = user.isEmpty() ? QString() : QStringLiteral(" as %1").arg(user);
        return QStringLiteral("Could not log in to %1%2 for %3: %4.")
            .arg(server, who, file, reason);
    }
    QString text = QStringLiteral("Could not upload %1 to %2: %3.").arg(file, server, reason);
    if (keptFile.isEmpty())
        return text;
    if (keptFile == file)
        return text + QStringLiteral(" The file was kept.");
    return text + QStringLiteral(" It was kept as %1.").arg(keptFile);
}

FtpUpload::FtpUpload() = default;

FtpUpload::~FtpUpload() = default; // a connection still open ends its client

void FtpUpload::setStopFlag(const std::atomic_bool* flag)
{
    m_stopFlag = flag;
    for (const auto& connection : m_connections)
        connection->setStopFlag(flag);
}

void FtpUpload::setSilenceLimit(std::chrono::milliseconds limit)
{
    m_silenceLimit = limit;
    for (const auto& connection : m_connections)
        connection->setSilenceLimit(limit);
}

FtpUpload::ConnectionInfo* FtpUpload::infoFor(const ftp::FTPshell* connection)
{
    for (size_t i = 0; i < m_connections.size(); ++i) {
        if (m_connections[i].get() == connection)
            return &m_info[m_infoIndex[i]];
    }
    return nullptr;
}

void FtpUpload::record(FtpFailure failure, const QString& password)
{
    // The session never puts the password into its messages; a server's reply is not ours to
    // trust, so the password is taken out of whatever came back all the same.
    if (!password.isEmpty()) {
        for (QString* text :
             {&failure.reason, &failure.file, &failure.keptFile, &failure.server, &failure.user})
            text->replace(password, QStringLiteral("***"));
    }
    qCInfo(lcFtpUpload).noquote() << failure.message();
    m_failures.push_back(failure);
    if (m_events.failed)
        m_events.failed(m_failures.back());
}

std::shared_ptr<const settings::FTPSetting> ftpStepOf(const std::vector<settings::SettingPtr>& steps,
                                                      int label)
{
    for (const settings::SettingPtr& item : steps) {
        auto step = std::dynamic_pointer_cast<const settings::FTPSetting>(item);
        if (step && step->getLabel() == label)
            return step;
    }
    return {};
}

FtpImage FtpUpload::setUp(const std::vector<settings::SettingPtr>& steps, int imageLabel,
                          const QString& image)
{
    FtpImage result;
    result.step = ftpStepOf(steps, imageLabel);
    if (!result.step)
        return result;
    const settings::FTPSetting& step = *result.step;

    QString failure;
    bool found = false;
    for (const auto& connection : m_connections) {
        if (connection->label() != imageLabel)
            continue;
        found = true;
        result.connection = connection.get();
        if (connection->isConnected()) {
            result.connected = true;
            continue;
        }
        ConnectionInfo* info = infoFor(connection.get());
        ++info->attempts;
        result.connected = connectToFTP(*connection, step);
        if (result.connected)
            ++info->logins;
        else
            failure = connection->lastError();
    }

    if (!found) {
        auto connection = std::make_unique<ftp::FTPshell>();
        connection->setStopFlag(m_stopFlag);
        if (m_silenceLimit.count() > 0)
            connection->setSilenceLimit(m_silenceLimit);
        if (m_events.connecting)
            m_events.connecting(step.server);
        ConnectionInfo info;
        info.label = step.getLabel();
        info.server = step.server;
        info.user = step.user;
        info.attempts = 1;
        result.connected = connectToFTP(*connection, step);
        if (result.connected)
            info.logins = 1;
        else
            failure = connection->lastError();
        result.connection = connection.get();
        m_connections.push_back(std::move(connection));
        m_infoIndex.push_back(m_info.size());
        m_info.push_back(info);
    }

    result.noLocalCopy = step.dontSaveImages;
    if (!result.connected) {
        FtpFailure f;
        f.kind = FtpFailure::Kind::Login;
        f.server = step.server;
        f.user = step.user;
        f.file = image;
        f.reason = failure.isEmpty() ? QStringLiteral("the login was not accepted") : failure;
        record(f, step.password);
    }
    return result;
}

FtpUploadResult FtpUpload::upload(FtpImage& image, const QString& target, const QString& keepFolder)
{
    FtpUploadResult result;
    result.file = target;
    if (!image.step || !image.connection || !image.connected)
        return result;
    ftp::FTPshell& connection = *image.connection;
    const settings::FTPSetting& step = *image.step;

    if (connection.sUploadFile(target)) {
        result.status = FtpUploadResult::Status::Uploaded;
        ++m_uploadCount;
        if (ConnectionInfo* info = infoFor(&connection))
            ++info->uploads;
        if (m_events.uploaded)
            m_events.uploaded(step.server, target, QFileInfo(target).fileName());
        if (image.noLocalCopy) {
            if (QFile::remove(target))
                result.file.clear();
            else
                qCWarning(lcFtpUpload) << "could not delete the uploaded" << target;
        }
        return result;
    }

    // Not confirmed: the output must not be lost. One written into the temporary-items folder
    // goes to where it would have gone without the FTP step.
    result.status = FtpUploadResult::Status::Failed;
    FtpFailure f;
    f.kind = FtpFailure::Kind::Upload;
    f.server = step.server;
    f.user = step.user;
    f.file = target;
    f.reason = connection.lastError();
    if (f.reason.isEmpty())
        f.reason = QStringLiteral("the transfer was not confirmed");
    if (QFileInfo::exists(target))
        f.keptFile = target;
    else
        result.file.clear();
    const QString targetFolder = QFileInfo(target).absolutePath();
    if (!f.keptFile.isEmpty() && image.useTemporaryTarget() && !keepFolder.isEmpty() &&
        QDir::cleanPath(targetFolder) != QDir::cleanPath(QDir(keepFolder).absolutePath())) {
        QString error;
        const QString kept = moveToFreeName(target, keepFolder, &error);
        if (!kept.isEmpty()) {
            f.keptFile = kept;
            result.file = kept;
        } else {
            f.reason += QStringLiteral("; ") + error +
                        QStringLiteral(", so it is only in the "
                                       "temporary folder");
        }
    }
    record(f, step.password);
    return result;
}

void FtpUpload::disconnectAll()
{
    const auto anyRunning = [this] {
        for (const auto& connection : m_connections) {
            if (connection->clientRunning())
                return true;
        }
        return false;
    };
    QEventLoop loop;
    for (const auto& connection : m_connections) {
        QObject::connect(connection.get(), &ftp::FTPshell::clientFinished, &loop, [&] {
            if (!anyRunning())
                loop.quit();
        });
    }
    for (const auto& connection : m_connections)
        connection->disconnect();
    if (anyRunning()) {
        QTimer::singleShot(kFtpDisconnectWait, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Whatever has not ended by now is ended with its session.
    m_connections.clear();
    m_infoIndex.clear();
}

} // namespace quillon::engine
