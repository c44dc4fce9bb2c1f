#include "engine/ItemKey.h"
#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "engine/ResultRecording.h"
#include "EngineTestSupport.h"
#include "LoopbackPeers.h"
#include "platform/PingControl.h"
#include "platform/SocketArray.h"
#include "PrivateNetwork.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>

namespace {
// Status texts with the moment each was shown.
class TimedView final : public EngineView {
public:
    TimedView() { clock.start(); }
    void setStatusPanel(int panel, const QString& text) override {
        panels << QStringLiteral("%1:%2").arg(panel).arg(text);
        shownAt << clock.elapsed();
    }
    void setDeviceNodeText(const QString&, const QString&) override {}
    int count(const QString& prefix) const {
        return int(std::count_if(panels.cbegin(), panels.cend(),
                                 [&](const QString& p) { return p.startsWith(prefix); }));
    }
    qint64 firstShown(const QString& text) const { return shownAt.value(panels.indexOf(text), -1); }

    QElapsedTimer clock;
    QStringList panels;
    QList<qint64> shownAt;
};

const QString Closing = QStringLiteral("1:Check in progress...(Closing Port Sockets)");
} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture()
            : recording(*ctx, data.db, view)
            , pings(*ctx, view, recording)
            , ports(*ctx, view, recording)
            , pingRecords(&pings, &PingChecks::pingResultAdded)
            , portRecords(&ports, &PortChecks::portResultAdded) {
            ctx->state().MonitoringOn = true;
        }
        void setOption(const QString& key, const QString& value) {
            ctx->catalogue().save(Section::Options, key, value);
        }
        QStringList records(const QSignalSpy& spy) const {
            QStringList result;
            for (const QVariantList& args : spy)
                result << args.first().toString();
            return result;
        }
        QString item(const QString& device, const QString& port, const char* field) {
            return data.item(device, port, QString::fromLatin1(field)).toString();
        }

        TestContext ctx;
        ScratchDatabase data;
        TimedView view;
        ResultRecording recording;
        PingChecks pings;
        PortChecks ports;
        QSignalSpy pingRecords;
        QSignalSpy portRecords;
    };

    static bool silenceEcho(bool silent) {
        return PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/icmp_echo_ignore_all"),
                                         silent ? "1" : "0");
    }

private slots:
    void itemKey_splitsAtLastColon_data();
    void itemKey_splitsAtLastColon();

    void ping_loopback_recordsReply();
    void ping_silentHosts_timeOutOneAfterAnother();
    void ping_unresolvableName_recordedAsFailure();
    void pingError_recordShape_data();
    void pingError_recordShape();
    void ping_badSetting_reportedUnderCheckPing();

    void ports_listeningAndClosed_recordOutcome();
    void ports_unanswered_timedOutAfterHostTimeOut();
    void ports_fortyTargets_32ndWaitsForFreeElement();
    void ports_monitoringOff_stopsBeforeNextTarget();
    void ports_ipv6DeviceAndBadPort();
};

void EngineTest::itemKey_splitsAtLastColon_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("port");
    QTest::newRow("name") << "mail.example:25"
                          << "mail.example"
                          << "25";
    QTest::newRow("ipv6 literal") << "fe80::1:443"
                                  << "fe80::1"
                                  << "443";
    QTest::newRow("ipv6 loopback") << "::1:80"
                                   << "::1"
                                   << "80";
    QTest::newRow("no port") << "router"
                             << "router"
                             << "";
}

void EngineTest::itemKey_splitsAtLastColon() {
    QFETCH(QString, key);
    const ItemKey split = ItemKey::split(key);
    QTEST(split.device, "device");
    QTEST(split.port, "port");
    QCOMPARE(ItemKey::join(split.device, split.port), split.port.isEmpty() ? key + ':' : key);
}

void EngineTest::ping_loopback_recordsReply() {
    Fixture f;
    f.data.addDevice(QStringLiteral("127.0.0.1"));
    f.data.addItem(QStringLiteral("127.0.0.1"), QStringLiteral("Ping"));
    QStringList devices{QStringLiteral("127.0.0.1")};
    f.pings.Check_Ping(devices);
    if (f.pings.DPingCtl1(0).socketKind() == PingSocket::Kind::None)
        QSKIP("this process may open no ICMP socket");
    const QStringList records = f.records(f.pingRecords);
    QCOMPARE(records.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^127\\.0\\.0\\.1;Connected;\\d+;$"))
                 .match(records.first())
                 .hasMatch(),
             qPrintable(records.first()));
    QCOMPARE(f.item("127.0.0.1", "Ping", "Status"), QStringLiteral("Connected"));
    QCOMPARE(f.item("127.0.0.1", "Ping", "Connect"), QStringLiteral("1"));
    QCOMPARE(f.item("127.0.0.1", "Ping", "Ping_Current"), records.first().section(';', 2, 2));
    QCOMPARE(f.view.panels,
             (QStringList{QStringLiteral("1:Check in progress.  Pinging...(127.0.0.1)"),
                          QStringLiteral("1:Check in progress...(Closing Ping Sockets)")}));
    QVERIFY(f.pings.PingResults().isEmpty());
    QCOMPARE(f.pings.PingSlot(0, 0), QString());
    QCOMPARE(f.pings.PingSlot(1, 0), QString());
    QVERIFY(f.ctx.end.codes.isEmpty());
}

void EngineTest::ping_silentHosts_timeOutOneAfterAnother() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to silence echo replies");
    QVERIFY(silenceEcho(true));
    auto restore = qScopeGuard([] { silenceEcho(false); });
    Fixture f;
    f.setOption(Key::PingTimeOut, QStringLiteral("800"));
    QStringList devices{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.2")};
    for (const QString& device : devices) {
        f.data.addDevice(device);
        f.data.addItem(device, QStringLiteral("Ping"));
    }
    QElapsedTimer elapsed;
    elapsed.start();
    f.pings.Check_Ping(devices);
    // One control: the second request starts only after the first has timed out.
    QVERIFY(elapsed.elapsed() >= 2 * 800);
    QCOMPARE(f.records(f.pingRecords),
             (QStringList{QStringLiteral("127.0.0.1;Failed;0;request timed out"),
                          QStringLiteral("127.0.0.2;Failed;0;request timed out")}));
    QVERIFY(f.view.firstShown(QStringLiteral("1:Check in progress.  Pinging...(127.0.0.2)")) >=
            800);
    QCOMPARE(f.item("127.0.0.2", "Ping", "Status"), QStringLiteral("Failed"));
    QCOMPARE(f.item("127.0.0.2", "Ping", "Last_Error"), QStringLiteral("request timed out"));
    QCOMPARE(f.item("127.0.0.2", "Ping", "Count"), QStringLiteral("1"));
}

void EngineTest::ping_unresolvableName_recordedAsFailure() {
    if (!PrivateNetwork::entered())
        QSKIP("a name lookup may leave the machine outside a private network namespace");
    Fixture f;
    const QString name = QStringLiteral("no-such-host.invalid");
    f.data.addDevice(name);
    f.data.addItem(name, QStringLiteral("Ping"));
    QStringList devices{name};
    f.pings.Check_Ping(devices);
    QCOMPARE(f.records(f.pingRecords),
             QStringList{name + QStringLiteral(";Failed;0;Unable to resolve the host name ") +
                         name + QLatin1Char('.')});
    QCOMPARE(f.item("no-such-host.invalid", "Ping", "Last_Error"),
             QStringLiteral("unable to resolve the host name no-such-host.invalid."));
}

void EngineTest::pingError_recordShape_data() {
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("plain") << "Destination host unreachable."
                           << ";Failed;0;Destination host unreachable.";
    QTest::newRow("full stop and line break") << "General failure.\r\n"
                                              << ";Failed;0;General failure";
    QTest::newRow("line break only") << "No resources\r\n"
                                     << ";Failed;0;No resources";
    QTest::newRow("break inside") << "Line one\r\nline two.\r\n"
                                  << ";Failed;0;Line one line two";
    QTest::newRow("pinging") << "Error while pinging host"
                             << ";Failed;0;request timed out";
    QTest::newRow("Pinging in capitals") << "PINGING 10.0.0.1 FAILED\r\n"
                                         << ";Failed;0;request timed out";
}

void EngineTest::pingError_recordShape() {
    QFETCH(QString, errorText);
    Fixture f;
    f.pings.DPingCtl1_OnPingError(0, errorText);
    QCOMPARE(f.pings.PingResults().size(), 1);
    QTEST(f.pings.PingResults().first(), "recorded");
    QCOMPARE(f.pings.PingSlot(0, 0), QStringLiteral("0"));
}

void EngineTest::ping_badSetting_reportedUnderCheckPing() {
    Fixture f;
    f.setOption(Key::PingCount, QStringLiteral("many"));
    QStringList devices{QStringLiteral("127.0.0.1")};
    f.pings.Check_Ping(devices);
    QCOMPARE(f.ctx.end.codes, QVector<int>{1});
    QVERIFY(f.ctx.dialogs.messages.first().text.contains(QStringLiteral("Check_Ping")));
    QCOMPARE(f.pingRecords.count(), 0);
}

void EngineTest::ports_listeningAndClosed_recordOutcome() {
    Fixture f;
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString open = QString::number(server.serverPort());
    const QString closed = QString::number(LoopbackPeers::closedPort());
    f.data.addDevice(QStringLiteral("127.0.0.1"));
    f.data.addItem(QStringLiteral("127.0.0.1"), open);
    f.data.addItem(QStringLiteral("127.0.0.1"), closed);
    QStringList targets{QStringLiteral("127.0.0.1:") + open, QStringLiteral("127.0.0.1:") + closed};
    f.ports.Check_Ports(targets);

    QCOMPARE(
        f.records(f.portRecords),
        (QStringList{QStringLiteral("Modify;127.0.0.1;") + open + QStringLiteral(";;;Connected;"),
                     QStringLiteral("Modify;127.0.0.1;") + closed +
                         QStringLiteral(";;;Failed;Connection refused")}));
    QCOMPARE(f.item("127.0.0.1", open.toLatin1(), "Status"), QStringLiteral("Connected"));
    QCOMPARE(f.item("127.0.0.1", closed.toLatin1(), "Status"), QStringLiteral("Failed"));
    QCOMPARE(f.item("127.0.0.1", closed.toLatin1(), "Last_Error"),
             QStringLiteral("connection refused"));
    // The accepted connection was closed at once.
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket* peer = server.nextPendingConnection();
    QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(f.view.panels,
             (QStringList{QStringLiteral("1:Check in progress... (127.0.0.1)"),
                          QStringLiteral("1:Check in progress... (127.0.0.1)"), Closing}));
    for (int i = 0; i < PortChecks::SocketCount; ++i) {
        QCOMPARE(f.ports.Winsock1()[i].State(), qint16(0));
        QCOMPARE(f.ports.PortSlot(1, i), QString());
    }
    QVERIFY(f.ports.PortResults().isEmpty());
    QVERIFY(!f.ports.Timer1().isActive());
}

void EngineTest::ports_unanswered_timedOutAfterHostTimeOut() {
    Fixture f;
    f.setOption(Key::HostTimeOut, QStringLiteral("2"));
    LoopbackPeers::SilentListener silent;
    QVERIFY(silent.ok());
    const QString quiet = QString::number(silent.port());
    const QString closed = QString::number(LoopbackPeers::closedPort());
    f.data.addDevice(QStringLiteral("127.0.0.1"));
    f.data.addItem(QStringLiteral("127.0.0.1"), quiet);
    f.data.addItem(QStringLiteral("127.0.0.1"), closed);
    QStringList targets{QStringLiteral("127.0.0.1:") + quiet,
                        QStringLiteral("127.0.0.1:") + closed};

    f.ports.Check_Ports(targets);
    const qint64 recordedAt = f.view.clock.elapsed();

    QCOMPARE(f.item("127.0.0.1", quiet.toLatin1(), "Last_Error"),
             QStringLiteral("the attempt to connect timed out"));
    QCOMPARE(f.item("127.0.0.1", closed.toLatin1(), "Last_Error"),
             QStringLiteral("connection refused"));
    // Only the refusal travels through the result list; the time-out is written directly.
    QCOMPARE(f.portRecords.count(), 1);
    const qint64 waitStarted = f.view.firstShown(Closing);
    QVERIFY2(
        recordedAt - waitStarted >= 2000,
        qPrintable(
            QStringLiteral("recorded %1 ms after the wait began").arg(recordedAt - waitStarted)));
    QCOMPARE(f.ports.Winsock1()[0].State(), qint16(0));
}

void EngineTest::ports_fortyTargets_32ndWaitsForFreeElement() {
    Fixture f;
    f.setOption(Key::HostTimeOut, QStringLiteral("20"));
    LoopbackPeers::SilentListener silent;
    QVERIFY(silent.ok());
    const QString target = QStringLiteral("127.0.0.1:") + QString::number(silent.port());
    QStringList targets;
    for (int i = 0; i < 40; ++i)
        targets << target;
    const QString issued = QStringLiteral("1:Check in progress... (");

    // Once all 31 elements are busy, hold the listener a while and check that nothing more is
    // issued; then close it so that the retried connects are refused and elements come free.
    qint64 allBusySince = -1;
    qint64 closedAt = -1;
    int issuedWhileHeld = -1;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        int busy = 0;
        for (int i = 0; i < PortChecks::SocketCount; ++i)
            busy += f.ports.Winsock1()[i].State() != 0 ? 1 : 0;
        const qint64 now = f.view.clock.elapsed();
        if (allBusySince < 0 && busy == PortChecks::SocketCount)
            allBusySince = now;
        if (allBusySince >= 0 && closedAt < 0 && now - allBusySince >= 600) {
            issuedWhileHeld = f.view.count(issued);
            silent.close();
            closedAt = now;
        }
    });
    watch.start(10);
    f.ports.Check_Ports(targets);
    watch.stop();

    QVERIFY(closedAt >= 0);
    QCOMPARE(issuedWhileHeld, 31);
    QCOMPARE(f.view.count(issued), 40);
    int seen = 0;
    qint64 shown32 = -1;
    for (int i = 0; i < f.view.panels.size(); ++i) {
        if (f.view.panels.at(i).startsWith(issued) && ++seen == 32)
            shown32 = f.view.shownAt.at(i);
    }
    QVERIFY(shown32 >= closedAt);
    QCOMPARE(f.portRecords.count(), 40);
    for (const QString& record : f.records(f.portRecords))
        QVERIFY2(record.endsWith(QStringLiteral(";;;Failed;Connection refused")),
                 qPrintable(record));
}

void EngineTest::ports_monitoringOff_stopsBeforeNextTarget() {
    Fixture f;
    f.ctx->state().MonitoringOn = false;
    f.data.addDevice(QStringLiteral("127.0.0.1"));
    f.data.addItem(QStringLiteral("127.0.0.1"), QStringLiteral("1"));
    QStringList targets{QStringLiteral("127.0.0.1:1")};
    f.ports.Check_Ports(targets);
    QVERIFY(f.view.panels.isEmpty());
    QCOMPARE(f.portRecords.count(), 0);
    QCOMPARE(f.item("127.0.0.1", "1", "Status"), QStringLiteral("Not Checked"));
}

void EngineTest::ports_ipv6DeviceAndBadPort() {
    Fixture f;
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHostIPv6))
        QSKIP("no IPv6 loopback here");
    const QString port = QString::number(server.serverPort());
    f.data.addDevice(QStringLiteral("::1"));
    f.data.addItem(QStringLiteral("::1"), port);
    f.data.addItem(QStringLiteral("::1"), QStringLiteral("http"));
    QStringList targets{QStringLiteral("::1:") + port, QStringLiteral("::1:http")};
    f.ports.Check_Ports(targets);
    QCOMPARE(f.records(f.portRecords),
             (QStringList{QStringLiteral("Modify;::1;http;;;Failed;invalid port number"),
                          QStringLiteral("Modify;::1;") + port + QStringLiteral(";;;Connected;")}));
    QCOMPARE(f.item("::1", port.toLatin1(), "Status"), QStringLiteral("Connected"));
    QCOMPARE(f.item("::1", "http", "Status"), QStringLiteral("Failed"));
}

int main(int argc, char* argv[]) {
    PrivateNetwork::enter();
    ORVEX_TEST_SETUP()
    QCoreApplication app(argc, argv);
    EngineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine.moc"
