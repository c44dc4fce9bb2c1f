#include "platform/PingSocket.h"

#include "platform/PingPacket.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace PingSocket {

Opening open(const Opener& opener) {
    Opening result;
    errno = 0;
    result.fd = opener(SOCK_DGRAM);
    if (result.fd >= 0) {
        result.kind = Kind::Datagram;
        return result;
    }
    result.datagramError = errno;
    errno = 0;
    result.fd = opener(SOCK_RAW);
    if (result.fd >= 0) {
        result.kind = Kind::Raw;
        return result;
    }
    result.rawError = errno;
    result.fd = -1;
    return result;
}

Opening open(int family) {
    const int protocol = family == AF_INET6 ? int(IPPROTO_ICMPV6) : int(IPPROTO_ICMP);
    return open([family, protocol](int type) {
        return ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    });
}

QString permissionText() {
    return QStringLiteral("ICMP echo is not permitted for this user.");
}

QString grantAdvice(const QString& program) {
    return QStringLiteral(
               "ICMP echo is not permitted for this user, so every ping check fails. As root, "
               "either allow echo sockets for the user's group with: sysctl -w "
               "net.ipv4.ping_group_range=\"0 2147483647\" (add the setting to /etc/sysctl.d to "
               "keep it), or give the program the raw-socket capability with: setcap "
               "cap_net_raw+ep ") +
           program;
}

bool permitted() {
    const Opening opening = open();
    if (opening.fd < 0)
        return false;
    ::close(opening.fd);
    return true;
}

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Datagram:
        return QStringLiteral("datagram");
    case Kind::Raw:
        return QStringLiteral("raw");
    case Kind::None:
        break;
    }
    return QStringLiteral("none");
}

} // namespace PingSocket

quint16 PingSocket::nextRawIdentifier() {
    static std::atomic<quint32> instances{0};
    return quint16((quint32(::getpid()) * 131u + 40503u + instances.fetch_add(1) * 9973u) &
                   0xffffu);
}

qint64 PingSocket::monotonicNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString PingSocket::systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

PingSocket::QueuedError PingSocket::readQueuedError(int fd, bool v6) {
    char data[1280];
    char control[512];
    sockaddr_storage offender{};
    iovec io{data, sizeof data};
    msghdr message{};
    message.msg_name = &offender;
    message.msg_namelen = sizeof offender;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t size = ::recvmsg(fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
    QueuedError error;
    if (size < 0)
        return error;
    error.read = QueuedError::Read::Unusable;
    const sock_extended_err* report = nullptr;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if ((c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_RECVERR) ||
            (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_RECVERR))
            report = reinterpret_cast<const sock_extended_err*>(CMSG_DATA(c));
    }
    // The data is the echo request the error is about; it names the sequence.
    if (!report || size < PingPacket::HeaderSize)
        return error;
    error.read = QueuedError::Read::Found;
    error.sequence = quint16((uchar(data[6]) << 8) | uchar(data[7]));
    if (report->ee_origin == SO_EE_ORIGIN_ICMP || report->ee_origin == SO_EE_ORIGIN_ICMP6) {
        error.text = v6 ? PingPacket::errorText6(report->ee_type, report->ee_code)
                        : PingPacket::errorText(report->ee_type, report->ee_code);
        error.code = 11000 + report->ee_type;
    } else {
        error.text = systemErrorText(int(report->ee_errno)) + QLatin1Char('.');
        error.code = int(report->ee_errno);
    }
    return error;
}
