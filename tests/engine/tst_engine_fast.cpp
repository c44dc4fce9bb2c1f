#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "engine/ResultRecording.h"
#include "EngineTestSupport.h"
#include "LoopbackPeers.h"
#include "platform/EchoSweep.h"
#include "PrivateNetwork.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QSignalSpy>
#include <QTcpServer>

namespace {
bool silenceIpv6Echo(bool silent) {
    return PrivateNetwork::setSysctl(QStringLiteral("net/ipv6/icmp/echo_ignore_all"),
                                     silent ? "1" : "0");
}

// Everything a pass leaves behind that the dispatch, the page and the tree read afterwards.
struct PassOutcome {
    QStringList pingRecords; // sorted, round trips left out: they differ from run to run
    QStringList portRecords; // sorted: elements answer in any order
    QStringList rows;        // every item row, without its round trip figures
    QStringList panels;
    bool swept = false; // whether the pings went through the sweep rather than the control

    bool operator==(const PassOutcome& other) const {
        return pingRecords == other.pingRecords && portRecords == other.portRecords &&
               rows == other.rows && panels == other.panels;
    }
};

QString describe(const PassOutcome& outcome) {
    return QStringList{outcome.pingRecords.join(QLatin1Char('\n')),
                       outcome.portRecords.join(QLatin1Char('\n')),
                       outcome.rows.join(QLatin1Char('\n')), outcome.panels.join(QLatin1Char('\n'))}
        .join(QStringLiteral("\n--\n"));
}
} // namespace

class FastChecksTest : public QObject {
    Q_OBJECT

private:
    // One paced or fast pass over the devices and targets, in a database of its own.
    static PassOutcome runPasses(bool fast, const QStringList& devices,
                                 const QStringList& targets) {
        TestContext ctx;
        ScratchDatabase data;
        RecordingView view;
        ResultRecording recording(*ctx, data.db, view);
        PingChecks pings(*ctx, view, recording);
        PortChecks ports(*ctx, view, recording);
        QSignalSpy pingSpy(&pings, &PingChecks::pingResultAdded);
        QSignalSpy portSpy(&ports, &PortChecks::portResultAdded);
        ctx->state().MonitoringOn = true;
        ctx->catalogue().set(Key::FastChecks, fast);
        ctx->catalogue().set(Key::PingTimeOut, 1000);
        ctx->catalogue().set(Key::HostTimeOut, 2);
        for (const QString& device : devices) {
            data.addDevice(device);
            data.addItem(device, QStringLiteral("Ping"));
        }
        for (const QString& target : targets) {
            const qsizetype cut = target.lastIndexOf(QLatin1Char(':'));
            data.addItem(target.left(cut), target.mid(cut + 1));
        }
        QStringList pingList = devices;
        QStringList portList = targets;
        pings.Check_Ping(pingList);
        ports.Check_Ports(portList);

        PassOutcome outcome;
        for (const QVariantList& args : std::as_const(pingSpy)) {
            QStringList fields = args.first().toString().split(QLatin1Char(';'));
            fields[2] =
                fields[2] == QStringLiteral("0") ? QStringLiteral("0") : QStringLiteral("t");
            outcome.pingRecords << fields.join(QLatin1Char(';'));
        }
        for (const QVariantList& args : std::as_const(portSpy))
            outcome.portRecords << args.first().toString();
        outcome.pingRecords.sort();
        outcome.portRecords.sort();
        Recordset rs = data.db.openRecordset(
            {QStringLiteral("Select Device, Port, Port_Type, Status, Last_Error, Mail_Status, "
                            "Failed_On, Recovered_On, Connect, Error, Count, Ping_Current > 0 "
                            "as Timed from Main_Data order by Device, Port"),
             {}});
        for (; !rs.atEnd(); rs.moveNext()) {
            QStringList fields;
            for (const char* name :
                 {"Device", "Port", "Port_Type", "Status", "Last_Error", "Mail_Status", "Failed_On",
                  "Recovered_On", "Connect", "Error", "Count", "Timed"}) {
                QString value = rs.field(QString::fromLatin1(name)).toString();
                // Moments differ from run to run; whether one was set does not.
                if (QByteArray(name).endsWith("_On") && value != QStringLiteral("N/A"))
                    value = QStringLiteral("set");
                fields << value;
            }
            outcome.rows << fields.join(QLatin1Char('|'));
        }
        outcome.panels = view.panels;
        outcome.swept = pings.sweep().socketKind(AF_INET) != PingSocket::Kind::None ||
                        pings.sweep().socketKind(AF_INET6) != PingSocket::Kind::None;
        return outcome;
    }

private slots:
    void pacedAndFast_sameOutcomes_data();
    void pacedAndFast_sameOutcomes();
    void fastPing_requestsEachDeviceOnceInOrder();
};

void FastChecksTest::pacedAndFast_sameOutcomes_data() {
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("ports"); // "listening", "refused", "unanswered", or as is
    QTest::addColumn<bool>("lookups");

    QTest::newRow("reply") << QStringList{"127.0.0.1", "127.0.0.2"} << QStringList{} << false;
    QTest::newRow("time-out and reply")
        << QStringList{"::1", "127.0.0.1", "127.0.0.3"} << QStringList{} << true;
    QTest::newRow("unreachable, unresolvable, reply")
        << QStringList{"10.77.0.1", "no-such-host.invalid", "127.0.0.1"} << QStringList{} << true;
    QTest::newRow("listening, refused, unanswered, bad")
        << QStringList{} << QStringList{"listening", "refused", "unanswered", "port-x"} << false;
    QTest::newRow("everything at once")
        << QStringList{"127.0.0.1", "::1", "10.77.0.1", "no-such-host.invalid"}
        << QStringList{"listening", "refused", "unanswered", "port-x"} << true;
}

void FastChecksTest::pacedAndFast_sameOutcomes() {
    QFETCH(QStringList, devices);
    QFETCH(QStringList, ports);
    QFETCH(bool, lookups);
    // Unreachable networks, unanswered echoes and lookups need the private network.
    if (lookups && !PrivateNetwork::entered())
        QSKIP("needs a network namespace of its own");
    const bool silent = devices.contains(QStringLiteral("::1"));
    if (silent)
        QVERIFY(silenceIpv6Echo(true));
    auto restore = qScopeGuard([silent] {
        if (silent)
            silenceIpv6Echo(false);
    });

    QTcpServer listening;
    QVERIFY(listening.listen(QHostAddress::LocalHost));
    LoopbackPeers::SilentListener unanswered;
    QVERIFY(unanswered.ok());
    const quint16 refused = LoopbackPeers::closedPort();
    QStringList targets;
    for (const QString& kind : std::as_const(ports)) {
        quint16 port = 0;
        if (kind == QStringLiteral("listening"))
            port = listening.serverPort();
        else if (kind == QStringLiteral("refused"))
            port = refused;
        else if (kind == QStringLiteral("unanswered"))
            port = unanswered.port();
        targets << QStringLiteral("127.0.0.1:") + (port ? QString::number(port) : kind);
    }

    const PassOutcome paced = runPasses(false, devices, targets);
    const PassOutcome fast = runPasses(true, devices, targets);
    QVERIFY2(
        paced == fast,
        qPrintable(QStringLiteral("paced:\n%1\n\nfast:\n%2").arg(describe(paced), describe(fast))));
    QCOMPARE(paced.swept, false);
    QCOMPARE(fast.swept, !devices.isEmpty());
    // Every device and every target left a row that was checked.
    QCOMPARE(paced.rows.size(), devices.size() + targets.size());
    for (const QString& row : paced.rows)
        QVERIFY2(!row.contains(QStringLiteral("Not Checked")), qPrintable(row));
}

// The pace of the requests is the benchmark's to time; here they go out once each, in order.
void FastChecksTest::fastPing_requestsEachDeviceOnceInOrder() {
    TestContext ctx;
    ScratchDatabase data;
    RecordingView view;
    ResultRecording recording(*ctx, data.db, view);
    ctx->catalogue().set(Key::FastChecks, true);
    QStringList devices;
    QStringList expected;
    for (int i = 1; i <= 30; ++i) {
        devices << QStringLiteral("127.0.2.%1").arg(i);
        data.addDevice(devices.last());
        data.addItem(devices.last(), QStringLiteral("Ping"));
        expected << QStringLiteral("Check in progress.  Pinging...(%1)").arg(devices.last());
    }
    // The status text of each device is shown as its request is handed to the sweep.
    struct Probe final : EngineView {
        QStringList shown;
        void setStatusPanel(int, const QString& text) override {
            if (text.contains(QStringLiteral("Pinging")))
                shown << text;
        }
        void setDeviceNodeText(const QString&, const QString&) override {}
    } probe;
    PingChecks probed(*ctx, probe, recording);
    QSignalSpy records(&probed, &PingChecks::pingResultAdded);
    probed.Check_Ping(devices);
    QCOMPARE(probe.shown, expected);
    QCOMPARE(records.size(), devices.size());
    QCOMPARE(data.count(QStringLiteral("Select * from Main_Data where Status = 'Connected'")),
             devices.size());
}

int main(int argc, char* argv[]) {
    PrivateNetwork::enter();
    ORVEX_TEST_SETUP()
    QCoreApplication app(argc, argv);
    FastChecksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine_fast.moc"
