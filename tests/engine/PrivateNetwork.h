#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstring>
#include <linux/capability.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

// Network tests run in a network namespace of their own when the process may create one: only
// a loopback interface, no route out, so a name lookup or a stray packet cannot leave the
// machine, and the ICMP settings changed by a test vanish with the process.
namespace PrivateNetwork {

inline bool& entered() {
    static bool value = false;
    return value;
}

// Runs a command and tells whether it succeeded.
inline bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Must run first in main, before any thread exists, so that every thread lives in it.
inline bool enter() {
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNET) != 0)
        return false;
    // The new namespace's loopback starts down.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0)
        ::close(fd);
    entered() = up;
    return up;
}

// Writes a setting of this namespace, such as "net/ipv4/icmp_echo_ignore_all".
inline bool setSysctl(const QString& key, const QByteArray& value) {
    QFile file(QStringLiteral("/proc/sys/") + key);
    return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
}

inline QByteArray sysctl(const QString& key) {
    QFile file(QStringLiteral("/proc/sys/") + key);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// Keeps CAP_NET_RAW out of the calling thread's effective set while it lives; the permitted
// set keeps it, so it comes back afterwards.
class WithoutRawSockets final {
public:
    WithoutRawSockets() {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[CAP_TO_INDEX(CAP_NET_RAW)].effective &= ~CAP_TO_MASK(CAP_NET_RAW);
        m_ok = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutRawSockets() {
        if (m_ok)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutRawSockets(const WithoutRawSockets&) = delete;
    WithoutRawSockets& operator=(const WithoutRawSockets&) = delete;
    bool ok() const { return m_ok; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
};

// A second namespace that routes 10.200.1.0/24 towards the test's own namespace and answers
// for 10.200.9.9 with "host unreachable", so a test sees a real ICMP error arrive.
class UnreachableRouter final {
public:
    UnreachableRouter()
        : m_name(QStringLiteral("orvex-router-%1-%2").arg(::getpid()).arg(++instances())) {
        const QString ip = QStringLiteral("ip");
        m_created = run(ip, {"netns", "add", m_name});
        m_ok = m_created &&
               run(ip, {"link", "add", "orvex0", "type", "veth", "peer", "name", "orvex1", "netns",
                        m_name}) &&
               run(ip, {"addr", "add", "10.200.1.1/24", "dev", "orvex0"}) &&
               run(ip, {"link", "set", "orvex0", "up"}) &&
               run(ip, {"route", "add", "10.200.9.0/24", "via", "10.200.1.2"}) &&
               run(ip, {"-n", m_name, "addr", "add", "10.200.1.2/24", "dev", "orvex1"}) &&
               run(ip, {"-n", m_name, "link", "set", "orvex1", "up"}) &&
               run(ip, {"-n", m_name, "link", "set", "lo", "up"}) &&
               run(ip, {"netns", "exec", m_name, "sh", "-c",
                        "echo 1 > /proc/sys/net/ipv4/ip_forward; "
                        "echo 0 > /proc/sys/net/ipv4/icmp_ratelimit"}) &&
               run(ip, {"-n", m_name, "route", "add", "unreachable", "10.200.9.9"});
    }
    ~UnreachableRouter() {
        // Deleting the link takes both ends at once; the namespace itself goes away lazily.
        run(QStringLiteral("ip"), {"link", "del", "orvex0"});
        if (m_created)
            run(QStringLiteral("ip"), {"netns", "del", m_name});
    }
    UnreachableRouter(const UnreachableRouter&) = delete;
    UnreachableRouter& operator=(const UnreachableRouter&) = delete;
    bool ok() const { return m_ok; }

private:
    static int& instances() {
        static int count = 0;
        return count;
    }

    QString m_name;
    bool m_created = false;
    bool m_ok = false;
};

} // namespace PrivateNetwork
