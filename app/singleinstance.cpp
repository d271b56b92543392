#include "app/singleinstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace quillon::app {

namespace {

// What a hand-over starts with, so a stray client on the socket is not taken for Quillon.
constexpr quint32 kHandoverMagic = 0x51494c31; // "QIL1"
constexpr char kAcknowledge = 'k';

} // namespace

SingleInstance::SingleInstance(QString serverPath, QObject* parent)
    : QObject(parent), m_serverPath(std::move(serverPath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/quillon-%1.socket").arg(::getuid());
}

bool SingleInstance::handOver(const QStringList& documents)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverPath);
    if (!socket.waitForConnected(kHandoverTimeoutMs))
        return false;
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out << kHandoverMagic << documents;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(kHandoverTimeoutMs))
        return false;
    // The running instance answers once it has the whole list.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(kHandoverTimeoutMs))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kAcknowledge;
}

bool SingleInstance::listen(QString* error)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverPath)) {
        // Nobody answered on it (handOver came first), so the socket is left from an instance
        // that died: take it over.
        QLocalServer::removeServer(m_serverPath);
        if (!m_server->listen(m_serverPath)) {
            if (error)
                *error = QStringLiteral("Cannot listen on %1: %2")
                             .arg(m_serverPath, m_server->errorString());
            delete m_server;
            m_server = nullptr;
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxHandoverBytes) {
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QStringList documents;
            in >> magic >> documents;
            if (!in.commitTransaction())
                return; // not all there yet
            if (magic != kHandoverMagic) {
                socket->abort();
                return;
            }
            socket->putChar(kAcknowledge);
            socket->flush();
            emit documentsReceived(documents);
        });
    }
}

} // namespace quillon::app
