#include "platform/SocketControl.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr qint32 InvalidArgument = 10022;
constexpr qint32 WrongState = 40020;
// How long one address may take to answer a connect, as the socket library allows.
constexpr int AttemptMilliseconds = 30000;

struct SocketFailure {
    QAbstractSocket::SocketError error;
    QString description;
};

SocketFailure failureOf(int error) {
    using S = QAbstractSocket;
    switch (error) {
    case ECONNREFUSED:
        return {S::ConnectionRefusedError, QStringLiteral("Connection refused")};
    case ETIMEDOUT:
        return {S::SocketTimeoutError, QStringLiteral("Connection timed out")};
    case ENETUNREACH:
        return {S::NetworkError, QStringLiteral("Network unreachable")};
    case EHOSTUNREACH:
        return {S::NetworkError, QStringLiteral("Host unreachable")};
    case EACCES:
    case EPERM:
        return {S::SocketAccessError, QStringLiteral("Permission denied")};
    case EADDRINUSE:
        return {S::AddressInUseError, QStringLiteral("Address in use")};
    case EADDRNOTAVAIL:
        return {S::SocketAddressNotAvailableError, QStringLiteral("The address is not available")};
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
        return {S::SocketResourceError, QStringLiteral("Insufficient resources")};
    default:
        return {S::UnknownSocketError, QString::fromLocal8Bit(std::strerror(error))};
    }
}

// The socket address of address and port; false for an address that is no IP address.
bool socketAddress(const QHostAddress& address, quint16 port, sockaddr_storage& out,
                   socklen_t& length) {
    out = {};
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&out);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
        return true;
    }
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&out);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        const QString scope = address.scopeId();
        bool numeric = false;
        const uint index = scope.toUInt(&numeric);
        in6->sin6_scope_id = numeric ? index : ::if_nametoindex(scope.toLatin1().constData());
        length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}
} // namespace

SocketControl::SocketControl(qint16 index, QObject* parent)
    : QObject(parent)
    , m_index(index)
    , m_socket(new QTcpSocket(this))
    , m_attemptTimer(new QTimer(this)) {
    m_attemptTimer->setSingleShot(true);
    m_attemptTimer->setInterval(AttemptMilliseconds);
    connect(m_attemptTimer, &QTimer::timeout, this, &SocketControl::attemptTimedOut);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &SocketControl::socketError);
    connect(m_socket, &QAbstractSocket::disconnected, this, &SocketControl::socketDisconnected);
}

SocketControl::~SocketControl() {
    endAttempt();
}

void SocketControl::Connect() {
    if (m_state != sckClosed) {
        // The running attempt goes on; only this request fails.
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (m_generation == generation)
                    emit OnError(m_index, WrongState,
                                 QStringLiteral("Wrong protocol or connection state for the "
                                                "requested transaction or request"));
            },
            Qt::QueuedConnection);
        return;
    }
    ++m_generation;
    // Until its outcome is delivered the attempt counts as under way.
    m_state = sckConnecting;
    m_lastErrno = ECONNREFUSED;
    if (m_remotePort < 1 || m_remotePort > 65535) {
        raiseError(InvalidArgument, QStringLiteral("Invalid port number %1").arg(m_remotePort));
        return;
    }
    if (m_localPort < 0 || m_localPort > 65535) {
        raiseError(InvalidArgument, QStringLiteral("Invalid local port %1").arg(m_localPort));
        return;
    }
    const QHostAddress literal(m_remoteHost);
    if (!literal.isNull()) {
        m_addresses = {literal};
        tryNextAddress();
        return;
    }
    m_state = sckResolvingHost;
    m_lookupId = QHostInfo::lookupHost(m_remoteHost, this, &SocketControl::lookedUp);
}

void SocketControl::Close() {
    ++m_generation;
    m_outcomeQueued = false;
    m_state = sckClosed;
    endAttempt();
    m_socket->abort();
}

void SocketControl::lookedUp(const QHostInfo& info) {
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        raiseError(errorNumber(QAbstractSocket::HostNotFoundError),
                   QStringLiteral("Host not found"));
        return;
    }
    m_state = sckConnecting;
    m_addresses = info.addresses();
    tryNextAddress();
}

// Each address is tried once, in the order given, until one accepts; the error of the last
// one is the outcome when none does.
void SocketControl::tryNextAddress() {
    while (!m_addresses.isEmpty()) {
        const QHostAddress address = m_addresses.takeFirst();
        sockaddr_storage target;
        socklen_t length = 0;
        if (!socketAddress(address, quint16(m_remotePort), target, length)) {
            m_lastErrno = EAFNOSUPPORT;
            continue;
        }
        const int fd = ::socket(target.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            m_lastErrno = errno;
            continue;
        }
        if (m_localPort != 0) {
            sockaddr_storage local;
            socklen_t localLength = 0;
            socketAddress(target.ss_family == AF_INET6 ? QHostAddress(QHostAddress::AnyIPv6)
                                                       : QHostAddress(QHostAddress::AnyIPv4),
                          quint16(m_localPort), local, localLength);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&local), localLength) != 0) {
                m_lastErrno = errno;
                ::close(fd);
                continue;
            }
        }
        if (::connect(fd, reinterpret_cast<sockaddr*>(&target), length) == 0)
            return accepted(fd);
        if (errno == EINPROGRESS) {
            m_fd = fd;
            m_notifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &SocketControl::attemptEnded);
            m_attemptTimer->start();
            return;
        }
        m_lastErrno = errno;
        ::close(fd);
    }
    failedWithErrno(m_lastErrno);
}

void SocketControl::attemptEnded() {
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    const int fd = m_fd;
    m_fd = -1;
    dropConnectingSocket();
    if (error == 0)
        return accepted(fd);
    ::close(fd);
    m_lastErrno = error;
    tryNextAddress();
}

void SocketControl::attemptTimedOut() {
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    dropConnectingSocket();
    m_lastErrno = ETIMEDOUT;
    tryNextAddress();
}

// Lets go of the notifier and timer of a connecting socket; the caller keeps or closes it.
void SocketControl::dropConnectingSocket() {
    m_attemptTimer->stop();
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
}

void SocketControl::accepted(int fd) {
    m_addresses.clear();
    if (!m_socket->setSocketDescriptor(fd, QAbstractSocket::ConnectedState)) {
        ::close(fd);
        raiseError(errorNumber(m_socket->error()), m_socket->errorString());
        return;
    }
    const quint64 generation = m_generation;
    m_outcomeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (m_generation != generation)
                return;
            m_outcomeQueued = false;
            m_state = sckConnected;
            emit OnConnect(m_index);
            // A peer that ended the connection before the event was delivered.
            if (m_generation == generation && m_state == sckConnected &&
                m_socket->state() != QAbstractSocket::ConnectedState)
                Close();
        },
        Qt::QueuedConnection);
}

void SocketControl::failedWithErrno(int error) {
    const SocketFailure failure = failureOf(error);
    raiseError(errorNumber(failure.error), failure.description);
}

void SocketControl::endAttempt() {
    m_addresses.clear();
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    dropConnectingSocket();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void SocketControl::socketError(QAbstractSocket::SocketError error) {
    // Only an accepted connection lives on the socket; one that ends before its connect event
    // is handled when that event is delivered.
    if (m_state != sckConnected || m_outcomeQueued)
        return;
    if (error == QAbstractSocket::RemoteHostClosedError)
        return; // the peer ended the connection: socketDisconnected closes
    raiseError(errorNumber(error), m_socket->errorString());
}

void SocketControl::socketDisconnected() {
    if (m_state == sckConnected && !m_outcomeQueued) {
        m_state = sckClosing;
        Close();
    }
}

void SocketControl::raiseError(qint32 number, const QString& description) {
    const quint64 generation = m_generation;
    m_outcomeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, generation, number, description] {
            if (m_generation != generation)
                return;
            m_outcomeQueued = false;
            m_state = sckError;
            emit OnError(m_index, number, description);
            if (m_generation == generation && m_state == sckError)
                Close();
        },
        Qt::QueuedConnection);
}

qint32 SocketControl::errorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10053;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::NetworkError:
        return 10065;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    default:
        return 10000 + int(error);
    }
}
