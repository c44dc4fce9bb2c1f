#pragma once

#include "platform/PingSocket.h"

#include <QObject>
#include <QString>

class EchoSweep;
class QHostInfo;
class QSocketNotifier;
class QTimer;

// One element of the ping control: sends ICMP echo requests to one host at a time
// and reports the outcome of each request as exactly one event, at the latest when its
// time-out expires:
//   OnPing with Status 0 and the round trip (the mean over the replies received) when the
//   host answered, or Status -1 when it did not answer in time;
//   OnPingError with a text when the request could not be made or the network reported an
//   error (destination unreachable and the like), without waiting for the time-out.
// Host names are resolved in the background, an IPv4 address preferred; IPv6 hosts are pinged
// over ICMPv6. Round trips are taken on the monotonic clock.
// Events are always raised from the event loop, never from inside Ping().
class PingControl final : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 TimeOut READ TimeOut WRITE setTimeOut)
    Q_PROPERTY(qint16 PacketSize READ PacketSize WRITE setPacketSize)
    Q_PROPERTY(qint16 Count READ Count WRITE setCount)
    Q_PROPERTY(qint32 Busy READ Busy WRITE setBusy)
    Q_DISABLE_COPY_MOVE(PingControl)

public:
    explicit PingControl(qint16 index, QObject* parent = nullptr);
    ~PingControl() override;

    qint16 Index() const { return m_index; }
    qint32 TimeOut() const { return m_timeOut; }
    void setTimeOut(qint32 milliseconds) { m_timeOut = milliseconds; }
    qint16 PacketSize() const { return m_packetSize; }
    void setPacketSize(qint16 bytes) { m_packetSize = bytes; }
    qint16 Count() const { return m_count; }
    void setCount(qint16 count) { m_count = count; }
    // Non-zero from Ping() until the request's event is raised. Writing 0 while a request is
    // outstanding ends it with an error event; writing 0 to an idle control does nothing.
    qint32 Busy() const { return m_active ? 1 : 0; }
    void setBusy(qint32 value);

    // Starts one request to a host name or an IPv4 or IPv6 address and returns at once.
    Q_INVOKABLE void Ping(const QString& host);

    // The kind of socket the control opened for its requests (None until the first request).
    PingSocket::Kind socketKind() const { return m_kind; }

signals:
    void OnPing(qint16 Index, const QString& Host, qint32 Status, qint32 RoundTrip,
                qint64 RoundTripMicroseconds);
    void OnPingError(qint16 Index, const QString& ErrorText, qint32 ErrorNumber);

private:
    bool ensureSocket(int& error);
    void closeSocket();
    void lookedUp(const QHostInfo& info);
    void startEchoes(quint32 address);
    void sendEcho();
    void readPackets();
    void readErrorQueue();
    void handlePacket(const char* data, qsizetype size, quint32 source, bool withIpHeader);
    void deadlineReached();
    void endLater(const QString& text, qint32 number);
    void endWithReply();
    void endWithTimeOut();
    void endWithError(const QString& text, qint32 number);
    void clearRequest();
    // IPv6 requests go through an echo sweep of their own, with the time left to the request.
    void pingOverIpv6(const QString& address);

    const qint16 m_index;
    qint32 m_timeOut = 10000;
    qint16 m_packetSize = 32;
    qint16 m_count = 1;

    int m_fd = -1;
    PingSocket::Kind m_kind = PingSocket::Kind::None;
    quint16 m_identifier = 0;
    quint16 m_nextSequence = 1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_deadline = nullptr;
    EchoSweep* m_ipv6 = nullptr;

    // The outstanding request.
    bool m_active = false;
    quint64 m_generation = 0;
    QString m_host;
    int m_lookupId = -1;
    quint32 m_address = 0; // host byte order; 0 until known
    quint16 m_sequence = 0;
    qint64 m_sentAt = 0; // monotonic nanoseconds
    int m_wanted = 1;
    int m_payload = 32;
    int m_received = 0;
    qint64 m_totalNanoseconds = 0;
};
