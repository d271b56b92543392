// The interpretation of what the client prints: line intake, dispatch to the pending tasks,
// and the meaning of each reply for each task. Replies are recognised by their codes, since
// the words after them differ between servers.

#include "ftp/ftpshell.h"

#include <QDir>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcFtp)

namespace quillon::ftp {

namespace {

const QString kPrompt = QStringLiteral("ftp> ");
const QByteArray kPromptBytes = QByteArrayLiteral("ftp> ");
const QByteArray kPasswordPrompt = QByteArrayLiteral("password:");

// "NNN text" (a final reply line) or "NNN-text" (a continuation line of a multi-line reply).
int replyCode(const QString& line, bool* final)
{
    if (line.size() < 3 || !line[0].isDigit() || !line[1].isDigit() || !line[2].isDigit())
        return 0;
    if (line.size() > 3 && line[3] != QLatin1Char(' ') && line[3] != QLatin1Char('-'))
        return 0;
    *final = line.size() == 3 || line[3] == QLatin1Char(' ');
    return line.left(3).toInt();
}

bool startsWithNoCase(const QByteArray& data, const QByteArray& prefix)
{
    return data.size() >= prefix.size() &&
           qstrnicmp(data.constData(), prefix.constData(), prefix.size()) == 0;
}

const QRegularExpression& progressPattern()
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,3})%\s+\|)"));
    return re;
}

const QRegularExpression& summaryPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"(^(\d+) bytes (sent|received) in )"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The directory named by a 257 reply: between the first double quote and the next lone one,
// "" standing for one double quote.
QString quotedPath(const QString& line)
{
    const qsizetype start = line.indexOf(QLatin1Char('"'));
    if (start < 0)
        return line.mid(4).trimmed();
    QString path;
    for (qsizetype i = start + 1; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('"')) {
            if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                path += QLatin1Char('"');
                ++i;
                continue;
            }
            break;
        }
        path += line[i];
    }
    return path;
}

} // namespace

bool fileItem::fromListingLine(const QString& line, fileItem* item)
{
    // permissions links owner group size month day time-or-year name
    static const QRegularExpression re(QStringLiteral(
        R"(^([-dlbcps][-rwxsStTlL@+.]{9}\S*)\s+\d+\s+\S+(?:\s+\S+)?\s+(\d+)\s+(\S+\s+\d{1,2}\s+[\d:]+)\s(.+)$)"));
    const auto m = re.match(line);
    if (!m.hasMatch())
        return false;
    fileItem entry;
    entry.permission = m.captured(1).left(10);
    entry.folder = entry.permission.startsWith(QLatin1Char('d'));
    entry.size = m.captured(2).toLongLong();
    entry.date = m.captured(3);
    QString name = m.captured(4); // after exactly one blank: a name may begin with blanks
    if (entry.permission.startsWith(QLatin1Char('l'))) {
        const qsizetype arrow = name.indexOf(QStringLiteral(" -> "));
        if (arrow > 0)
            name.truncate(arrow);
    }
    entry.filename = name;
    if (entry.filename.isEmpty())
        return false;
    *item = entry;
    return true;
}

void FTPshell::handleOutput(const QByteArray& chunk)
{
    QStringList lines;
    m_pending += chunk;
    // Only the new bytes can hold a line end (the bytes kept before held none, but for a last
    // "\r" waiting for its "\n"), so a long line arriving in small pieces is not rescanned.
    qsizetype scanFrom = std::max<qsizetype>(0, m_pending.size() - chunk.size() - 1);
    for (;;) {
        // A prompt stands at the start of a line and is never ended by a line end: handle it
        // at once, the client waits for us. Inside a line being skipped there is no line start.
        while (!m_skippingLongLine && startsWithNoCase(m_pending, kPromptBytes)) {
            lines << kPrompt;
            m_pending.remove(0, kPromptBytes.size());
            scanFrom = 0;
        }
        if (!m_skippingLongLine && startsWithNoCase(m_pending, kPasswordPrompt)) {
            qsizetype end = kPasswordPrompt.size();
            while (end < m_pending.size() && m_pending[end] == ' ')
                ++end;
            lines << QStringLiteral("Password:");
            m_pending.remove(0, end);
            scanFrom = 0;
            continue;
        }
        qsizetype i = scanFrom;
        while (i < m_pending.size() && m_pending[i] != '\r' && m_pending[i] != '\n')
            ++i;
        if (i == m_pending.size()) {
            // An unfinished line is kept until its end arrives, up to the longest line any
            // reply or listing entry makes; a longer one is skipped to its end.
            if (m_pending.size() > kMaxOutputLineBytes) {
                if (!m_skippingLongLine)
                    qCWarning(lcFtp) << "skipped a line of the ftp client's output longer than"
                                     << kMaxOutputLineBytes << "bytes";
                m_skippingLongLine = true;
                m_pending.clear();
            }
            break;
        }
        qsizetype next = i + 1;
        if (m_pending[i] == '\r') {
            if (next == m_pending.size())
                break; // "\r" may be the first half of "\r\n"
            if (m_pending[next] == '\n')
                ++next;
            // else: a progress frame, ended by the "\r" that starts the next one
        }
        const bool tooLong = m_skippingLongLine || i > kMaxOutputLineBytes;
        if (tooLong && !m_skippingLongLine)
            qCWarning(lcFtp) << "skipped a line of the ftp client's output longer than"
                             << kMaxOutputLineBytes << "bytes";
        m_skippingLongLine = false;
        const QString line = tooLong ? QString() : QString::fromUtf8(m_pending.constData(), i);
        m_pending.remove(0, next);
        scanFrom = 0;
        if (!line.isEmpty())
            lines << line;
    }
    emit debug(QString::fromUtf8(chunk));
    handleTasks(lines);
}

void FTPshell::handleTasks(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (line == kPrompt)
            handlePrompt();
        else
            handleLine(line);
    }
}

void FTPshell::handlePrompt()
{
    noteActivity();
    // The client has finished the oldest command it was given (or the login) and waits.
    for (qsizetype i = 0; i < m_tasks.size(); ++i) {
        if (!m_tasks[i].written)
            continue;
        Task t = m_tasks.takeAt(i);
        if (t.code == Login) {
            if (t.done) {
                resolve(t, true, QString());
                if (!m_synchronous)
                    emit connected(m_serverInfo);
                // Commands given while the login was under way go now.
                for (Task& held : m_tasks) {
                    if (!held.written) {
                        if (writeLine(held.command))
                            held.written = true;
                        else
                            failTask(held, QStringLiteral("the ftp client does not take commands"));
                    }
                }
            } else {
                failTask(t, t.lastReply.isEmpty() ? QStringLiteral("login not accepted")
                                                  : t.lastReply);
            }
        } else if (t.done) {
            resolve(t, true, QString());
        } else {
            QString reason = t.lastReply;
            if (reason.isEmpty())
                reason = t.code == Upload ? QStringLiteral("the server did not confirm the upload of %1").arg(t.name)
                                          : QStringLiteral("no confirmation from the server");
            failTask(t, reason);
        }
        return;
    }
}

void FTPshell::handleLine(const QString& line)
{
    const auto progress = progressPattern().match(line);
    if (!progress.hasMatch())
        noteActivity();
    const bool clientMessage = line.startsWith(QStringLiteral("ftp: "));
    if (clientMessage && m_clientMessage.isEmpty())
        m_clientMessage = line.mid(5).trimmed();
    // With nothing pending the line is of no interest (greeting leftovers, a refused login's
    // closing words).
    if (m_tasks.isEmpty())
        return;
    bool final = false;
    const int code = replyCode(line, &final);
    if (code != 0 && !final)
        return; // continuation of a multi-line reply: only its last line counts
    if ((code == 221 || code == 421) && final) {
        handleResult(line, m_tasks.first().code); // the end of the session, for every task
        return;
    }
    if (line == QLatin1String("Not connected."))
        m_isConnected = false; // the client lost the server earlier; the task fails at the prompt
    if (code >= 400 || clientMessage) {
        // The reason a pending command will fail with, should the client prompt again before
        // confirming it; the client's own complaints ("ftp: ...") only when the server gave none.
        for (Task& t : m_tasks) {
            if (t.written && !t.outcome->resolved) {
                if (code >= 400 || t.lastReply.isEmpty())
                    t.lastReply = clientMessage ? line.mid(5).trimmed() : line;
                break;
            }
        }
        if (code == 550 && !m_synchronous)
            emit Error(line);
    }
    for (qsizetype i = 0; i < m_tasks.size(); ++i) {
        if (m_tasks[i].done || !m_tasks[i].written)
            continue;
        if (handleResult(line, m_tasks[i].code))
            return;
    }
}

bool FTPshell::handleResult(const QString& line, int taskCode)
{
    bool final = false;
    const int code = replyCode(line, &final);
    if ((code == 221 || code == 421) && final) {
        // The server ends the session (221 whatever its words, 421 when it goes away): every
        // pending task is over.
        const QString reason = line;
        for (Task& t : m_tasks) {
            if (code == 221 && t.code == Close && !t.done) {
                t.done = true;
                resolve(t, true, QString());
            }
        }
        failAll(reason);
        cleanUp();
        writeLine(QStringLiteral("exit"));
        emit disconnected();
        return true;
    }
    Task* task = nullptr;
    for (Task& t : m_tasks) {
        if (t.code == taskCode && !t.done && t.written) {
            task = &t;
            break;
        }
    }
    if (!task)
        return false;

    switch (taskCode) {
    case Login:
        if (code == 220) {
            m_serverInfo = line.mid(4);
            return false;
        }
        if (code == 331) {
            m_sendPassword = true;
            return false;
        }
        if (code == 230) {
            m_isConnected = true;
            task->done = true; // complete once the client prompts for its first command
            return true;
        }
        if (code == 530) {
            Task t = *task;
            m_tasks.removeAt(task - m_tasks.data());
            failTask(t, line);
            if (!m_synchronous)
                emit incorrectLogin();
            return true;
        }
        if (m_sendPassword && line.startsWith(QStringLiteral("Password:"), Qt::CaseInsensitive)) {
            m_sendPassword = false;
            writeLine(m_currentPassword);
            return true;
        }
        return false;
    case List:
        if (!m_gettingFileList) {
            if (code == 125 || code == 150) {
                m_currentFiles.clear();
                m_gettingFileList = true;
                task->started = true;
                return true;
            }
            return false;
        }
        if (code == 226) {
            m_gettingFileList = false;
            task->done = true;
            emit receivedFileList(m_currentFiles);
            return true;
        }
        if (code == 0) {
            fileItem item;
            if (m_currentFiles.size() < kMaxListingEntries && fileItem::fromListingLine(line, &item))
                m_currentFiles << item;
            return true;
        }
        return false;
    case Close:
        return false;
    case ChangeDir:
        if (code == 250) {
            task->done = true;
            const QString target = task->name.isEmpty() ? QStringLiteral("/") : task->name;
            m_currentPath = target.startsWith(QLatin1Char('/'))
                                ? QDir::cleanPath(target)
                                : QDir::cleanPath(m_currentPath + QLatin1Char('/') + target);
            emit changedDir();
            return true;
        }
        return false;
    case PrintDir:
        if (code == 257 || line.startsWith(QStringLiteral("Remote directory: "), Qt::CaseInsensitive)) {
            m_currentPath = code == 257 ? quotedPath(line) : line.mid(18);
            task->done = true;
            emit gotCurrentPath(m_currentPath);
            return true;
        }
        return false;
    case Download:
    case Upload: {
        const bool upload = taskCode == Upload;
        bool& finished = upload ? m_finishedUpload : m_finishedDownload;
        if (code == 125 || code == 150) {
            task->started = true;
            if (upload)
                emit uploadStarted(task->name);
            else
                emit downloadStarted(task->name);
            return true;
        }
        if (progressPattern().match(line).hasMatch()) {
            handleTransferInfo(line, upload);
            return true;
        }
        if (code == 226) {
            finished = true;
            return true;
        }
        const auto summary = summaryPattern().match(line);
        if (!summary.hasMatch())
            return false;
        const qint64 bytes = summary.captured(1).toLongLong();
        QStringList& queue = upload ? m_uploadQueue : m_downloadQueue;
        const QString name = queue.isEmpty() ? task->name : queue.takeFirst();
        (upload ? m_uploading : m_downloading) = !queue.isEmpty();
        const bool confirmed = finished;
        finished = false;
        task->done = true;
        if (!confirmed || (upload && bytes != task->expectedBytes)) {
            QString reason = task->lastReply;
            if (reason.isEmpty())
                reason = upload ? QStringLiteral("%1: %2 of %3 bytes confirmed")
                                      .arg(name).arg(confirmed ? bytes : 0).arg(task->expectedBytes)
                                : QStringLiteral("%1: transfer not confirmed").arg(name);
            resolve(*task, false, reason);
            emit commandFailed(taskCode, name, reason);
            return true;
        }
        resolve(*task, true, QString());
        if (upload) {
            if (!m_synchronous)
                emit uploadFinished(name, line);
        } else {
            emit downloadFinished(name, line);
        }
        return true;
    }
    case Delete:
        if (code == 250) {
            task->done = true;
            m_delFileName = task->name;
            emit fileDeleted(m_delFileName);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void FTPshell::handleTransferInfo(const QString& line, bool isUpload)
{
    // The client's bar on 80 columns: " 45% |****      | 1234 KiB  1.20 MiB/s    00:01 ETA";
    // after the second "|": amount and unit (10 columns), rate (14), remaining time (13).
    const QString text = line.left(79);
    const auto m = progressPattern().match(text);
    const int percent = m.hasMatch() ? m.captured(1).toInt() : 0;
    const qsizetype first = text.indexOf(QLatin1Char('|'));
    const qsizetype second = first >= 0 ? text.indexOf(QLatin1Char('|'), first + 1) : -1;
    const QString tail = second >= 0 ? text.mid(second + 1) : QString();
    const QString amount = tail.mid(0, 10).trimmed();
    const QString speed = tail.mid(10, 14).trimmed();
    QString time = tail.mid(24).trimmed();
    if (time.endsWith(QStringLiteral(" ETA"), Qt::CaseInsensitive))
        time = time.chopped(4).trimmed();
    if (amount != m_lastProgressAmount) {
        m_lastProgressAmount = amount;
        noteActivity(); // stalled frames repeat the same amount and do not count as life
    }
    const QStringList& queue = isUpload ? m_uploadQueue : m_downloadQueue;
    const QString name = queue.isEmpty() ? QString() : queue.first();
    if (isUpload) {
        if (!m_synchronous)
            emit uploadProgress(name, percent, amount, speed, time);
    } else {
        emit downloadProgress(name, percent, amount, speed, time);
    }
}

} // namespace quillon::ftp
