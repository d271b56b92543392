#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace quillon::app {

// The longest hand-over a running instance reads from a second launch (its arguments).
inline constexpr qint64 kMaxHandoverBytes = 4 * 1024 * 1024;
// How long a second launch waits for the running instance to take its arguments.
inline constexpr int kHandoverTimeoutMs = 5000;

// One Quillon per user: the first launch listens on a local socket in the user's runtime folder;
// a later launch connects, hands over its documents (absolute paths) and exits, and the running
// one raises documentsReceived with them. A socket left by an instance that died is removed and
// taken over. Main thread.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QString serverPath = defaultServerPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/quillon-<uid>.socket (the temporary folder when there is no runtime one).
    static QString defaultServerPath();

    // True when a running instance took the documents: this launch is then done. False when
    // none answered, so this launch is the one to run.
    bool handOver(const QStringList& documents);
    // Starts listening; false with the reason when the socket cannot be made (the program then
    // runs on its own, and later launches start their own windows).
    bool listen(QString* error = nullptr);

    QString serverPath() const { return m_serverPath; }

signals:
    void documentsReceived(const QStringList& documents);

private:
    void acceptConnection();

    QString m_serverPath;
    QLocalServer* m_server = nullptr;
};

} // namespace quillon::app
