#include "platform/EchoSweep.h"

#include "platform/PingPacket.h"
#include "platform/PingSocket.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr qint32 BadDestination = 11018;
constexpr qint32 BadOption = 11007;
constexpr int MaxPacketsPerWakeUp = 256;
constexpr qint64 NanosecondsPerMillisecond = 1000000;

using PingSocket::monotonicNanoseconds;
using PingSocket::nextRawIdentifier;
using PingSocket::systemErrorText;

QHostAddress addressOf(const sockaddr_storage& from) {
    return QHostAddress(reinterpret_cast<const sockaddr*>(&from));
}

// Both spellings of an IPv4 address (plain and mapped into IPv6) compare equal.
bool sameAddress(const QHostAddress& a, const QHostAddress& b) {
    return a.isEqual(b, QHostAddress::TolerantConversion);
}
} // namespace

EchoSweep::EchoSweep(QObject* parent)
    : QObject(parent)
    , m_deadline(new QTimer(this)) {
    m_v4.family = AF_INET;
    m_v6.family = AF_INET6;
    m_deadline->setSingleShot(true);
    m_deadline->setTimerType(Qt::PreciseTimer);
    connect(m_deadline, &QTimer::timeout, this, &EchoSweep::deadlinesReached);
}

EchoSweep::~EchoSweep() {
    cancelAll();
    closeSocket(m_v4);
    closeSocket(m_v6);
}

PingSocket::Kind EchoSweep::socketKind(int family) const {
    return family == AF_INET6 ? m_v6.kind : m_v4.kind;
}

void EchoSweep::Ping(int key, const QString& host) {
    Request request;
    request.host = host;
    request.deadline =
        monotonicNanoseconds() + qint64(qMax(m_timeOut, 1)) * NanosecondsPerMillisecond;
    request.wanted = qMax<int>(1, m_count);
    request.payload = m_packetSize;
    m_requests.insert(key, request);
    armDeadline();

    const QString name = host.trimmed();
    if (m_timeOut < 1)
        return failLater(key, QStringLiteral("The time-out must be at least 1 millisecond."),
                         BadOption);
    if (request.payload < 0 || request.payload > PingPacket::MaxPayload)
        return failLater(key,
                         QStringLiteral("The packet size must be between 0 and %1 bytes.")
                             .arg(PingPacket::MaxPayload),
                         BadOption);
    if (name.isEmpty())
        return failLater(key, QStringLiteral("No host name was given."), BadDestination);
    QHostAddress literal;
    if (literal.setAddress(name)) {
        // Sending from the event loop keeps every outcome, even an immediate one, an event.
        QMetaObject::invokeMethod(
            this,
            [this, key, literal] {
                if (m_requests.contains(key) && !m_requests[key].family)
                    start(key, literal);
            },
            Qt::QueuedConnection);
        return;
    }
    const int id = QHostInfo::lookupHost(name, this, &EchoSweep::lookedUp);
    m_requests[key].lookupId = id;
    m_lookups.insert(id, key);
}

void EchoSweep::cancelAll() {
    for (auto it = m_lookups.cbegin(); it != m_lookups.cend(); ++it)
        QHostInfo::abortHostLookup(it.key());
    m_lookups.clear();
    m_requests.clear();
    m_v4.bySequence.clear();
    m_v6.bySequence.clear();
    m_deadline->stop();
}

void EchoSweep::failLater(int key, const QString& text, qint32 number) {
    // A key reused after this request ended must not be ended by it.
    const qint64 deadline = m_requests.value(key).deadline;
    QMetaObject::invokeMethod(
        this,
        [this, key, deadline, text, number] {
            if (m_requests.contains(key) && m_requests[key].deadline == deadline)
                endWithError(key, text, number);
        },
        Qt::QueuedConnection);
}

void EchoSweep::lookedUp(const QHostInfo& info) {
    const int key = m_lookups.take(info.lookupId());
    if (!m_requests.contains(key) || m_requests[key].lookupId != info.lookupId())
        return;
    m_requests[key].lookupId = -1;
    const QList<QHostAddress> addresses = info.addresses();
    for (const QAbstractSocket::NetworkLayerProtocol protocol :
         {QAbstractSocket::IPv4Protocol, QAbstractSocket::IPv6Protocol}) {
        for (const QHostAddress& address : addresses) {
            if (address.protocol() == protocol)
                return start(key, address);
        }
    }
    endWithError(key,
                 QStringLiteral("Unable to resolve the host name %1.").arg(m_requests[key].host),
                 BadDestination);
}

void EchoSweep::start(int key, const QHostAddress& address) {
    Family& family = address.protocol() == QAbstractSocket::IPv6Protocol ? m_v6 : m_v4;
    int error = 0;
    if (!ensureSocket(family, error))
        return endWithError(key, PingSocket::permissionText(), error);
    Request& request = m_requests[key];
    request.family = &family;
    request.address = address;
    sendEcho(key);
}

bool EchoSweep::ensureSocket(Family& family, int& error) {
    if (family.fd >= 0)
        return true;
    const PingSocket::Opening opening = PingSocket::open(family.family);
    if (opening.fd < 0) {
        error = opening.rawError ? opening.rawError : opening.datagramError;
        return false;
    }
    family.fd = opening.fd;
    family.kind = opening.kind;
    const bool v6 = family.family == AF_INET6;
    if (family.kind == PingSocket::Kind::Datagram) {
        // The kernel picks the identifier of a datagram socket: its local "port".
        const int on = 1;
        if (v6)
            ::setsockopt(family.fd, IPPROTO_IPV6, IPV6_RECVERR, &on, sizeof on);
        else
            ::setsockopt(family.fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
        sockaddr_storage local{};
        local.ss_family = sa_family_t(family.family);
        socklen_t length = v6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        if (::bind(family.fd, reinterpret_cast<sockaddr*>(&local), length) == 0 &&
            ::getsockname(family.fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            family.identifier = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                         : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    } else {
        family.identifier = nextRawIdentifier();
        // Only replies and errors are of interest; the kernel drops the rest for us.
        if (v6) {
            icmp6_filter filter{};
            ICMP6_FILTER_SETBLOCKALL(&filter);
            for (const int type : {ICMP6_ECHO_REPLY, ICMP6_DST_UNREACH, ICMP6_PACKET_TOO_BIG,
                                   ICMP6_TIME_EXCEEDED, ICMP6_PARAM_PROB})
                ICMP6_FILTER_SETPASS(type, &filter);
            ::setsockopt(family.fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
        } else {
            icmp_filter filter{};
            filter.data = ~((1u << ICMP_ECHOREPLY) | (1u << ICMP_DEST_UNREACH) |
                            (1u << ICMP_TIME_EXCEEDED) | (1u << ICMP_PARAMETERPROB));
            ::setsockopt(family.fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        }
    }
    family.notifier = new QSocketNotifier(family.fd, QSocketNotifier::Read, this);
    connect(family.notifier, &QSocketNotifier::activated, this,
            [this, &family] { readPackets(family); });
    return true;
}

void EchoSweep::closeSocket(Family& family) {
    delete family.notifier;
    family.notifier = nullptr;
    if (family.fd >= 0)
        ::close(family.fd);
    family.fd = -1;
}

void EchoSweep::sendEcho(int key) {
    Request& request = m_requests[key];
    Family& family = *request.family;
    if (request.sent)
        family.bySequence.remove(request.sequence);
    // Skip sequences still waiting for a reply, should the counter ever come round to one.
    do {
        request.sequence = family.nextSequence++;
    } while (family.bySequence.contains(request.sequence));
    family.bySequence.insert(request.sequence, key);
    request.sent = true;

    const bool v6 = family.family == AF_INET6;
    const QByteArray packet =
        v6 ? PingPacket::echoRequest6(family.identifier, request.sequence, request.payload)
           : PingPacket::echoRequest(family.identifier, request.sequence, request.payload);
    sockaddr_storage to{};
    socklen_t length = 0;
    if (v6) {
        auto* six = reinterpret_cast<sockaddr_in6*>(&to);
        six->sin6_family = AF_INET6;
        const Q_IPV6ADDR bytes = request.address.toIPv6Address();
        std::memcpy(&six->sin6_addr, bytes.c, sizeof bytes.c);
        six->sin6_scope_id = request.address.scopeId().toUInt();
        length = sizeof *six;
    } else {
        auto* four = reinterpret_cast<sockaddr_in*>(&to);
        four->sin_family = AF_INET;
        four->sin_addr.s_addr = htonl(request.address.toIPv4Address());
        length = sizeof *four;
    }
    request.sentAt = monotonicNanoseconds();
    const ssize_t sent = ::sendto(family.fd, packet.constData(), size_t(packet.size()), 0,
                                  reinterpret_cast<const sockaddr*>(&to), length);
    if (sent < 0) {
        const int error = errno;
        endWithError(key,
                     QStringLiteral("Unable to send the echo request: ") + systemErrorText(error) +
                         QLatin1Char('.'),
                     error);
    }
}

void EchoSweep::readPackets(Family& family) {
    try {
        char buffer[65536];
        for (int i = 0; i < MaxPacketsPerWakeUp && family.fd >= 0; ++i) {
            sockaddr_storage from{};
            socklen_t length = sizeof from;
            const ssize_t size = ::recvfrom(family.fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr*>(&from), &length);
            if (size < 0) {
                if (errno == EINTR)
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK &&
                    family.kind == PingSocket::Kind::Datagram) {
                    readErrorQueue(family);
                    continue;
                }
                break;
            }
            handlePacket(family, buffer, size, addressOf(from));
        }
        if (family.kind == PingSocket::Kind::Datagram && family.fd >= 0)
            readErrorQueue(family);
    } catch (...) {
        // Nothing may leave the event handler; the requests end by their time-outs.
    }
}

void EchoSweep::readErrorQueue(Family& family) {
    const bool v6 = family.family == AF_INET6;
    for (int i = 0; i < MaxPacketsPerWakeUp && family.fd >= 0; ++i) {
        const PingSocket::QueuedError error = PingSocket::readQueuedError(family.fd, v6);
        if (error.read == PingSocket::QueuedError::Read::Empty)
            return;
        const auto found = family.bySequence.constFind(error.sequence);
        if (error.read == PingSocket::QueuedError::Read::Found && found != family.bySequence.cend())
            endWithError(found.value(), error.text, error.code);
    }
}

void EchoSweep::handlePacket(Family& family, const char* data, qsizetype size,
                             const QHostAddress& source) {
    const qint64 now = monotonicNanoseconds();
    const bool v6 = family.family == AF_INET6;
    const PingPacket::Message message =
        v6 ? PingPacket::parse6(data, size)
           : PingPacket::parse(data, size, family.kind == PingSocket::Kind::Raw);
    if (message.kind == PingPacket::Kind::Other || message.identifier != family.identifier)
        return;
    const auto found = family.bySequence.constFind(message.sequence);
    if (found == family.bySequence.cend())
        return; // a duplicate or a reply to a request that has ended
    const int key = found.value();
    if (message.kind == PingPacket::Kind::Error) {
        endWithError(key,
                     v6 ? PingPacket::errorText6(message.type, message.code)
                        : PingPacket::errorText(message.type, message.code),
                     11000 + message.type);
        return;
    }
    Request& request = m_requests[key];
    if (!sameAddress(source, request.address))
        return;
    ++request.received;
    request.totalNanoseconds += now - request.sentAt;
    if (request.received < request.wanted)
        sendEcho(key);
    else
        endWithReply(key);
}

void EchoSweep::deadlinesReached() {
    const qint64 now = monotonicNanoseconds();
    QList<int> due;
    for (auto it = m_requests.cbegin(); it != m_requests.cend(); ++it) {
        if (it->deadline <= now)
            due << it.key();
    }
    for (const int key : std::as_const(due)) {
        if (!m_requests.contains(key))
            continue;
        if (m_requests[key].received > 0)
            endWithReply(key);
        else
            endWithTimeOut(key);
    }
    armDeadline();
}

void EchoSweep::armDeadline() {
    qint64 earliest = std::numeric_limits<qint64>::max();
    for (const Request& request : std::as_const(m_requests))
        earliest = qMin(earliest, request.deadline);
    if (m_requests.isEmpty()) {
        m_deadline->stop();
        return;
    }
    const qint64 remaining = earliest - monotonicNanoseconds();
    // Rounded up, so a request never ends before its time.
    const qint64 milliseconds =
        qMax<qint64>(0, (remaining + NanosecondsPerMillisecond - 1) / NanosecondsPerMillisecond);
    if (!m_deadline->isActive() || m_deadline->remainingTime() > milliseconds)
        m_deadline->start(int(qMin<qint64>(milliseconds, std::numeric_limits<int>::max())));
}

EchoSweep::Request EchoSweep::take(int key) {
    Request request = m_requests.take(key);
    if (request.family && request.sent)
        request.family->bySequence.remove(request.sequence);
    if (request.lookupId >= 0) {
        QHostInfo::abortHostLookup(request.lookupId);
        m_lookups.remove(request.lookupId);
    }
    return request;
}

void EchoSweep::endWithReply(int key) {
    const Request request = take(key);
    const qint64 micros = request.totalNanoseconds / request.received / 1000;
    emit OnPing(key, request.host, 0, qint32(micros / 1000), micros);
}

void EchoSweep::endWithTimeOut(int key) {
    const Request request = take(key);
    emit OnPing(key, request.host, -1, 0, 0);
}

void EchoSweep::endWithError(int key, const QString& text, qint32 number) {
    take(key);
    emit OnPingError(key, text, number);
}
