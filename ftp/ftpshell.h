#pragma once

#include "ftp/fileitem.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QEventLoop;

namespace quillon::ftp {

class PtyProcess;

// Longest time a synchronous wait goes without hearing anything from the client before it
// gives up and ends the client; a server that never answers cannot hang a batch.
inline constexpr std::chrono::milliseconds kDefaultSilenceLimit{60'000};
// Longest line of the client's output taken in (a reply, a listing entry, a progress frame);
// a longer one is skipped to its end, so a server cannot make the session hold without bound.
inline constexpr qsizetype kMaxOutputLineBytes = 64 * 1024;
// Most entries one listing keeps; the entries past it are not listed.
inline constexpr qsizetype kMaxListingEntries = 100'000;
// How often a synchronous wait looks at the stop check.
inline constexpr std::chrono::milliseconds kStopPollInterval{50};

// One FTP session, driving the command-line client `ftp` (tnftp) on a pseudo-terminal and
// interpreting what it prints. Commands are queued as tasks; each line of output is offered
// to the pending tasks in order. Operations either return at once (results arrive as signals)
// or wait (sConnect, sUploadFile) while turning a local event loop.
//
// Lives on the thread that created it; every member must be called from that thread. The stop
// check is the one thing another thread may influence (through the flag it reads).
class FTPshell : public QObject
{
    Q_OBJECT

public:
    // Task codes, the values of task().
    enum TaskCode { Login = 1, List = 2, Close = 3, ChangeDir = 4, PrintDir = 5, Download = 6,
                    Upload = 7, Delete = 8 };

    explicit FTPshell(QObject* parent = nullptr);
    ~FTPshell() override;

    // Asynchronous operations: write a command and return. Results and failures arrive as
    // signals (commandFailed for a command the client finished without confirmation). Commands
    // given while a login is under way are written once the client is ready for them. The
    // login uses port() and currentPath() as they are at the call; disconnect() writes "close"
    // (the client then exits), or ends a client that is not logged in.
    void connect(const QString& server, const QString& user, const QString& password);
    void getFileList();
    void disconnect();
    void setDirectory(const QString& path);
    void goBack(int levels);
    void getCurrentPath();
    void downloadFile(const QString& remoteName, const QString& localFile);
    void uploadFile(const QString& localFile);
    void deleteFile(const QString& remoteName);

    // Synchronous operations. sConnect returns true when the server accepted the login and the
    // client entered currentPath; sUploadFile returns true when the client reported as many
    // bytes sent as the local file has (the remote file gets the local file's name, in the
    // session's current remote folder). Both end early when the stop check answers true, when
    // the client ends, or after silenceLimit without output. On false, lastError() says why.
    bool sConnect(const QString& server, const QString& user, const QString& password);
    bool sUploadFile(const QString& localFile);

    // Ends every wait early when it answers true; checked every kStopPollInterval. The flag
    // form reads an atomic another thread sets (the batch's stop flag); it must outlive us.
    void setStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }
    void setStopFlag(const std::atomic_bool* flag);
    void setSilenceLimit(std::chrono::milliseconds limit) { m_silenceLimit = limit; }
    std::chrono::milliseconds silenceLimit() const { return m_silenceLimit; }

    // The client's command syntax: blanks, tabs, quotes and backslashes escaped; "/" for "".
    static QString convertToShellPath(const QString& path);
    // The URL the client is started with: user percent-encoded, never a password, the path
    // always ending in "/".
    static QString loginUrl(const QString& server, const QString& user, int port,
                            const QString& path);
    void cleanUp();

    // The reply interpretation. handleOutput is the pseudo-terminal's output intake: it keeps an
    // unfinished line until its line end, but handles a prompt at once.
    void handleOutput(const QByteArray& chunk);
    void handleTasks(const QStringList& lines);
    bool handleResult(const QString& line, int taskCode);
    void handleTransferInfo(const QString& line, bool isUpload);

    // Fields.
    int label() const { return m_label; }
    void setLabel(int label) { m_label = label; }
    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    QString currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString& path) { m_currentPath = path; }
    bool isConnected() const { return m_isConnected; }
    QString currentServer() const { return m_currentServer; }
    QString currentName() const { return m_currentName; }
    QString serverInfo() const { return m_serverInfo; }
    QString delFileName() const { return m_delFileName; }
    bool downloading() const { return m_downloading; }
    bool uploading() const { return m_uploading; }
    bool gettingFileList() const { return m_gettingFileList; }
    bool sendPassword() const { return m_sendPassword; }
    bool finishedDownload() const { return m_finishedDownload; }
    bool finishedUpload() const { return m_finishedUpload; }
    bool synchronous() const { return m_synchronous; }
    bool taskDone() const { return m_taskDone; }
    QList<int> task() const;
    QStringList downloadQueue() const { return m_downloadQueue; }
    QStringList uploadQueue() const { return m_uploadQueue; }
    QList<fileItem> currentFiles() const { return m_currentFiles; }
    // Why the last synchronous operation failed (server and reason; never the password).
    QString lastError() const { return m_lastError; }
    // The client's process id, or -1 when none runs.
    qint64 clientPid() const;
    bool clientRunning() const;

signals:
    void connected(const QString& serverInfo);
    void incorrectLogin();
    void receivedFileList(const QList<quillon::ftp::fileItem>& files);
    void disconnected();
    void changedDir();
    void debug(const QString& chunk);
    void gotCurrentPath(const QString& path);
    void downloadProgress(const QString& name, int percent, const QString& amount,
                          const QString& speed, const QString& time);
    void downloadFinished(const QString& name, const QString& line);
    void fileDeleted(const QString& name);
    void uploadProgress(const QString& name, int percent, const QString& amount,
                        const QString& speed, const QString& time);
    void uploadFinished(const QString& name, const QString& line);
    void downloadStarted(const QString& name);
    void uploadStarted(const QString& name);
    void Error(const QString& line);
    // A command the client finished without the reply that confirms it (reason: the server's
    // reply, or what was missing).
    void commandFailed(int taskCode, const QString& name, const QString& reason);
    // The client program ended (by itself, after "exit", or ended by this session).
    void clientFinished(int exitStatus);

protected:
    // The seams to the client program; a test may replace them to feed recorded output.
    virtual bool startClient(const QStringList& arguments, QString* error);
    virtual bool writeToClient(const QByteArray& line);
    virtual bool isClientRunning() const;
    virtual void stopClient();
    // Called when the client process ended.
    void clientEnded(int exitStatus);

private:
    struct Outcome
    {
        bool resolved = false;
        bool ok = false;
        QString reason;
    };
    struct Task
    {
        int code = 0;
        QString name;          // remote or local name the task is about
        qint64 expectedBytes = -1;
        bool done = false;     // its confirming reply was seen; waits for the prompt
        bool started = false;  // a transfer's 125/150 or a listing's start was seen
        QString lastReply;     // the last error reply while it was pending
        QString command;       // the line written (or to write once the login is through)
        bool written = false;
        std::shared_ptr<Outcome> outcome;
    };

    void startLogin(const QString& server, const QString& user, const QString& password,
                    bool synchronous);
    bool queueCommand(int code, const QString& command, const QString& name = QString(),
                      qint64 expectedBytes = -1);
    bool waitFor(std::shared_ptr<Outcome> outcome); // by value: the task may go meanwhile
    void resolve(Task& task, bool ok, const QString& reason);
    void handlePrompt();
    void handleLine(const QString& line);
    void failTask(Task& task, const QString& reason);
    void failAll(const QString& reason);
    void resetConnectionState();
    void noteActivity() { m_lastActivityMs = m_clock.elapsed(); }
    bool writeLine(const QString& text);
    QString serverName() const;

    PtyProcess* m_process = nullptr;
    QList<Task> m_tasks;
    QByteArray m_pending;          // output after the last complete line
    bool m_skippingLongLine = false; // inside a line longer than kMaxOutputLineBytes
    QString m_currentServer;
    QString m_currentName;
    QString m_currentPassword;
    bool m_isConnected = false;
    QString m_serverInfo;
    QString m_currentPath;
    bool m_downloading = false;
    QString m_delFileName;
    bool m_uploading = false;
    QStringList m_downloadQueue;
    bool m_gettingFileList = false;
    QList<fileItem> m_currentFiles;
    bool m_sendPassword = false;
    bool m_finishedDownload = false;
    QStringList m_uploadQueue;
    bool m_finishedUpload = false;
    int m_port = 0;
    bool m_taskDone = false;
    bool m_synchronous = false;
    int m_label = 0;
    bool m_waiting = false;
    QEventLoop* m_waitLoop = nullptr;
    std::shared_ptr<Outcome> m_waitOutcome;
    QElapsedTimer m_clock;
    QString m_lastError;
    QString m_clientMessage;       // the first "ftp: ..." line since the login began
    QString m_lastProgressAmount;
    qint64 m_lastActivityMs = 0;
    std::function<bool()> m_stopCheck;
    std::chrono::milliseconds m_silenceLimit = kDefaultSilenceLimit;
};

} // namespace quillon::ftp
