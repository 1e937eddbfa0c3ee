#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace tarnel {

// No path on Linux is longer; a longer one is refused, never cut.
inline constexpr qsizetype kMaxHandedPathBytes = 4096;

// The socket through which later copies of the installer reach the running one: one per user,
// in $XDG_RUNTIME_DIR when the session has one, else in a folder of this user's alone in the
// temporary folder ($TMPDIR/tarnel-UID, mode 0700). Empty when that folder cannot be trusted.
QString HandOverSocketPath();

// The running copy's end. A later copy sends a 4-byte big-endian length and the path's bytes;
// it is answered "1" when the path is taken and "0" when it is refused (empty, too long, or with
// a NUL byte).
class HandOverServer : public QObject {
    Q_OBJECT

  public:
    using Receiver = std::function<void(const QByteArray& path)>;

    explicit HandOverServer(QObject* parent = nullptr);
    ~HandOverServer() override;

    // Listens on the socket, replacing one that no copy answers on any more; false when it cannot.
    bool Listen();
    // Where taken paths go, each after its sender has been answered. Paths taken before there
    // is a receiver (the window is still being made) wait for it.
    void DeliverTo(Receiver receiver);

  private:
    void Accept();
    void Read(QLocalSocket* client);
    void Answer(QLocalSocket* client, bool taken);
    void Deliver();

    QLocalServer* server_;
    QHash<QLocalSocket*, QByteArray> received_;
    QList<QByteArray> taken_;
    Receiver receiver_;
};

// At start-up: when another copy runs, give it the path (absolute, narrow encoding; empty when
// there is none) and answer true, so that this copy ends. Otherwise this copy becomes the one
// that listens, through server, and the answer is false. Copies started at the same moment take
// turns, so exactly one of them listens.
bool PassedToRunningCopy(const std::string& path, HandOverServer& server);

}  // namespace tarnel
