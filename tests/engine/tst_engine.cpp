#include "CycleTestSupport.h"
#include "engine/ItemKey.h"
#include "engine/MonitorEngine.h"
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
        shownAtNs << clock.nsecsElapsed();
        if (onPanel)
            onPanel(text);
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
    QList<qint64> shownAtNs;
    std::function<void(const QString&)> onPanel;
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
            ctx->settings().SaveSetting(Section::Options, key, value);
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
    void ping_notPermitted_shortErrorsAndOneWarningPerStart();
    void results_textInNameOrPort_staysOnItsRow_data();
    void results_textInNameOrPort_staysOnItsRow();
    void ports_hostTimeOutBelowOneSecond_countsAsDefault_data();
    void ports_hostTimeOutBelowOneSecond_countsAsDefault();
    void ports_slowStatusUpdates_assignmentsStill100msApart();
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
    QCOMPARE(
        f.records(f.pingRecords),
        QStringList{name + QStringLiteral(";Failed;0;Unable to resolve the host name ") + name});
    // The notices add their own full stop after the error text.
    QCOMPARE(f.item("no-such-host.invalid", "Ping", "Last_Error"),
             QStringLiteral("unable to resolve the host name no-such-host.invalid"));
}

void EngineTest::pingError_recordShape_data() {
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("full stop") << "Destination host unreachable."
                               << ";Failed;0;Destination host unreachable";
    QTest::newRow("no full stop") << "Connection reset"
                                  << ";Failed;0;Connection reset";
    QTest::newRow("not permitted") << "ICMP echo is not permitted for this user."
                                   << ";Failed;0;ICMP echo is not permitted for this user";
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
    QTEST(f.pings.PingResults().first().record(), "recorded");
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

void EngineTest::ping_notPermitted_shortErrorsAndOneWarningPerStart() {
    if (!PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own to withdraw the ICMP permission");
    const QString key = QStringLiteral("net/ipv4/ping_group_range");
    const QByteArray before = PrivateNetwork::sysctl(key);
    QVERIFY(PrivateNetwork::setSysctl(key, "1 0"));
    std::optional<PrivateNetwork::WithoutRawSockets> unprivileged(std::in_place);
    auto restore = qScopeGuard([&] {
        unprivileged.reset();
        PrivateNetwork::setSysctl(key, before);
    });
    QVERIFY(unprivileged->ok());

    Fixture f;
    RecordingMonitorView monitorView;
    ResultRecording recording(*f.ctx, f.data.db, f.view);
    MonitorEngine engine(*f.ctx, f.data.db, recording, f.view, monitorView);
    QSignalSpy records(&engine.pings(), &PingChecks::pingResultAdded);
    QStringList devices{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.2")};
    for (const QString& device : devices) {
        f.data.addDevice(device);
        f.data.addItem(device, QStringLiteral("Ping"));
    }
    auto warnings = [&] {
        return f.ctx->messageWindow()
            .text()
            .split(QStringLiteral("\r\n"))
            .filter(QStringLiteral(" Warning..."));
    };
    engine.cycle().Monitor_Initialize();
    QCOMPARE(warnings().size(), 1);
    // The first cycle starts at once and pings both devices.
    QTRY_COMPARE(records.count(), 2);
    engine.pings().Check_Ping(devices);
    // How to grant the permission is said once; each request only says what failed.
    QCOMPARE(warnings().size(), 1);
    QVERIFY(warnings().first().contains(QStringLiteral("ping_group_range")));
    QVERIFY(warnings().first().contains(QStringLiteral("cap_net_raw")));
    QCOMPARE(records.count(), 4);
    QCOMPARE(records.first().first().toString(),
             QStringLiteral("127.0.0.1;Failed;0;ICMP echo is not permitted for this user"));
    QCOMPARE(f.item("127.0.0.2", "Ping", "Last_Error"),
             QStringLiteral("icmp echo is not permitted for this user"));
    engine.cycle().Monitor_Stop();
    engine.cycle().Monitor_Initialize();
    QCOMPARE(warnings().size(), 2);
    engine.cycle().Monitor_Stop();
}

void EngineTest::results_textInNameOrPort_staysOnItsRow_data() {
    QTest::addColumn<bool>("ping");
    QTest::addColumn<QStringList>("items"); // device|port, "$closed" for a closed port
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("checked"); // the item the target names
    QTest::addColumn<QString>("other");   // an item the result must leave alone
    QTest::addColumn<bool>("lookup");     // the target's host is looked up by name

    QTest::newRow("port * is no pattern")
        << false << QStringList{"127.0.0.1|Ping", "127.0.0.1|*"} << "127.0.0.1:*"
        << "127.0.0.1|*"
        << "127.0.0.1|Ping" << false;
    QTest::newRow("port 8* is no pattern")
        << false << QStringList{"127.0.0.1|8", "127.0.0.1|8*"} << "127.0.0.1:8*"
        << "127.0.0.1|8*"
        << "127.0.0.1|8" << false;
    QTest::newRow("';' in device, bad port") << false << QStringList{"a|b", "a;b|x"} << "a;b:x"
                                             << "a;b|x"
                                             << "a|b" << false;
    QTest::newRow("';' in device, port")
        << false << QStringList{"127.0.0.1|$closed", "127.0.0.1;junk|$closed"}
        << "127.0.0.1;junk:$closed"
        << "127.0.0.1;junk|$closed"
        << "127.0.0.1|$closed" << true;
    QTest::newRow("';' in device, ping")
        << true << QStringList{"127.0.0.1|Ping", "127.0.0.1;junk|Ping"} << "127.0.0.1;junk"
        << "127.0.0.1;junk|Ping"
        << "127.0.0.1|Ping" << true;
}

void EngineTest::results_textInNameOrPort_staysOnItsRow() {
    QFETCH(bool, ping);
    QFETCH(QStringList, items);
    QFETCH(QString, target);
    QFETCH(QString, checked);
    QFETCH(QString, other);
    QFETCH(bool, lookup);
    if (lookup && !PrivateNetwork::entered())
        QSKIP("a name lookup may leave the machine outside a private network namespace");
    const QString closed = QString::number(LoopbackPeers::closedPort());
    auto place = [&](QString text) { return text.replace(QStringLiteral("$closed"), closed); };
    Fixture f;
    for (const QString& item : items) {
        const QStringList part = place(item).split(QLatin1Char('|'));
        if (f.data.count(QStringLiteral("Select * from Devices where Device = ?"), {part.at(0)}) ==
            0)
            f.data.addDevice(part.at(0));
        f.data.addItem(part.at(0), part.at(1));
    }
    QStringList targets{place(target)};
    if (ping)
        f.pings.Check_Ping(targets);
    else
        f.ports.Check_Ports(targets);

    const QStringList mine = place(checked).split(QLatin1Char('|'));
    const QStringList theirs = place(other).split(QLatin1Char('|'));
    QCOMPARE(f.data.item(mine.at(0), mine.at(1), QStringLiteral("Status")).toString(),
             QStringLiteral("Failed"));
    QCOMPARE(f.data.item(mine.at(0), mine.at(1), QStringLiteral("Count")).toInt(), 1);
    QCOMPARE(f.data.item(theirs.at(0), theirs.at(1), QStringLiteral("Status")).toString(),
             QStringLiteral("Not Checked"));
    QCOMPARE(f.data.item(theirs.at(0), theirs.at(1), QStringLiteral("Error")).toInt(), 0);
    QVERIFY(f.ctx.end.codes.isEmpty());
}

void EngineTest::ports_hostTimeOutBelowOneSecond_countsAsDefault_data() {
    QTest::addColumn<QString>("hostTimeOut");
    QTest::newRow("negative") << "-5";
    QTest::newRow("zero") << "0";
}

void EngineTest::ports_hostTimeOutBelowOneSecond_countsAsDefault() {
    QFETCH(QString, hostTimeOut);
    Fixture f;
    f.setOption(Key::HostTimeOut, hostTimeOut);
    LoopbackPeers::SilentListener silent;
    QVERIFY(silent.ok());
    int interval = -1;
    bool running = false;
    f.view.onPanel = [&](const QString& text) {
        if (!text.endsWith(QStringLiteral("(Closing Port Sockets)")))
            return;
        interval = f.ports.Timer1().interval();
        running = f.ports.Timer1().isActive();
        silent.close(); // the retried connect is refused, so the wait ends soon
    };
    QStringList targets{QStringLiteral("127.0.0.1:") + QString::number(silent.port())};
    f.ports.Check_Ports(targets);
    QCOMPARE(interval, 20000);
    QVERIFY(running);
    QCOMPARE(f.portRecords.count(), 1);
}

void EngineTest::ports_slowStatusUpdates_assignmentsStill100msApart() {
    Fixture f;
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString issued = QStringLiteral("Check in progress... (");
    // A status text that takes long to show must not shorten the pause that follows it.
    f.view.onPanel = [&](const QString& text) {
        if (!text.startsWith(issued))
            return;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 40) {
        }
    };
    QStringList targets;
    for (int i = 0; i < 6; ++i)
        targets << QStringLiteral("127.0.0.1:") + QString::number(server.serverPort());
    f.ports.Check_Ports(targets);
    QList<qint64> shown;
    for (int i = 0; i < f.view.panels.size(); ++i) {
        if (f.view.panels.at(i).startsWith(QStringLiteral("1:") + issued))
            shown << f.view.shownAtNs.at(i);
    }
    QCOMPARE(shown.size(), 6);
    for (int i = 1; i < shown.size(); ++i)
        QVERIFY2(shown.at(i) - shown.at(i - 1) >= 99'500'000,
                 qPrintable(QStringLiteral("assignments %1 and %2 were %3 ms apart")
                                .arg(i)
                                .arg(i + 1)
                                .arg((shown.at(i) - shown.at(i - 1)) / 1e6)));
    QCOMPARE(f.portRecords.count(), 6);
}

int main(int argc, char* argv[]) {
    PrivateNetwork::enter();
    ORVEX_TEST_SETUP()
    QCoreApplication app(argc, argv);
    EngineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine.moc"
