#include "platform/PingControl.h"
#include "platform/PingPacket.h"
#include "PrivateNetwork.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <cerrno>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Bytes written as hex, blanks ignored.
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const char* const IpHeader = "45000054 0000 4000 4001 0000 7f000001 7f000001";
const char* const OurEcho = "0800 f7ff 1234 0007";
const char* const Reply = "0000 0000 1234 0007 61626364";
const char* const Unreachable = "0301 0000 00000000";

struct Outcome {
    QList<QVariantList> replies;
    QList<QVariantList> errors;
};
} // namespace

class PingTest : public QObject {
    Q_OBJECT

private:
    // Pings once and waits for the request's event; both spies are returned for inspection.
    static void pingOnce(PingControl& control, const QString& host, QSignalSpy& replies,
                         QSignalSpy& errors, int waitMs) {
        control.Ping(host);
        QCOMPARE(control.Busy(), 1);
        // Events come from the event loop, never from inside Ping().
        QCOMPARE(replies.count() + errors.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(replies.count() + errors.count(), 1, waitMs);
        QCOMPARE(control.Busy(), 0);
    }

private slots:
    void parse_data();
    void parse();
    void echoRequest_checksumVerifies();
    void socketChoice_data();
    void socketChoice();
    void loopback_replies_data();
    void loopback_replies();
    void localhostName_resolvesAndReplies();
    void unresolvableName_endsInError();
    void silentHost_timesOut();
    void datagramSocket_usedWhereGroupAllowed();
    void noPermission_eachRequestEndsInShortError();
    void unreachableHost_reportedAsErrorBeforeTimeOut_data();
    void unreachableHost_reportedAsErrorBeforeTimeOut();
    void concurrentControls_ignoreEachOthersReplies();
    void badOptions_endInError_data();
    void badOptions_endInError();
};

void PingTest::parse_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("withIpHeader");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("identifier");
    QTest::addColumn<int>("sequence");

    const int other = int(PingPacket::Kind::Other);
    const int reply = int(PingPacket::Kind::EchoReply);
    const int error = int(PingPacket::Kind::Error);
    QTest::newRow("datagram reply") << hex(Reply) << false << reply << 0x1234 << 7;
    QTest::newRow("raw reply") << hex(IpHeader) + hex(Reply) << true << reply << 0x1234 << 7;
    QTest::newRow("raw reply with ip options")
        << hex("46000058 0000 4000 4001 0000 7f000001 7f000001 01010100") + hex(Reply) << true
        << reply << 0x1234 << 7;
    QTest::newRow("unreachable quoting our echo")
        << hex(IpHeader) + hex(Unreachable) + hex(IpHeader) + hex(OurEcho) << true << error
        << 0x1234 << 7;
    QTest::newRow("unreachable quoting udp")
        << hex(IpHeader) + hex(Unreachable) +
               hex("45000054 0000 4000 4011 0000 7f000001 7f000001") + hex("d431 0035 0008 0000")
        << true << other << 0 << 0;
    QTest::newRow("unreachable with cut quote")
        << hex(IpHeader) + hex(Unreachable) + hex(IpHeader) + hex("0800 f7ff") << true << other << 0
        << 0;
    QTest::newRow("echo request is not a reply") << hex(OurEcho) << false << other << 0 << 0;
    QTest::newRow("redirect is advice only")
        << hex("0501 0000 7f000001") + hex(IpHeader) + hex(OurEcho) << false << other << 0 << 0;
    QTest::newRow("short header") << hex("0000 0000 1234") << false << other << 0 << 0;
    QTest::newRow("header length past the end")
        << hex("4f000054 0000 4000 4001 0000 7f000001 7f000001") + hex(Reply) << true << other << 0
        << 0;
    QTest::newRow("not icmp") << hex("45000054 0000 4000 4006 0000 7f000001 7f000001") + hex(Reply)
                              << true << other << 0 << 0;
    QTest::newRow("empty") << QByteArray() << true << other << 0 << 0;
}

void PingTest::parse() {
    QFETCH(QByteArray, packet);
    QFETCH(bool, withIpHeader);
    const PingPacket::Message message =
        PingPacket::parse(packet.constData(), packet.size(), withIpHeader);
    QTEST(int(message.kind), "kind");
    QTEST(int(message.identifier), "identifier");
    QTEST(int(message.sequence), "sequence");
}

void PingTest::echoRequest_checksumVerifies() {
    for (const int size : {0, 1, 32, 1001}) {
        const QByteArray packet = PingPacket::echoRequest(0xbeef, 0x0102, size);
        QCOMPARE(packet.size(), PingPacket::HeaderSize + size);
        QCOMPARE(PingPacket::checksum(packet.constData(), packet.size()), quint16(0));
        const PingPacket::Message asSeen =
            PingPacket::parse(packet.constData(), packet.size(), false);
        QCOMPARE(asSeen.kind, PingPacket::Kind::Other);
    }
}

void PingTest::socketChoice_data() {
    QTest::addColumn<int>("datagramErrno");
    QTest::addColumn<int>("rawErrno");
    QTest::addColumn<int>("kind");
    QTest::newRow("group allowed") << 0 << 0 << int(PingSocket::Kind::Datagram);
    QTest::newRow("raw capability only") << EACCES << 0 << int(PingSocket::Kind::Raw);
    QTest::newRow("neither") << EACCES << EPERM << int(PingSocket::Kind::None);
}

void PingTest::socketChoice() {
    QFETCH(int, datagramErrno);
    QFETCH(int, rawErrno);
    QStringList tried;
    const PingSocket::Opening opening = PingSocket::open([&](int type) {
        tried << (type == SOCK_DGRAM ? QStringLiteral("datagram") : QStringLiteral("raw"));
        const int error = type == SOCK_DGRAM ? datagramErrno : rawErrno;
        errno = error;
        return error ? -1 : 42;
    });
    QTEST(int(opening.kind), "kind");
    QCOMPARE(opening.fd >= 0, opening.kind != PingSocket::Kind::None);
    QCOMPARE(tried.first(), QStringLiteral("datagram"));
    QCOMPARE(tried.size(), datagramErrno ? 2 : 1);
    if (opening.kind == PingSocket::Kind::None) {
        QCOMPARE(opening.datagramError, datagramErrno);
        QCOMPARE(opening.rawError, rawErrno);
    }
}

void PingTest::loopback_replies_data() {
    QTest::addColumn<qint16>("count");
    QTest::addColumn<qint16>("packetSize");
    QTest::newRow("one echo, default size") << qint16(1) << qint16(32);
    QTest::newRow("three echoes") << qint16(3) << qint16(32);
    QTest::newRow("empty payload") << qint16(1) << qint16(0);
    QTest::newRow("large payload") << qint16(2) << qint16(8000);
}

void PingTest::loopback_replies() {
    QFETCH(qint16, count);
    QFETCH(qint16, packetSize);
    PingControl control(0);
    control.setCount(count);
    control.setPacketSize(packetSize);
    control.setTimeOut(5000);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    pingOnce(control, QStringLiteral("127.0.0.1"), replies, errors, 6000);
    if (control.socketKind() == PingSocket::Kind::None) {
        QCOMPARE(errors.value(0).value(1).toString(), PingSocket::permissionText());
        QSKIP("this process may open no ICMP socket");
    }
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(1).toString()));
    const QVariantList reply = replies.first();
    QCOMPARE(reply.at(0).value<qint16>(), qint16(0));
    QCOMPARE(reply.at(1).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(reply.at(2).toInt(), 0);
    QVERIFY(reply.at(3).toInt() >= 0);
    QVERIFY(reply.at(4).toLongLong() > 0);
    QCOMPARE(reply.at(3).toLongLong(), reply.at(4).toLongLong() / 1000);
    // Exactly one event per request: nothing follows.
    QVERIFY(!replies.wait(100));
    QCOMPARE(replies.count() + errors.count(), 1);
}

void PingTest::localhostName_resolvesAndReplies() {
    PingControl control(3);
    control.setTimeOut(5000);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    pingOnce(control, QStringLiteral("localhost"), replies, errors, 6000);
    if (control.socketKind() == PingSocket::Kind::None)
        QSKIP("this process may open no ICMP socket");
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replies.first().at(0).value<qint16>(), qint16(3));
    QCOMPARE(replies.first().at(2).toInt(), 0);
}

void PingTest::unresolvableName_endsInError() {
    if (!PrivateNetwork::entered())
        QSKIP("a name lookup may leave the machine outside a private network namespace");
    PingControl control(0);
    control.setTimeOut(8000);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    pingOnce(control, QStringLiteral("no-such-host.invalid"), replies, errors, 9000);
    QCOMPARE(errors.count(), 1);
    const QString text = errors.first().at(1).toString();
    QVERIFY2(text.contains(QStringLiteral("no-such-host.invalid")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("pinging"), Qt::CaseInsensitive));
}

void PingTest::silentHost_timesOut() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to silence echo replies");
    QVERIFY(PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/icmp_echo_ignore_all"), "1"));
    auto restore = qScopeGuard(
        [] { PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/icmp_echo_ignore_all"), "0"); });
    PingControl control(0);
    control.setTimeOut(1500);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    QElapsedTimer elapsed;
    elapsed.start();
    pingOnce(control, QStringLiteral("127.0.0.1"), replies, errors, 5000);
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replies.first().at(2).toInt(), -1);
    QCOMPARE(replies.first().at(3).toInt(), 0);
    QVERIFY2(elapsed.elapsed() >= 1500, "the time-out fired early");
}

void PingTest::datagramSocket_usedWhereGroupAllowed() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to change ping_group_range");
    const QString key = QStringLiteral("net/ipv4/ping_group_range");
    const QByteArray before = PrivateNetwork::sysctl(key);
    QVERIFY(PrivateNetwork::setSysctl(key, "0 2147483647"));
    auto restore = qScopeGuard([&] { PrivateNetwork::setSysctl(key, before); });
    PingControl control(0);
    control.setCount(2);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    pingOnce(control, QStringLiteral("127.0.0.1"), replies, errors, 6000);
    QCOMPARE(control.socketKind(), PingSocket::Kind::Datagram);
    QCOMPARE(replies.count(), 1);
    QCOMPARE(replies.first().at(2).toInt(), 0);
}

void PingTest::noPermission_eachRequestEndsInShortError() {
    const QString key = QStringLiteral("net/ipv4/ping_group_range");
    const QByteArray before = PrivateNetwork::sysctl(key);
    std::optional<PrivateNetwork::WithoutRawSockets> unprivileged;
    if (PrivateNetwork::entered()) {
        QVERIFY(PrivateNetwork::setSysctl(key, "1 0"));
        unprivileged.emplace();
        QVERIFY(unprivileged->ok());
    }
    auto restore = qScopeGuard([&] {
        unprivileged.reset();
        if (PrivateNetwork::entered())
            PrivateNetwork::setSysctl(key, before);
    });
    const PingSocket::Opening probe = PingSocket::open();
    if (probe.fd >= 0) {
        ::close(probe.fd);
        QSKIP("this process may open ICMP sockets and cannot give that up here");
    }
    PingControl control(0);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    for (int request = 1; request <= 2; ++request) {
        control.Ping(QStringLiteral("127.0.0.1"));
        QTRY_COMPARE(errors.count(), request);
        QCOMPARE(control.Busy(), 0);
    }
    QCOMPARE(replies.count(), 0);
    QCOMPARE(control.socketKind(), PingSocket::Kind::None);
    QCOMPARE(errors.first().at(1).toString(),
             QStringLiteral("ICMP echo is not permitted for this user."));
    QCOMPARE(errors.last().at(1).toString(), PingSocket::permissionText());
    QVERIFY(!PingSocket::permitted());
    // How to grant it is told once, apart from the requests.
    const QString advice = PingSocket::grantAdvice(QStringLiteral("/opt/orvex/OrvexMonitor"));
    QVERIFY(advice.contains(QStringLiteral("ping_group_range")));
    QVERIFY(advice.endsWith(QStringLiteral("setcap cap_net_raw+ep /opt/orvex/OrvexMonitor")));
}

void PingTest::unreachableHost_reportedAsErrorBeforeTimeOut_data() {
    QTest::addColumn<QByteArray>("groupRange");
    QTest::newRow("raw socket") << QByteArray("1 0");
    QTest::newRow("datagram socket") << QByteArray("0 2147483647");
}

void PingTest::unreachableHost_reportedAsErrorBeforeTimeOut() {
    QFETCH(QByteArray, groupRange);
    if (!PrivateNetwork::entered())
        QSKIP("needs network namespaces of its own");
    PrivateNetwork::UnreachableRouter router;
    QVERIFY(router.ok());
    const QString key = QStringLiteral("net/ipv4/ping_group_range");
    const QByteArray before = PrivateNetwork::sysctl(key);
    QVERIFY(PrivateNetwork::setSysctl(key, groupRange));
    auto restore = qScopeGuard([&] { PrivateNetwork::setSysctl(key, before); });

    PingControl control(0);
    control.setTimeOut(20000);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    // The veth link needs a moment before its first packet passes.
    pingOnce(control, QStringLiteral("10.200.9.9"), replies, errors, 15000);
    QVERIFY2(errors.count() == 1, "the error was waited out instead of reported");
    QCOMPARE(errors.first().at(1).toString(), QStringLiteral("Destination host unreachable."));
}

void PingTest::concurrentControls_ignoreEachOthersReplies() {
    PingControl first(0);
    PingControl second(1);
    for (PingControl* control : {&first, &second}) {
        control->setCount(20);
        control->setTimeOut(5000);
    }
    QSignalSpy firstReplies(&first, &PingControl::OnPing);
    QSignalSpy secondReplies(&second, &PingControl::OnPing);
    QSignalSpy firstErrors(&first, &PingControl::OnPingError);
    QSignalSpy secondErrors(&second, &PingControl::OnPingError);
    first.Ping(QStringLiteral("127.0.0.1"));
    second.Ping(QStringLiteral("127.0.0.2"));
    QTRY_VERIFY(first.Busy() == 0 && second.Busy() == 0);
    if (first.socketKind() == PingSocket::Kind::None)
        QSKIP("this process may open no ICMP socket");
    QTRY_COMPARE(firstReplies.count() + firstErrors.count(), 1);
    QTRY_COMPARE(secondReplies.count() + secondErrors.count(), 1);
    QCOMPARE(firstReplies.count(), 1);
    QCOMPARE(secondReplies.count(), 1);
    QCOMPARE(firstErrors.count() + secondErrors.count(), 0);
    QCOMPARE(firstReplies.first().at(2).toInt(), 0);
    QCOMPARE(secondReplies.first().at(1).toString(), QStringLiteral("127.0.0.2"));
}

void PingTest::badOptions_endInError_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<qint32>("timeOut");
    QTest::addColumn<qint16>("packetSize");
    QTest::newRow("empty host") << QString() << 1000 << qint16(32);
    QTest::newRow("zero time-out") << "127.0.0.1" << 0 << qint16(32);
    QTest::newRow("negative size") << "127.0.0.1" << 1000 << qint16(-1);
}

void PingTest::badOptions_endInError() {
    QFETCH(QString, host);
    QFETCH(qint32, timeOut);
    QFETCH(qint16, packetSize);
    PingControl control(0);
    control.setTimeOut(timeOut);
    control.setPacketSize(packetSize);
    QSignalSpy replies(&control, &PingControl::OnPing);
    QSignalSpy errors(&control, &PingControl::OnPingError);
    pingOnce(control, host, replies, errors, 2000);
    QCOMPARE(errors.count(), 1);
    QVERIFY(!errors.first().at(1).toString().isEmpty());
}

int main(int argc, char* argv[]) {
    PrivateNetwork::enter();
    ORVEX_TEST_SETUP()
    QCoreApplication app(argc, argv);
    PingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ping.moc"
