#pragma once

#include "settings/settingkinds.h"

#include <QString>
#include <atomic>
#include <memory>

namespace quillon::engine {

// The batch job's view of one FTP connection: the job keeps one per label for the whole run,
// logs it in with the label's FTP step, uploads every output of the label through it and
// disconnects it at the end. Lives on the job's thread and is used only there; the waits
// inside logIn and uploadFile end early when the stop flag given to the connector is set.
class FtpConnection
{
public:
    virtual ~FtpConnection() = default;

    // The Finder label number the connection serves (set by the job).
    int label = 0;

    // connectToFTP: takes port, path, server, user and password from the step and logs in;
    // true when logged in. On failure, error gets a readable reason.
    virtual bool logIn(const settings::FTPSetting& step, QString* error) = 0;
    virtual bool isConnected() const = 0;
    // Uploads a local file into the connection's path under its own name.
    virtual bool uploadFile(const QString& path, QString* error) = 0;
    // Ends the session; does not wait.
    virtual void disconnect() = 0;
};

// Makes the connections of a job. Called on the job's thread.
class FtpConnector
{
public:
    virtual ~FtpConnector() = default;
    // stop is the job's stop request: waits of the new connection end when it becomes true.
    virtual std::unique_ptr<FtpConnection> createConnection(const std::atomic<bool>* stop) = 0;
};

} // namespace quillon::engine
