#pragma once

#include <QString>

namespace quillon::engine {

// The owner of a batch job hears the job's events through this interface. Every call is
// synchronous: the job waits until the handler returns. Started and Scanning are called on
// the thread that called startProcess (the scan runs there); Progress, Connecting and Finished
// on the job's own thread, or on the caller's thread for a preview. A window that wants them
// on its own thread forwards them with a blocking queued call; a program without an event
// loop handles them directly. A handler that does nothing is the default; Progress then
// answers false.
class JobListener
{
public:
    virtual ~JobListener() = default;

    // Once, after the scan, with the number of images collected.
    virtual void Started(int count) {}
    // Once, at the end of the run; stopped is true when a Progress answer asked to stop.
    virtual void Finished(bool stopped) {}
    // Once for every image that opened, before its steps run: the file's name, the images
    // completed so far and the number collected. True asks the job to stop after this image.
    virtual bool Progress(const QString& name, int current, int total) { return false; }
    // Before the scan goes down into a subfolder (by the depth rule), with its name.
    virtual void Scanning(const QString& name) {}
    // Before a new FTP connection is opened, with the server's name.
    virtual void Connecting(const QString& server) {}
};

} // namespace quillon::engine
