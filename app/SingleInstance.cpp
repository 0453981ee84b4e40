#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

CSingleInstance* current = nullptr;
constexpr int kAskTimeoutMs = 3000;
const QByteArray kActivate = "activate\n";
const QByteArray kDone = "ok\n";

// The user's own runtime folder keeps one instance per user rather than per machine.
QString InstanceFile(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + '/' + name;
}

}  // namespace

QString CSingleInstance::ServerName()
{
    return InstanceFile(kName);
}

CSingleInstance::CSingleInstance()
    : lock_(InstanceFile(QString(kName) + ".lock"))
{
    // Only a lock whose process is gone is stale; a long-running instance keeps its lock.
    lock_.setStaleLockTime(0);
    current = this;
}

CSingleInstance::~CSingleInstance()
{
    if (current == this)
        current = nullptr;
}

CSingleInstance* CSingleInstance::Current()
{
    return current;
}

CSingleInstance::Claim CSingleInstance::ClaimInstance()
{
    if (lock_.tryLock(0))
        return CLAIM_FIRST;
    if (lock_.error() != QLockFile::LockFailedError)
        return CLAIM_FAILED;

    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kAskTimeoutMs))
        return CLAIM_UNREACHABLE;
    socket.write(kActivate);
    if (!socket.waitForBytesWritten(kAskTimeoutMs))
        return CLAIM_UNREACHABLE;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(kAskTimeoutMs))
        answer += socket.readAll();
    return answer == kDone ? CLAIM_ACTIVATED : CLAIM_UNREACHABLE;
}

bool CSingleInstance::Listen(std::function<void()> bringToFront)
{
    if (!lock_.isLocked())
        return false;
    bringToFront_ = std::move(bringToFront);
    if (server_)
        return true;
    // We hold the lock, so a server file left by a crashed instance is no one's.
    QLocalServer::removeServer(ServerName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(ServerName())) {
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kActivate.size())  // not one of ours
                        socket->disconnectFromServer();
                    return;
                }
                if (socket->readLine() == kActivate && bringToFront_) {
                    bringToFront_();
                    socket->write(kDone);
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}
