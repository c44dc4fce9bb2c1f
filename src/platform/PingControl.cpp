#include "platform/PingControl.h"

#include "platform/EchoSweep.h"
#include "platform/PingPacket.h"
#include "platform/PingSocket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr qint32 GeneralFailure = 11050;
constexpr qint32 BadDestination = 11018;
constexpr qint32 BadOption = 11007;
constexpr int MaxPacketsPerWakeUp = 256;

using PingSocket::monotonicNanoseconds;
using PingSocket::nextRawIdentifier;
using PingSocket::systemErrorText;
} // namespace

PingControl::PingControl(qint16 index, QObject* parent)
    : QObject(parent)
    , m_index(index)
    , m_deadline(new QTimer(this)) {
    m_deadline->setSingleShot(true);
    m_deadline->setTimerType(Qt::PreciseTimer);
    connect(m_deadline, &QTimer::timeout, this, &PingControl::deadlineReached);
}

PingControl::~PingControl() {
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    closeSocket();
}

void PingControl::setBusy(qint32 value) {
    if (value == 0 && m_active)
        endWithError(QStringLiteral("The request was cancelled."), GeneralFailure);
}

void PingControl::Ping(const QString& host) {
    if (m_active) {
        // The outstanding request goes on; the new one ends with an error of its own.
        const QString text =
            QStringLiteral("The ping control is still busy with ") + m_host + QLatin1Char('.');
        QMetaObject::invokeMethod(
            this, [this, text] { emit OnPingError(m_index, text, GeneralFailure); },
            Qt::QueuedConnection);
        return;
    }
    m_active = true;
    ++m_generation;
    m_host = host;
    m_address = 0;
    m_received = 0;
    m_totalNanoseconds = 0;
    m_wanted = qMax<int>(1, m_count);
    m_payload = m_packetSize;

    const QString name = host.trimmed();
    if (m_timeOut < 1)
        return endLater(QStringLiteral("The time-out must be at least 1 millisecond."), BadOption);
    if (m_payload < 0 || m_payload > PingPacket::MaxPayload)
        return endLater(QStringLiteral("The packet size must be between 0 and %1 bytes.")
                            .arg(PingPacket::MaxPayload),
                        BadOption);
    if (name.isEmpty())
        return endLater(QStringLiteral("No host name was given."), BadDestination);
    int error = 0;
    if (!ensureSocket(error))
        return endLater(PingSocket::permissionText(), error);

    m_deadline->start(m_timeOut);
    QHostAddress literal;
    if (literal.setAddress(name)) {
        if (literal.protocol() != QAbstractSocket::IPv4Protocol)
            return pingOverIpv6(literal.toString());
        const quint64 generation = m_generation;
        const quint32 address = literal.toIPv4Address();
        // Sending from the event loop keeps every outcome, even an immediate one, an event.
        QMetaObject::invokeMethod(
            this,
            [this, generation, address] {
                if (m_active && m_generation == generation)
                    startEchoes(address);
            },
            Qt::QueuedConnection);
        return;
    }
    m_lookupId = QHostInfo::lookupHost(name, this, &PingControl::lookedUp);
}

bool PingControl::ensureSocket(int& error) {
    if (m_fd >= 0)
        return true;
    const PingSocket::Opening opening = PingSocket::open();
    if (opening.fd < 0) {
        error = opening.rawError ? opening.rawError : opening.datagramError;
        return false;
    }
    m_fd = opening.fd;
    m_kind = opening.kind;
    if (m_kind == PingSocket::Kind::Datagram) {
        // The kernel picks the identifier of a datagram socket: its local "port".
        sockaddr_in local{};
        local.sin_family = AF_INET;
        socklen_t length = sizeof local;
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            m_identifier = ntohs(local.sin_port);
    } else {
        m_identifier = nextRawIdentifier();
        // Only replies and errors are of interest; the kernel drops the rest for us.
        icmp_filter filter{};
        filter.data = ~((1u << ICMP_ECHOREPLY) | (1u << ICMP_DEST_UNREACH) |
                        (1u << ICMP_TIME_EXCEEDED) | (1u << ICMP_PARAMETERPROB));
        ::setsockopt(m_fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PingControl::readPackets);
    return true;
}

void PingControl::closeSocket() {
    if (m_notifier) {
        m_notifier->setEnabled(false);
        delete m_notifier;
        m_notifier = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void PingControl::lookedUp(const QHostInfo& info) {
    if (!m_active || info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    for (const QHostAddress& address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            startEchoes(address.toIPv4Address());
            return;
        }
    }
    for (const QHostAddress& address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv6Protocol)
            return pingOverIpv6(address.toString());
    }
    endWithError(QStringLiteral("Unable to resolve the host name %1.").arg(m_host), BadDestination);
}

void PingControl::pingOverIpv6(const QString& address) {
    if (!m_ipv6) {
        m_ipv6 = new EchoSweep(this);
        connect(m_ipv6, &EchoSweep::OnPing, this,
                [this](int, const QString&, qint32 status, qint32, qint64 micros) {
                    if (!m_active)
                        return;
                    const QString host = m_host;
                    clearRequest();
                    emit OnPing(m_index, host, status, qint32(micros / 1000), micros);
                });
        connect(m_ipv6, &EchoSweep::OnPingError, this,
                [this](int, const QString& text, qint32 number) {
                    if (m_active)
                        endWithError(text, number);
                });
    }
    // The sweep keeps the request's deadline; it always ends it with an event.
    m_ipv6->setTimeOut(qMax(1, m_deadline->remainingTime()));
    m_deadline->stop();
    m_ipv6->setPacketSize(m_payload);
    m_ipv6->setCount(qint16(m_wanted));
    m_ipv6->Ping(0, address);
}

void PingControl::startEchoes(quint32 address) {
    m_address = address;
    sendEcho();
}

void PingControl::sendEcho() {
    m_sequence = m_nextSequence++;
    const QByteArray packet = PingPacket::echoRequest(m_identifier, m_sequence, m_payload);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(m_address);
    m_sentAt = monotonicNanoseconds();
    const ssize_t sent = ::sendto(m_fd, packet.constData(), size_t(packet.size()), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
        const int error = errno;
        endWithError(QStringLiteral("Unable to send the echo request: ") + systemErrorText(error) +
                         QLatin1Char('.'),
                     error);
    }
}

void PingControl::readPackets() {
    try {
        char buffer[65536];
        for (int i = 0; i < MaxPacketsPerWakeUp && m_fd >= 0; ++i) {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t size = ::recvfrom(m_fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr*>(&from), &length);
            if (size < 0) {
                if (errno == EINTR)
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK &&
                    m_kind == PingSocket::Kind::Datagram) {
                    readErrorQueue();
                    continue;
                }
                break;
            }
            handlePacket(buffer, size, ntohl(from.sin_addr.s_addr),
                         m_kind == PingSocket::Kind::Raw);
        }
        if (m_kind == PingSocket::Kind::Datagram && m_fd >= 0)
            readErrorQueue();
    } catch (...) {
        if (m_active)
            endWithError(QStringLiteral("General failure."), GeneralFailure);
    }
}

void PingControl::readErrorQueue() {
    for (int i = 0; i < MaxPacketsPerWakeUp && m_fd >= 0; ++i) {
        const PingSocket::QueuedError error = PingSocket::readQueuedError(m_fd, false);
        if (error.read == PingSocket::QueuedError::Read::Empty)
            return;
        if (error.read == PingSocket::QueuedError::Read::Found && m_active && m_address != 0 &&
            error.sequence == m_sequence)
            endWithError(error.text, error.code);
    }
}

void PingControl::handlePacket(const char* data, qsizetype size, quint32 source,
                               bool withIpHeader) {
    if (!m_active || m_address == 0)
        return;
    const qint64 now = monotonicNanoseconds();
    const PingPacket::Message message = PingPacket::parse(data, size, withIpHeader);
    if (message.kind == PingPacket::Kind::Other || message.sequence != m_sequence ||
        message.identifier != m_identifier)
        return;
    if (message.kind == PingPacket::Kind::Error) {
        endWithError(PingPacket::errorText(message.type, message.code), 11000 + message.type);
        return;
    }
    if (source != m_address)
        return;
    ++m_received;
    m_totalNanoseconds += now - m_sentAt;
    if (m_received < m_wanted)
        sendEcho();
    else
        endWithReply();
}

void PingControl::deadlineReached() {
    if (!m_active)
        return;
    if (m_received > 0)
        endWithReply();
    else
        endWithTimeOut();
}

void PingControl::endLater(const QString& text, qint32 number) {
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, text, number] {
            if (m_active && m_generation == generation)
                endWithError(text, number);
        },
        Qt::QueuedConnection);
}

void PingControl::endWithReply() {
    const qint64 micros = m_totalNanoseconds / m_received / 1000;
    const QString host = m_host;
    clearRequest();
    emit OnPing(m_index, host, 0, qint32(micros / 1000), micros);
}

void PingControl::endWithTimeOut() {
    const QString host = m_host;
    clearRequest();
    emit OnPing(m_index, host, -1, 0, 0);
}

void PingControl::endWithError(const QString& text, qint32 number) {
    clearRequest();
    emit OnPingError(m_index, text, number);
}

void PingControl::clearRequest() {
    m_active = false;
    ++m_generation;
    m_deadline->stop();
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_address = 0;
    if (m_ipv6)
        m_ipv6->cancelAll();
}
