#include "platform/EchoSweep.h"
#include "platform/PingControl.h"
#include "platform/PingPacket.h"
#include "PrivateNetwork.h"
#include "TestMain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/mount.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

bool silenceEcho(const char* key, bool silent) {
    return PrivateNetwork::setSysctl(QString::fromLatin1(key), silent ? "1" : "0");
}
const char* const Echo4 = "net/ipv4/icmp_echo_ignore_all";
const char* const Echo6 = "net/ipv6/icmp/echo_ignore_all";

// An echo request seen on the loopback by a raw socket: where it went, from where, and what
// it carried.
struct SeenRequest {
    quint32 source = 0;
    quint32 destination = 0;
    quint16 identifier = 0;
    quint16 sequence = 0;
};

// Sees the echo requests a sweep sends and answers them by hand, in any order, any number of
// times and from any address, while the system's own answers are silenced.
class HandAnswerer final {
public:
    HandAnswerer() {
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    }
    ~HandAnswerer() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    HandAnswerer(const HandAnswerer&) = delete;
    HandAnswerer& operator=(const HandAnswerer&) = delete;

    bool ok() const { return m_fd >= 0; }
    // Reads what has arrived; returns how many requests were seen so far.
    int collect() {
        char buffer[2048];
        for (;;) {
            const ssize_t size = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (size < 28)
                break;
            const auto* p = reinterpret_cast<const uchar*>(buffer);
            const int header = (p[0] & 0x0f) * 4;
            if (size < header + 8 || p[header] != 8)
                continue;
            SeenRequest seen;
            seen.source = qFromBigEndian<quint32>(p + 12);
            seen.destination = qFromBigEndian<quint32>(p + 16);
            seen.identifier = qFromBigEndian<quint16>(p + header + 4);
            seen.sequence = qFromBigEndian<quint16>(p + header + 6);
            requests << seen;
        }
        return int(requests.size());
    }
    const SeenRequest* to(const char* destination) const {
        const quint32 address = ntohl(inet_addr(destination));
        for (const SeenRequest& seen : requests)
            if (seen.destination == address)
                return &seen;
        return nullptr;
    }
    // Sends an echo reply for the request as if from the given address.
    bool answer(const SeenRequest& request, const char* from, quint16 sequenceOffset = 0) {
        const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr(from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(request.source);
        QByteArray packet = PingPacket::echoRequest(request.identifier,
                                                    quint16(request.sequence + sequenceOffset), 8);
        packet[0] = 0; // echo reply
        packet[2] = 0;
        packet[3] = 0;
        const quint16 sum = PingPacket::checksum(packet.constData(), packet.size());
        packet[2] = char(sum >> 8);
        packet[3] = char(sum);
        const bool sent = fd >= 0 &&
                          ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                          ::sendto(fd, packet.constData(), size_t(packet.size()), 0,
                                   reinterpret_cast<sockaddr*>(&to), sizeof to) == packet.size();
        if (fd >= 0)
            ::close(fd);
        return sent;
    }

    QList<SeenRequest> requests;

private:
    int m_fd = -1;
};

// Lets this namespace's users open datagram echo sockets while it lives; raw sockets stay
// preferred second, so the sockets opened are datagram ones.
class DatagramSockets final {
public:
    explicit DatagramSockets(bool wanted) {
        if (!wanted || !PrivateNetwork::entered())
            return;
        m_before = PrivateNetwork::sysctl(Key);
        m_ok = PrivateNetwork::setSysctl(Key, "0 2147483647");
    }
    ~DatagramSockets() {
        if (m_ok)
            PrivateNetwork::setSysctl(Key, m_before);
    }
    DatagramSockets(const DatagramSockets&) = delete;
    DatagramSockets& operator=(const DatagramSockets&) = delete;
    bool ok() const { return m_ok; }

private:
    inline static const QString Key = QStringLiteral("net/ipv4/ping_group_range");
    QByteArray m_before;
    bool m_ok = false;
};

// Names for the lookups: in a mount namespace of this process's own, a hosts file of the test's
// is laid over the system's. Must run first in main, before any thread exists.
bool& privateNames() {
    static bool value = false;
    return value;
}

void enterPrivateNames() {
    static QTemporaryDir folder;
    QFile hosts(folder.filePath(QStringLiteral("hosts")));
    if (!PrivateNetwork::entered() || !folder.isValid() || !hosts.open(QIODevice::WriteOnly))
        return;
    hosts.write("127.0.0.1 localhost\n::1 only-six.test\n127.0.0.1 both.test\n::1 both.test\n");
    hosts.close();
    privateNames() = ::unshare(CLONE_NEWNS) == 0 &&
                     ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                     ::mount(QFile::encodeName(hosts.fileName()).constData(), "/etc/hosts", nullptr,
                             MS_BIND, nullptr) == 0;
}

QList<int> keysOf(const QSignalSpy& spy) {
    QList<int> keys;
    for (const QVariantList& args : spy)
        keys << args.at(0).toInt();
    return keys;
}
} // namespace

class SweepTest : public QObject {
    Q_OBJECT

private slots:
    void parse6_data();
    void parse6();
    void loopback_everyHostOneEvent_data();
    void loopback_everyHostOneEvent();
    void repliesOutOfOrderAndDuplicated_eachRequestEndsOnce();
    void silentHosts_oneWaitForAll();
    void ipv6_controlRepliesAndTimesOut_data();
    void ipv6_controlRepliesAndTimesOut();
    void nameWithBothAddresses_pingsIpv4();
};

void SweepTest::parse6_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sequence");
    QTest::addColumn<QString>("text");
    const int other = int(PingPacket::Kind::Other);
    const int reply = int(PingPacket::Kind::EchoReply);
    const int error = int(PingPacket::Kind::Error);
    const QByteArray ip6 = hex("60000000 0010 3a40") + QByteArray(32, '\1');
    QTest::newRow("reply") << hex("8100 0000 1234 0009 6162") << reply << 9 << QString();
    QTest::newRow("request is not ours") << hex("8000 0000 1234 0009") << other << 0 << QString();
    QTest::newRow("short") << hex("8100 0000 1234") << other << 0 << QString();
    QTest::newRow("address unreachable")
        << hex("0103 0000 00000000") + ip6 + hex("8000 0000 1234 000a") << error << 10
        << QStringLiteral("Destination host unreachable.");
    QTest::newRow("time exceeded") << hex("0300 0000 00000000") + ip6 + hex("8000 0000 1234 000b")
                                   << error << 11 << QStringLiteral("TTL expired in transit.");
    QTest::newRow("error quoting a reply")
        << hex("0103 0000 00000000") + ip6 + hex("8100 0000 1234 000a") << other << 0 << QString();
    QTest::newRow("error with truncated quote")
        << hex("0103 0000 00000000") + ip6.left(20) << other << 0 << QString();
}

void SweepTest::parse6() {
    QFETCH(QByteArray, packet);
    QFETCH(int, kind);
    QFETCH(int, sequence);
    QFETCH(QString, text);
    const PingPacket::Message message = PingPacket::parse6(packet.constData(), packet.size());
    QCOMPARE(int(message.kind), kind);
    if (kind == int(PingPacket::Kind::Other))
        return;
    QCOMPARE(message.identifier, quint16(0x1234));
    QCOMPARE(int(message.sequence), sequence);
    if (!text.isEmpty())
        QCOMPARE(PingPacket::errorText6(message.type, message.code), text);
}

void SweepTest::loopback_everyHostOneEvent_data() {
    QTest::addColumn<bool>("datagram");
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<QStringList>("errors"); // per host: empty for a reply
    for (const bool datagram : {false, true}) {
        const char* kind = datagram ? "datagram" : "default";
        QTest::addRow("%s: ipv4 loopback range", kind)
            << datagram << QStringList{"127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.4"}
            << QStringList{{}, {}, {}, {}};
        QTest::addRow("%s: ipv6 and ipv4 mixed", kind)
            << datagram << QStringList{"::1", "127.0.0.1", "localhost"} << QStringList{{}, {}, {}};
        QTest::addRow("%s: bad host among good", kind)
            << datagram << QStringList{"127.0.0.1", "", "::1"}
            << QStringList{{}, QStringLiteral("No host name was given."), {}};
    }
}

void SweepTest::loopback_everyHostOneEvent() {
    QFETCH(bool, datagram);
    QFETCH(QStringList, hosts);
    QFETCH(QStringList, errors);
    if (datagram && !PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to change ping_group_range");
    DatagramSockets sockets(datagram);
    QCOMPARE(sockets.ok(), datagram);
    EchoSweep sweep;
    sweep.setTimeOut(3000);
    // Two replies each: the next request of a host goes out only when the first is answered.
    sweep.setCount(2);
    QSignalSpy replies(&sweep, &EchoSweep::OnPing);
    QSignalSpy failures(&sweep, &EchoSweep::OnPingError);
    for (int key = 0; key < hosts.size(); ++key)
        sweep.Ping(key, hosts.at(key));
    QCOMPARE(replies.count() + failures.count(), 0);
    QTRY_COMPARE(sweep.outstanding(), 0);
    if (sweep.socketKind(AF_INET) == PingSocket::Kind::None &&
        sweep.socketKind(AF_INET6) == PingSocket::Kind::None)
        QSKIP("this process may open no ICMP socket");
    QCOMPARE(replies.count() + failures.count(), hosts.size());
    for (const QVariantList& reply : std::as_const(replies)) {
        const int key = reply.at(0).toInt();
        QVERIFY2(errors.at(key).isEmpty(), qPrintable(hosts.at(key)));
        QCOMPARE(reply.at(1).toString(), hosts.at(key));
        QCOMPARE(reply.at(2).toInt(), 0);
    }
    for (const QVariantList& failure : std::as_const(failures))
        QCOMPARE(failure.at(1).toString(), errors.at(failure.at(0).toInt()));
    if (datagram) {
        QCOMPARE(sweep.socketKind(AF_INET), PingSocket::Kind::Datagram);
        if (hosts.contains(QStringLiteral("::1")))
            QCOMPARE(sweep.socketKind(AF_INET6), PingSocket::Kind::Datagram);
    }
}

void SweepTest::repliesOutOfOrderAndDuplicated_eachRequestEndsOnce() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to silence echo replies");
    HandAnswerer answerer;
    if (!answerer.ok())
        QSKIP("needs a raw socket to answer by hand");
    QVERIFY(silenceEcho(Echo4, true));
    auto restore = qScopeGuard([] { silenceEcho(Echo4, false); });

    EchoSweep sweep;
    sweep.setTimeOut(5000);
    QSignalSpy replies(&sweep, &EchoSweep::OnPing);
    QSignalSpy failures(&sweep, &EchoSweep::OnPingError);
    sweep.Ping(0, QStringLiteral("127.0.0.2"));
    sweep.Ping(1, QStringLiteral("127.0.0.3"));
    sweep.Ping(2, QStringLiteral("127.0.0.4"));
    QTRY_COMPARE(answerer.collect(), 3);
    const SeenRequest first = *answerer.to("127.0.0.2");
    const SeenRequest second = *answerer.to("127.0.0.3");
    const SeenRequest third = *answerer.to("127.0.0.4");

    // The last first, then a reply from a host that was not asked, one to a sequence never
    // sent, the second twice, and the first last.
    QVERIFY(answerer.answer(third, "127.0.0.4"));
    QTRY_COMPARE(keysOf(replies), QList<int>{2});
    QVERIFY(answerer.answer(first, "127.0.0.9"));
    QVERIFY(answerer.answer(first, "127.0.0.2", 100));
    QVERIFY(answerer.answer(second, "127.0.0.3"));
    QVERIFY(answerer.answer(second, "127.0.0.3"));
    QTRY_COMPARE(keysOf(replies), (QList<int>{2, 1}));
    QCOMPARE(sweep.outstanding(), 1);
    QVERIFY(answerer.answer(first, "127.0.0.2"));
    QTRY_COMPARE(sweep.outstanding(), 0);
    // Replies on one socket arrive in order: the duplicate came before the last reply.
    QCOMPARE(keysOf(replies), (QList<int>{2, 1, 0}));
    QCOMPARE(failures.count(), 0);
    for (const QVariantList& reply : std::as_const(replies))
        QCOMPARE(reply.at(2).toInt(), 0);
}

void SweepTest::silentHosts_oneWaitForAll() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to silence echo replies");
    QVERIFY(silenceEcho(Echo4, true));
    auto restore = qScopeGuard([] { silenceEcho(Echo4, false); });
    EchoSweep sweep;
    sweep.setTimeOut(1500);
    QSignalSpy replies(&sweep, &EchoSweep::OnPing);
    QElapsedTimer elapsed;
    elapsed.start();
    for (int key = 0; key < 20; ++key)
        sweep.Ping(key, QStringLiteral("127.0.1.%1").arg(key + 1));
    QTRY_COMPARE_WITH_TIMEOUT(sweep.outstanding(), 0, 10000);
    QCOMPARE(replies.count(), 20);
    for (const QVariantList& reply : std::as_const(replies))
        QCOMPARE(reply.at(2).toInt(), -1);
    // No request ends before its own time-out.
    QVERIFY(elapsed.elapsed() >= 1500);
}

void SweepTest::ipv6_controlRepliesAndTimesOut_data() {
    QTest::addColumn<bool>("datagram");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("host");
    QTest::newRow("::1 answers") << false << false << "::1";
    QTest::newRow("long form answers") << false << false << "0:0:0:0:0:0:0:1";
    QTest::newRow("::1 silenced times out") << false << true << "::1";
    QTest::newRow("datagram: ::1 answers") << true << false << "::1";
    QTest::newRow("name with only an IPv6 address") << false << false << "only-six.test";
    QTest::newRow("name with only an IPv6 address, silenced") << false << true << "only-six.test";
    QTest::newRow("datagram: ::1 silenced times out") << true << true << "::1";
}

void SweepTest::ipv6_controlRepliesAndTimesOut() {
    QFETCH(bool, datagram);
    QFETCH(bool, silent);
    QFETCH(QString, host);
    if ((silent || datagram) && !PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to silence echo or allow echo sockets");
    if (host.endsWith(QStringLiteral(".test")) && !privateNames())
        QSKIP("needs a hosts file of its own");
    DatagramSockets sockets(datagram);
    QCOMPARE(sockets.ok(), datagram);
    if (silent && PrivateNetwork::sysctl(QString::fromLatin1(Echo6)).isEmpty())
        QSKIP("this system cannot silence ICMPv6 echo");
    if (silent)
        QVERIFY(silenceEcho(Echo6, true));
    auto restore = qScopeGuard([silent] {
        if (silent)
            silenceEcho(Echo6, false);
    });
    PingControl control(3);
    control.setTimeOut(1000);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    QElapsedTimer elapsed;
    elapsed.start();
    control.Ping(host);
    QCOMPARE(control.Busy(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(replies.count() + errors.count(), 1, 5000);
    QCOMPARE(control.Busy(), 0);
    if (!errors.isEmpty() && errors.first().at(1).toString() == PingSocket::permissionText())
        QSKIP("this process may open no ICMPv6 socket");
    QCOMPARE(errors.count(), 0);
    QCOMPARE(replies.first().at(0).toInt(), 3);
    QCOMPARE(replies.first().at(1).toString(), host);
    QCOMPARE(replies.first().at(2).toInt(), silent ? -1 : 0);
    if (silent)
        QVERIFY(elapsed.elapsed() >= 1000);
    // The control is free again for the next request.
    control.Ping(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(replies.count() + errors.count(), 2);
}

void SweepTest::nameWithBothAddresses_pingsIpv4() {
    if (!privateNames())
        QSKIP("needs a hosts file of its own");
    EchoSweep sweep;
    sweep.setTimeOut(2000);
    QSignalSpy replies(&sweep, &EchoSweep::OnPing);
    sweep.Ping(7, QStringLiteral("both.test"));
    QTRY_COMPARE(sweep.outstanding(), 0);
    if (sweep.socketKind(AF_INET) == PingSocket::Kind::None)
        QSKIP("this process may open no ICMP socket");
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replies.first().at(2).toInt(), 0);
    QCOMPARE(sweep.socketKind(AF_INET6), PingSocket::Kind::None);
}

int main(int argc, char* argv[]) {
    PrivateNetwork::enter();
    enterPrivateNames();
    ORVEX_TEST_SETUP()
    QCoreApplication app(argc, argv);
    SweepTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sweep.moc"
