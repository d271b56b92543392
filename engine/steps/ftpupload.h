#pragma once

#include "settings/batchsetting.h"
#include "settings/settingkinds.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace quillon::ftp {
class FTPshell;
}

namespace quillon::engine {

// How long the end of a run waits for the clients to say goodbye after "close" before they
// are ended; an upload has been confirmed (or not) long before, so nothing is lost by ending.
inline constexpr std::chrono::milliseconds kFtpDisconnectWait{3000};

// Logs a connection in for an FTP step: the connection's label becomes the step's Finder label
// number, its port the step's port (a port above 32767, which a settings file stores as a
// negative Short, is read back as the unsigned number it was) and its path the step's path.
// True only when the server accepted the login and the connection is logged in. Waits for the
// server's answer (or the stop flag, or the connection's silence limit). Thread of the
// connection.
bool connectToFTP(ftp::FTPshell& connection, const settings::FTPSetting& step);

// A login or an upload that did not succeed, for the report at the end of the run. Never holds
// the password.
struct FtpFailure
{
    enum class Kind
    {
        Login,  // the image's output stays where it was written, and is not uploaded
        Upload, // the output is kept locally (keptFile) and is not on the server
    };
    Kind kind = Kind::Login;
    QString server;
    QString user;
    QString file;     // the image (login) or the output that was to be uploaded (upload)
    QString keptFile; // upload: where the output now is; empty when it could not be kept
    QString reason;   // the client's or the server's words

    // One line: "Could not log in to SERVER as USER for FILE: REASON." or
    // "Could not upload FILE to SERVER: REASON. It was kept as KEPT."
    QString message() const;
};

// What the pipeline holds for one image between its FTP set-up and its upload.
struct FtpImage
{
    std::shared_ptr<const settings::FTPSetting> step; // null: no FTP step applies
    ftp::FTPshell* connection = nullptr;              // owned by the FtpUpload
    bool connected = false;                           // the connection was logged in at the set-up
    bool noLocalCopy = false;                         // the step's dontSaveImages

    // The output goes into the temporary-items folder instead of its destination: only when
    // the login succeeded; a failed login leaves the output in its normal place.
    bool useTemporaryTarget() const { return connection && connected && noLocalCopy; }
};

// The first FTP step of a label (Finder label number) in the list order of steps; null when
// there is none. Any thread.
std::shared_ptr<const settings::FTPSetting> ftpStepOf(const std::vector<settings::SettingPtr>& steps,
                                                      int label);

// The result of FtpUpload::upload.
struct FtpUploadResult
{
    enum class Status
    {
        NotUploaded, // no FTP step, or its login had failed (already reported at the set-up)
        Uploaded,    // the server confirmed the whole file
        Failed,      // not confirmed: the output is kept (see file) and the failure recorded
    };
    Status status = Status::NotUploaded;
    // Where the output is now: the target; the folder it was kept in after a failed upload
    // from the temporary-items folder; empty when it was deleted after a confirmed upload.
    QString file;
};

// The FTP side of one batch run: the job's `ftpConnection` list, one connection per label,
// opened when the first image of the label comes along, reused by the following images, retried
// while its login fails, and disconnected at the end of the run.
//
// Every member is called on the batch thread (the connections live there and turn local event
// loops while they wait); create it anywhere. After disconnectAll() no connection is left, so the
// object may then be destroyed on any thread; before, destroy it on the batch thread.
class FtpUpload
{
public:
    struct Events
    {
        // `Connecting`: before a new connection logs in, with the step's server.
        std::function<void(const QString& server)> connecting;
        // After an upload the server confirmed: server, the local output, the remote name.
        std::function<void(const QString& server, const QString& file, const QString& remote)>
            uploaded;
        // A failed login or upload, as it is recorded.
        std::function<void(const FtpFailure& failure)> failed;
    };

    // What became of one connection, kept after the connections are gone.
    struct ConnectionInfo
    {
        int label = 0; // Finder label number
        QString server;
        QString user;
        int logins = 0;   // successful logins
        int attempts = 0; // logins tried (the first and every retry)
        int uploads = 0;  // confirmed uploads
    };

    FtpUpload();
    ~FtpUpload();
    FtpUpload(const FtpUpload&) = delete;
    FtpUpload& operator=(const FtpUpload&) = delete;

    void setEvents(Events events) { m_events = std::move(events); }
    // The job's stop flag, handed to every connection: their waits end when it is set. It must
    // outlive this object.
    void setStopFlag(const std::atomic_bool* flag);
    // The connections' limit for a wait without any output from the client.
    void setSilenceLimit(std::chrono::milliseconds limit);

    // The FTP set-up of one image: the first FTP step of the image's label (Finder label
    // number) in the list order of `steps`; the label's connection, logged in again when it is
    // not logged in (without `connecting`), or a new one (after `connecting`), appended to the
    // connections whether or not its login succeeds. A failed login is recorded with `image`.
    FtpImage setUp(const std::vector<settings::SettingPtr>& steps, int imageLabel,
                   const QString& image);

    // After the export of `target`: uploads it when the image's connection was logged in. A
    // confirmed upload with noLocalCopy deletes the target. An upload that was not confirmed is
    // recorded and the output kept: a target in the temporary-items folder (useTemporaryTarget)
    // is moved to a free name in keepFolder, the output's normal destination, since the
    // temporary-items folder goes when the program ends.
    FtpUploadResult upload(FtpImage& image, const QString& target, const QString& keepFolder);

    // The end of the run: "close" on every connection in creation order, logged in or not; waits
    // up to kFtpDisconnectWait in all for the clients to end, then ends the rest.
    void disconnectAll();

    // The connections in creation order (the live sessions; empty after disconnectAll).
    const std::vector<std::unique_ptr<ftp::FTPshell>>& ftpConnection() const
    {
        return m_connections;
    }
    const std::vector<ConnectionInfo>& connections() const { return m_info; }
    const std::vector<FtpFailure>& failures() const { return m_failures; }
    int uploadCount() const { return m_uploadCount; }

private:
    void record(FtpFailure failure, const QString& password);
    ConnectionInfo* infoFor(const ftp::FTPshell* connection);

    std::vector<std::unique_ptr<ftp::FTPshell>> m_connections;
    std::vector<size_t> m_infoIndex; // m_info's entry of each of m_connections
    std::vector<ConnectionInfo> m_info;
    std::vector<FtpFailure> m_failures;
    Events m_events;
    const std::atomic_bool* m_stopFlag = nullptr;
    std::chrono::milliseconds m_silenceLimit{0}; // 0: the connection's own default
    int m_uploadCount = 0;
};

} // namespace quillon::engine
