// The FTP session's interpretation of the client's output. The session is logged in and given
// commands (which ones, from the first byte), then fed the rest of the input twice: in one
// piece and in chunks with boundaries drawn from the second and third bytes. Where the chunk
// boundaries fall must not change anything the session reports or keeps.

#include "fuzz/fuzztarget.h"

#include "ftp/ftpshell.h"

#include <QDir>
#include <QFile>

#include <random>

using quillon::ftp::fileItem;
using quillon::ftp::FTPshell;

namespace {

// Runs no client: what it is sent is kept, what it prints is fed in by the harness.
class FedShell : public FTPshell
{
public:
    QStringList events;

    FedShell()
    {
        QObject::connect(this, &FTPshell::connected, [this](const QString& s) { note("connected", {s}); });
        QObject::connect(this, &FTPshell::incorrectLogin, [this] { note("incorrectLogin", {}); });
        QObject::connect(this, &FTPshell::receivedFileList, [this](const QList<fileItem>& files) {
            QStringList names;
            for (const fileItem& f : files)
                names << f.filename + QLatin1Char('|') + QString::number(f.size) + f.permission + f.date;
            note("list", names);
        });
        QObject::connect(this, &FTPshell::disconnected, [this] { note("disconnected", {}); });
        QObject::connect(this, &FTPshell::changedDir, [this] { note("changedDir", {currentPath()}); });
        QObject::connect(this, &FTPshell::gotCurrentPath, [this](const QString& p) { note("path", {p}); });
        QObject::connect(this, &FTPshell::downloadProgress,
                         [this](const QString& n, int p, const QString& a, const QString& s, const QString& t) {
                             note("downloadProgress", {n, QString::number(p), a, s, t});
                         });
        QObject::connect(this, &FTPshell::uploadProgress,
                         [this](const QString& n, int p, const QString& a, const QString& s, const QString& t) {
                             note("uploadProgress", {n, QString::number(p), a, s, t});
                         });
        QObject::connect(this, &FTPshell::downloadFinished, [this](const QString& n, const QString& l) { note("downloaded", {n, l}); });
        QObject::connect(this, &FTPshell::uploadFinished, [this](const QString& n, const QString& l) { note("uploaded", {n, l}); });
        QObject::connect(this, &FTPshell::downloadStarted, [this](const QString& n) { note("downloadStarted", {n}); });
        QObject::connect(this, &FTPshell::uploadStarted, [this](const QString& n) { note("uploadStarted", {n}); });
        QObject::connect(this, &FTPshell::fileDeleted, [this](const QString& n) { note("deleted", {n}); });
        QObject::connect(this, &FTPshell::Error, [this](const QString& l) { note("Error", {l}); });
        QObject::connect(this, &FTPshell::commandFailed, [this](int c, const QString& n, const QString& r) {
            note("failed", {QString::number(c), n, r});
        });
        QObject::connect(this, &FTPshell::clientFinished, [this](int s) { note("finished", {QString::number(s)}); });
    }

    // Everything the session keeps that its callers read.
    QString state() const
    {
        QStringList parts = events;
        parts << written.join(QLatin1Char('\n')) << currentPath() << serverInfo()
              << QString::number(isConnected()) << QString::number(downloading())
              << QString::number(uploading()) << QString::number(gettingFileList())
              << downloadQueue().join(QLatin1Char('/')) << uploadQueue().join(QLatin1Char('/'))
              << QString::number(currentFiles().size());
        for (int code : task())
            parts << QString::number(code);
        return parts.join(QLatin1Char('\x1f'));
    }

protected:
    bool startClient(const QStringList&, QString*) override { return running = true; }
    bool writeToClient(const QByteArray& line) override
    {
        written << QString::fromUtf8(line);
        return running;
    }
    bool isClientRunning() const override { return running; }
    void stopClient() override
    {
        if (running) {
            running = false;
            clientEnded(-1);
        }
    }

private:
    void note(const char* what, const QStringList& values)
    {
        events << QLatin1String(what) + QLatin1Char(':') + values.join(QLatin1Char('|'));
    }

    QStringList written;
    bool running = false;
};

QString uploadable()
{
    static const QString path = [] {
        const QString p = QDir::temp().filePath(QStringLiteral("quillon-fuzz-upload.jpg"));
        QFile file(p);
        if (file.open(QIODevice::WriteOnly))
            file.write("twelve bytes");
        return p;
    }();
    return path;
}

void giveCommands(FedShell& shell, std::uint8_t which)
{
    shell.setCurrentPath(QStringLiteral("/incoming"));
    shell.connect(QStringLiteral("example.invalid"), QStringLiteral("user"), QStringLiteral("secret"));
    if (which & 1)
        shell.getFileList();
    if (which & 2)
        shell.setDirectory(QStringLiteral("pictures"));
    if (which & 4)
        shell.getCurrentPath();
    if (which & 8)
        shell.downloadFile(QStringLiteral("a b.jpg"), QDir::temp().filePath(QStringLiteral("quillon-fuzz-download")));
    if (which & 16)
        shell.uploadFile(uploadable());
    if (which & 32)
        shell.deleteFile(QStringLiteral("old.jpg"));
    if (which & 64)
        shell.goBack(1);
}

} // namespace

QUILLON_FUZZ_TARGET(ftpoutput)
{
    if (size < 3)
        return true;
    const std::uint8_t which = data[0];
    std::minstd_rand cuts(data[1] << 8 | data[2]);
    const QByteArray output(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    FedShell whole;
    giveCommands(whole, which);
    whole.handleOutput(output);

    FedShell pieces;
    giveCommands(pieces, which);
    for (qsizetype at = 0; at < output.size();) {
        const qsizetype length = std::min<qsizetype>(output.size() - at, 1 + cuts() % 64);
        pieces.handleOutput(output.mid(at, length));
        at += length;
    }

    const bool same = whole.state() == pieces.state();
    if (which & 128) {
        whole.disconnect();
        pieces.disconnect();
    }
    return same;
}
