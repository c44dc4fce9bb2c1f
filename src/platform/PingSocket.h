#pragma once

#include <functional>
#include <QString>
#include <sys/socket.h>

// Which kind of ICMP socket the process may open. An unprivileged datagram socket works where
// net.ipv4.ping_group_range holds one of the process's groups; a raw socket needs the
// CAP_NET_RAW capability. The datagram socket is preferred: the kernel hands it only the
// replies to its own requests.
namespace PingSocket {

enum class Kind { None, Datagram, Raw };

struct Opening {
    int fd = -1;
    Kind kind = Kind::None;
    int datagramError = 0; // errno of the datagram attempt, 0 when it was not needed
    int rawError = 0;      // errno of the raw attempt
};

// Opens a socket of the given type (SOCK_DGRAM or SOCK_RAW) for ICMP; -1 with errno set on
// failure. Tests replace it to walk the choice.
using Opener = std::function<int(int type)>;

Opening open(const Opener& opener);
// Opens with the system's socket(2), non-blocking and close-on-exec: ICMP for AF_INET,
// ICMPv6 for AF_INET6.
Opening open(int family = AF_INET);

// What a request ends with when neither kind of socket may be opened.
QString permissionText();
// How to grant the permission, for the program at the given path; said once, not per request.
QString grantAdvice(const QString& program);
// Whether this process may open either kind of socket now.
bool permitted();

QString kindName(Kind kind);

// A raw socket sees every ICMP message of the host, so every control and sweep of the process
// takes an identifier of its own from this one sequence.
quint16 nextRawIdentifier();
qint64 monotonicNanoseconds();
QString systemErrorText(int error);

// One message from a datagram socket's error queue: an ICMP error or a local failure about
// one of its echo requests, as the request's result text and code.
struct QueuedError {
    enum class Read { Empty, Unusable, Found };
    Read read = Read::Empty;
    quint16 sequence = 0; // of the echo request it is about
    QString text;
    int code = 0;
};
// Takes the next message of the queue without waiting; Empty when there is none.
QueuedError readQueuedError(int fd, bool v6);

} // namespace PingSocket
