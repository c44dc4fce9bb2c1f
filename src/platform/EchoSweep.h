#pragma once

#include "platform/PingSocket.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QHostInfo;
class QSocketNotifier;
class QTimer;

// Echo requests to many hosts at once: every request of an address family goes through one
// socket, and replies are told apart by identifier, sequence and source. Each request, named
// by a key of the caller's, ends in exactly one event, at the latest when its time-out
// (counted from Ping()) expires, with the same outcomes a ping control reports:
//   OnPing with Status 0 and the mean round trip, or Status -1 when no reply came in time;
//   OnPingError with a text when the request could not be made or the network refused it.
// IPv4 and IPv6 addresses and names are accepted; a name with both prefers IPv4. Events are
// always raised from the event loop, never from inside Ping().
class EchoSweep final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EchoSweep)

public:
    explicit EchoSweep(QObject* parent = nullptr);
    ~EchoSweep() override;

    void setTimeOut(qint32 milliseconds) { m_timeOut = milliseconds; }
    void setPacketSize(qint16 bytes) { m_packetSize = bytes; }
    void setCount(qint16 count) { m_count = count; }

    // Starts a request under a key no outstanding request uses, and returns at once.
    void Ping(int key, const QString& host);
    // Ends every outstanding request without an event.
    void cancelAll();
    int outstanding() const { return int(m_requests.size()); }
    // The kind of socket opened for AF_INET or AF_INET6 (None until one was needed).
    PingSocket::Kind socketKind(int family) const;

signals:
    void OnPing(int Key, const QString& Host, qint32 Status, qint32 RoundTrip,
                qint64 RoundTripMicroseconds);
    void OnPingError(int Key, const QString& ErrorText, qint32 ErrorNumber);

private:
    struct Family {
        int family = 0;
        int fd = -1;
        PingSocket::Kind kind = PingSocket::Kind::None;
        quint16 identifier = 0;
        quint16 nextSequence = 1;
        QSocketNotifier* notifier = nullptr;
        QHash<quint16, int> bySequence; // outstanding echo -> key
    };
    struct Request {
        QString host;
        int lookupId = -1;
        Family* family = nullptr; // set once the address is known
        QHostAddress address;
        quint16 sequence = 0;
        bool sent = false;
        qint64 sentAt = 0;   // monotonic nanoseconds
        qint64 deadline = 0; // monotonic nanoseconds
        int wanted = 1;
        int payload = 32;
        int received = 0;
        qint64 totalNanoseconds = 0;
    };

    void failLater(int key, const QString& text, qint32 number);
    void lookedUp(const QHostInfo& info);
    void start(int key, const QHostAddress& address);
    bool ensureSocket(Family& family, int& error);
    void closeSocket(Family& family);
    void sendEcho(int key);
    void readPackets(Family& family);
    void readErrorQueue(Family& family);
    void handlePacket(Family& family, const char* data, qsizetype size, const QHostAddress& source);
    void deadlinesReached();
    void armDeadline();
    void endWithReply(int key);
    void endWithTimeOut(int key);
    void endWithError(int key, const QString& text, qint32 number);
    Request take(int key);

    qint32 m_timeOut = 10000;
    qint16 m_packetSize = 32;
    qint16 m_count = 1;
    Family m_v4;
    Family m_v6;
    QHash<int, Request> m_requests;
    QHash<int, int> m_lookups; // lookup id -> key
    QTimer* m_deadline;
};
