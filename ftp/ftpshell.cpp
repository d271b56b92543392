#include "ftp/ftpshell.h"

#include "ftp/ptyprocess_p.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcFtp, "quillon.ftp")

namespace quillon::ftp {

namespace {

// Escapes what the client's command parser treats specially outside quotes.
QString escapeForClient(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('"') ||
            c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

bool hasControlCharacters(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

FTPshell::FTPshell(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<quillon::ftp::fileItem>();
    qRegisterMetaType<QList<quillon::ftp::fileItem>>();
    m_clock.start();
}

FTPshell::~FTPshell()
{
    delete m_process; // ends and reaps the client
    m_process = nullptr;
}

void FTPshell::setStopFlag(const std::atomic_bool* flag)
{
    if (flag)
        m_stopCheck = [flag] { return flag->load(); };
    else
        m_stopCheck = nullptr;
}

QString FTPshell::loginUrl(const QString& server, const QString& user, int port,
                           const QString& path)
{
    QString url = QStringLiteral("ftp://");
    if (!user.isEmpty())
        url += QString::fromLatin1(QUrl::toPercentEncoding(user)) + QLatin1Char('@');
    if (server.contains(QLatin1Char(':')) && !server.startsWith(QLatin1Char('[')))
        url += QLatin1Char('[') + server + QLatin1Char(']');
    else
        url += server;
    if (port != 0)
        url += QLatin1Char(':') + QString::number(port);
    // Without the final "/" the client takes the path for a file to download and exits.
    QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString encoded = QStringLiteral("/");
    for (const QString& segment : segments)
        encoded += QString::fromLatin1(QUrl::toPercentEncoding(segment)) + QLatin1Char('/');
    return url + encoded;
}

QString FTPshell::convertToShellPath(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("/");
    return escapeForClient(path);
}

QString FTPshell::serverName() const
{
    return m_port != 0 ? m_currentServer + QLatin1Char(':') + QString::number(m_port)
                       : m_currentServer;
}

QList<int> FTPshell::task() const
{
    QList<int> codes;
    for (const Task& t : m_tasks)
        codes << t.code;
    return codes;
}

qint64 FTPshell::clientPid() const
{
    return m_process && m_process->isRunning() ? qint64(m_process->pid()) : -1;
}

bool FTPshell::clientRunning() const
{
    return isClientRunning();
}

bool FTPshell::startClient(const QStringList& arguments, QString* error)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ftp"));
    if (program.isEmpty()) {
        *error = QStringLiteral("the ftp program is not installed");
        return false;
    }
    if (!m_process) {
        m_process = new PtyProcess(this);
        QObject::connect(m_process, &PtyProcess::output, this, &FTPshell::handleOutput);
        QObject::connect(m_process, &PtyProcess::finished, this, &FTPshell::clientEnded);
    }
    return m_process->start(program, arguments, error);
}

bool FTPshell::writeToClient(const QByteArray& line)
{
    return m_process && m_process->write(line);
}

bool FTPshell::isClientRunning() const
{
    return m_process && m_process->isRunning();
}

void FTPshell::stopClient()
{
    if (!m_process || !m_process->isRunning())
        return;
    m_process->kill();
    clientEnded(-1);
}

bool FTPshell::writeLine(const QString& text)
{
    return writeToClient(text.toUtf8() + '\n');
}

void FTPshell::cleanUp()
{
    m_currentName.clear();
    m_currentPassword.clear();
    m_currentPath.clear();
    m_currentServer.clear();
    m_serverInfo.clear();
    m_delFileName.clear();
    m_port = 0;
    resetConnectionState();
}

void FTPshell::resetConnectionState()
{
    m_isConnected = false;
    m_downloading = false;
    m_finishedDownload = false;
    m_finishedUpload = false;
    m_gettingFileList = false;
    m_sendPassword = false;
    m_uploading = false;
    m_currentFiles.clear();
    m_downloadQueue.clear();
    m_uploadQueue.clear();
}

void FTPshell::resolve(Task& task, bool ok, const QString& reason)
{
    if (!task.outcome || task.outcome->resolved)
        return;
    task.outcome->resolved = true;
    task.outcome->ok = ok;
    task.outcome->reason = reason;
    if (!ok) {
        m_lastError = serverName().isEmpty() ? reason : serverName() + QStringLiteral(": ") + reason;
        qCDebug(lcFtp).noquote() << "task" << task.code << "failed:" << m_lastError;
    }
    if (task.outcome == m_waitOutcome) {
        m_taskDone = true;
        if (m_waitLoop)
            m_waitLoop->quit();
    }
}

void FTPshell::failTask(Task& task, const QString& reason)
{
    const bool wasResolved = task.outcome && task.outcome->resolved;
    resolve(task, false, reason);
    if (task.code == Upload && !task.done && !m_uploadQueue.isEmpty()) {
        m_uploadQueue.removeFirst();
        m_uploading = !m_uploadQueue.isEmpty();
        m_finishedUpload = false;
    } else if (task.code == Download && !task.done && !m_downloadQueue.isEmpty()) {
        m_downloadQueue.removeFirst();
        m_downloading = !m_downloadQueue.isEmpty();
        m_finishedDownload = false;
    } else if (task.code == List) {
        m_gettingFileList = false;
    }
    task.done = true;
    if (!wasResolved)
        emit commandFailed(task.code, task.name, reason);
}

void FTPshell::failAll(const QString& reason)
{
    QList<Task> tasks;
    tasks.swap(m_tasks);
    for (Task& t : tasks) {
        if (!t.outcome->resolved)
            failTask(t, t.lastReply.isEmpty() ? reason : t.lastReply);
    }
}

void FTPshell::clientEnded(int exitStatus)
{
    if (!m_pending.isEmpty()) // a last line without line end
        handleOutput(QByteArrayLiteral("\n"));
    QString reason = m_clientMessage;
    if (reason.isEmpty())
        reason = QStringLiteral("the ftp client ended");
    failAll(reason);
    resetConnectionState();
    emit clientFinished(exitStatus);
}

void FTPshell::startLogin(const QString& server, const QString& user, const QString& password,
                          bool synchronous)
{
    failAll(QStringLiteral("a new login began"));
    if (isClientRunning())
        stopClient();
    m_synchronous = synchronous;
    m_currentServer = server;
    m_currentName = user;
    m_currentPassword = password;
    m_lastError.clear();
    m_clientMessage.clear();
    m_pending.clear();
    m_serverInfo.clear();
    resetConnectionState();

    Task login;
    login.code = Login;
    login.name = server;
    login.written = true;
    login.outcome = std::make_shared<Outcome>();
    m_taskDone = false;
    m_waitOutcome = synchronous ? login.outcome : nullptr;

    QString problem;
    static const QString hostForbidden = QStringLiteral("/@?#\\ ");
    if (server.isEmpty())
        problem = QStringLiteral("no server given");
    for (const QChar c : hostForbidden) {
        if (server.contains(c))
            problem = QStringLiteral("\"%1\" is no server name").arg(server);
    }
    if (hasControlCharacters(server) || hasControlCharacters(user))
        problem = QStringLiteral("the server or user name holds control characters");
    if (hasControlCharacters(password))
        problem = QStringLiteral("the password holds control characters");
    if (m_port < 0 || m_port > 65535)
        problem = QStringLiteral("%1 is no port").arg(m_port);

    const QStringList arguments{QStringLiteral("-e"), QStringLiteral("-g"), QStringLiteral("-v"),
                                loginUrl(server, user, m_port, m_currentPath)};
    if (problem.isEmpty() && !startClient(arguments, &problem) && problem.isEmpty())
        problem = QStringLiteral("cannot start the ftp client");
    noteActivity();
    m_tasks << login;
    if (!problem.isEmpty())
        failAll(problem);
}

void FTPshell::connect(const QString& server, const QString& user, const QString& password)
{
    startLogin(server, user, password, false);
}

bool FTPshell::sConnect(const QString& server, const QString& user, const QString& password)
{
    if (m_waiting) {
        m_lastError = QStringLiteral("%1: another wait is in progress").arg(server);
        return false;
    }
    startLogin(server, user, password, true);
    const std::shared_ptr<Outcome> outcome = m_waitOutcome;
    return waitFor(outcome) && m_isConnected;
}

bool FTPshell::queueCommand(int code, const QString& command, const QString& name,
                            qint64 expectedBytes)
{
    Task t;
    t.code = code;
    t.name = name;
    t.expectedBytes = expectedBytes;
    t.command = command;
    t.outcome = std::make_shared<Outcome>();
    QString problem;
    if (!isClientRunning())
        problem = QStringLiteral("not connected");
    else if (hasControlCharacters(command))
        problem = QStringLiteral("\"%1\" holds control characters").arg(name);
    bool loginPending = false;
    for (const Task& other : m_tasks)
        loginPending = loginPending || (other.code == Login && !other.outcome->resolved);
    if (problem.isEmpty() && !loginPending) {
        if (writeLine(command))
            t.written = true;
        else
            problem = QStringLiteral("the ftp client does not take commands");
    }
    if (!problem.isEmpty()) {
        resolve(t, false, problem);
        emit commandFailed(code, name, problem);
        return false;
    }
    m_tasks << t;
    return true;
}

bool FTPshell::waitFor(std::shared_ptr<Outcome> outcome)
{
    if (!outcome)
        return false;
    m_waitOutcome = outcome;
    if (!outcome->resolved) {
        m_waiting = true;
        QEventLoop loop;
        QTimer poll;
        m_waitLoop = &loop;
        QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop, outcome] {
            if (outcome->resolved) {
                loop.quit();
            } else if (m_stopCheck && m_stopCheck()) {
                for (Task& t : m_tasks) {
                    if (t.outcome == outcome)
                        resolve(t, false, QStringLiteral("stopped"));
                }
                outcome->resolved = true;
                loop.quit();
            } else if (m_clock.elapsed() - m_lastActivityMs > m_silenceLimit.count()) {
                const QString reason = QStringLiteral("no answer for %1 s")
                                           .arg(double(m_silenceLimit.count()) / 1000.0);
                for (Task& t : m_tasks)
                    t.lastReply = reason;
                if (isClientRunning())
                    stopClient(); // fails every pending task with the reason
                else
                    failAll(reason);
                outcome->resolved = true;
                loop.quit();
            }
        });
        poll.start(kStopPollInterval);
        loop.exec();
        m_waitLoop = nullptr;
        m_waiting = false;
    }
    m_waitOutcome.reset();
    m_taskDone = false;
    if (!outcome->ok && m_lastError.isEmpty())
        m_lastError = outcome->reason;
    return outcome->ok;
}

void FTPshell::getFileList()
{
    queueCommand(List, QStringLiteral("ls"));
}

void FTPshell::disconnect()
{
    if (!isClientRunning())
        return;
    // Before the client's first prompt (still logging in, or refused) a command would be taken
    // for a password or lost: end the client instead.
    bool loggingIn = !m_isConnected;
    for (const Task& t : m_tasks)
        loggingIn = loggingIn || t.code == Login;
    if (loggingIn) {
        stopClient();
        return;
    }
    queueCommand(Close, QStringLiteral("close"));
}

void FTPshell::setDirectory(const QString& path)
{
    queueCommand(ChangeDir, QStringLiteral("cd ") + convertToShellPath(path), path);
}

void FTPshell::goBack(int levels)
{
    const QStringList fields = m_currentPath.split(QLatin1Char('/'));
    const qsizetype keep = fields.size() - qMax(levels, 0);
    QString path = keep > 0 ? fields.mid(0, keep).join(QLatin1Char('/')) : QString();
    if (path.isEmpty())
        path = QStringLiteral("/");
    setDirectory(path);
}

void FTPshell::getCurrentPath()
{
    queueCommand(PrintDir, QStringLiteral("pwd"));
}

void FTPshell::downloadFile(const QString& remoteName, const QString& localFile)
{
    const QString local = QFileInfo(localFile).absoluteFilePath();
    const bool wasDownloading = m_downloading;
    m_downloading = true;
    m_downloadQueue << remoteName;
    if (!queueCommand(Download,
                      QStringLiteral("get ") + escapeForClient(remoteName) + QLatin1Char(' ') +
                          escapeForClient(local),
                      remoteName)) {
        m_downloadQueue.removeLast();
        m_downloading = wasDownloading && !m_downloadQueue.isEmpty();
    }
}

void FTPshell::uploadFile(const QString& localFile)
{
    const QFileInfo info(localFile);
    const QString name = info.fileName();
    if (!info.isFile() || !info.isReadable()) {
        m_lastError = QStringLiteral("cannot read %1").arg(localFile);
        emit commandFailed(Upload, name, m_lastError);
        return;
    }
    const bool wasUploading = m_uploading;
    m_uploading = true;
    m_uploadQueue << name;
    if (!queueCommand(Upload,
                      QStringLiteral("put ") + escapeForClient(info.absoluteFilePath()) +
                          QLatin1Char(' ') + escapeForClient(name),
                      name, info.size())) {
        m_uploadQueue.removeLast();
        m_uploading = wasUploading && !m_uploadQueue.isEmpty();
    }
}

bool FTPshell::sUploadFile(const QString& localFile)
{
    if (m_waiting) {
        m_lastError = QStringLiteral("%1: another wait is in progress").arg(serverName());
        return false;
    }
    m_taskDone = false;
    m_lastError.clear();
    const qsizetype before = m_tasks.size();
    uploadFile(localFile);
    if (m_tasks.size() == before || m_tasks.last().code != Upload) {
        if (m_lastError.isEmpty())
            m_lastError = serverName() + QStringLiteral(": not connected");
        return false;
    }
    noteActivity();
    return waitFor(m_tasks.last().outcome);
}

void FTPshell::deleteFile(const QString& remoteName)
{
    m_delFileName = remoteName;
    queueCommand(Delete, QStringLiteral("delete ") + escapeForClient(remoteName), remoteName);
}

} // namespace quillon::ftp
