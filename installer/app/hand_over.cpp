#include "installer/app/hand_over.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <QtEndian>

namespace tarnel {
namespace {

constexpr qsizetype kHeaderBytes = 4;
constexpr int kConnectWait = 1000;
constexpr int kAnswerWait = 10000;
constexpr int kTurnWait = 5000;
// A peer that connects and never finishes its message is dropped.
constexpr int kIdleLimit = 10000;

const QByteArray kTaken = QByteArrayLiteral("1");

bool Send(QLocalSocket& running, const std::string& path) {
    if (path.size() > static_cast<size_t>(kMaxHandedPathBytes)) {
        return false;
    }
    QByteArray message(kHeaderBytes, '\0');
    qToBigEndian(static_cast<quint32>(path.size()), message.data());
    message.append(path.data(), static_cast<qsizetype>(path.size()));
    running.write(message);
    if (!running.waitForBytesWritten(kAnswerWait)) {
        return false;
    }
    // The answer comes once the running copy has the path; without it this copy carries on.
    while (running.bytesAvailable() == 0) {
        if (!running.waitForReadyRead(kAnswerWait)) {
            return false;
        }
    }
    return running.read(1) == kTaken;
}

// A folder in the shared temporary folder that only this user can reach: made with mode 0700,
// or, when it is there already, a real folder (not a link) of this user's that nobody else may
// enter. Anything else could be another user's trap; empty then.
QString PrivateTempFolder() {
    const QString folder =
        QDir(QDir::tempPath()).filePath(QStringLiteral("tarnel-%1").arg(::getuid()));
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}

}  // namespace

QString HandOverSocketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir()) {
        folder = PrivateTempFolder();
        if (folder.isEmpty()) {
            return {};
        }
    }
    return QDir(folder).filePath(QStringLiteral("tarnelInstall-%1").arg(::getuid()));
}

HandOverServer::HandOverServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandOverServer::Accept);
}

HandOverServer::~HandOverServer() = default;

bool HandOverServer::Listen() {
    const QString path = HandOverSocketPath();
    if (path.isEmpty()) {
        return false;
    }
    if (server_->listen(path)) {
        return true;
    }
    // Left by a copy that did not end cleanly: nobody answered on it.
    if (server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(path);
        return server_->listen(path);
    }
    return false;
}

void HandOverServer::Accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        received_.insert(client, {});
        connect(client, &QLocalSocket::readyRead, this, [this, client] { Read(client); });
        connect(client, &QLocalSocket::disconnected, this, [this, client] {
            received_.remove(client);
            client->deleteLater();
        });
        QTimer::singleShot(kIdleLimit, client, [this, client] {
            received_.remove(client);
            client->abort();
            client->deleteLater();
        });
    }
}

void HandOverServer::Read(QLocalSocket* client) {
    const auto entry = received_.find(client);
    if (entry == received_.end()) {
        client->readAll();  // after the answer
        return;
    }
    QByteArray& buffer = entry.value();
    buffer += client->read(kHeaderBytes + kMaxHandedPathBytes + 1 - buffer.size());
    if (buffer.size() < kHeaderBytes) {
        return;
    }
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length == 0 || length > kMaxHandedPathBytes) {
        Answer(client, false);
        return;
    }
    const qsizetype end = kHeaderBytes + static_cast<qsizetype>(length);
    if (buffer.size() < end) {
        return;
    }
    const QByteArray path = buffer.mid(kHeaderBytes, length);
    if (buffer.size() > end || path.contains('\0')) {
        Answer(client, false);
        return;
    }
    Answer(client, true);
    taken_.push_back(path);
    // After the answer has gone, so the sender is not kept waiting behind a box the path raises.
    QMetaObject::invokeMethod(this, &HandOverServer::Deliver, Qt::QueuedConnection);
}

void HandOverServer::DeliverTo(Receiver receiver) {
    receiver_ = std::move(receiver);
    QMetaObject::invokeMethod(this, &HandOverServer::Deliver, Qt::QueuedConnection);
}

void HandOverServer::Deliver() {
    while (receiver_ && !taken_.isEmpty()) {
        receiver_(taken_.takeFirst());
    }
}

void HandOverServer::Answer(QLocalSocket* client, bool taken) {
    received_.remove(client);
    client->write(taken ? kTaken : QByteArrayLiteral("0"));
    client->flush();
    client->disconnectFromServer();
}

bool PassedToRunningCopy(const std::string& path, HandOverServer& server) {
    const QString socketPath = HandOverSocketPath();
    if (socketPath.isEmpty()) {
        std::cerr << "tarnelInstall: no private folder for the hand-over socket; "
                     "packages opened later start their own window\n";
        return false;
    }
    QLockFile turn(socketPath + QStringLiteral(".lock"));
    // Without the turn after the wait, a copy still goes on rather than hang.
    turn.tryLock(kTurnWait);
    QLocalSocket running;
    running.connectToServer(socketPath);
    if (!running.waitForConnected(kConnectWait)) {
        if (!server.Listen()) {
            std::cerr << "tarnelInstall: cannot listen on " << socketPath.toLocal8Bit().constData()
                      << "; packages opened later start their own window\n";
        }
        return false;
    }
    // Without a path there is nothing to hand over, and the running window stays as it is.
    return path.empty() || Send(running, path);
}

}  // namespace tarnel
