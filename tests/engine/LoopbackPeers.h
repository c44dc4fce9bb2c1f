#pragma once

#include <QTcpServer>
#include <QtGlobal>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// Loopback peers for connect tests.
namespace LoopbackPeers {

// A port on 127.0.0.1 where nothing listens: a connect there is refused at once.
inline quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// A listener on 127.0.0.1 that never accepts and whose accept queue is full, so a further
// connect is never answered: its SYN is dropped and retried until the listener closes.
class SilentListener final {
public:
    SilentListener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 0) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        // One finished connection fills a queue of length 0; the second stays half open.
        for (int& filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
        pollfd first{m_fillers[0], POLLOUT, 0};
        m_ok = ::poll(&first, 1, 2000) == 1;
    }
    ~SilentListener() {
        close();
        for (int filler : m_fillers) {
            if (filler >= 0)
                ::close(filler);
        }
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool ok() const { return m_ok; }
    quint16 port() const { return m_port; }
    // After this, retried SYNs are refused.
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    int m_fillers[2] = {-1, -1};
    quint16 m_port = 0;
    bool m_ok = false;
};

// Counts the connection attempts (SYN segments) that reach a port of the loopback: a raw TCP
// socket receives a copy of every TCP segment the host takes in. Needs the raw-socket
// capability; ok() tells whether it could be opened.
class SynCounter final {
public:
    explicit SynCounter(quint16 port)
        : m_port(port) {
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    }
    ~SynCounter() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SynCounter(const SynCounter&) = delete;
    SynCounter& operator=(const SynCounter&) = delete;

    bool ok() const { return m_fd >= 0; }
    // The attempts seen so far.
    int count() {
        uchar packet[2048];
        for (;;) {
            const ssize_t size = ::recv(m_fd, packet, sizeof packet, 0);
            if (size < 20)
                return m_count;
            const qsizetype header = qsizetype(packet[0] & 0x0f) * 4;
            if (size < header + 14)
                continue;
            const uchar* tcp = packet + header;
            const quint16 destination = quint16((tcp[2] << 8) | tcp[3]);
            const uchar flags = tcp[13];
            constexpr uchar Syn = 0x02;
            constexpr uchar Ack = 0x10;
            if (destination == m_port && (flags & Syn) && !(flags & Ack))
                ++m_count;
        }
    }

private:
    int m_fd = -1;
    quint16 m_port;
    int m_count = 0;
};

} // namespace LoopbackPeers
