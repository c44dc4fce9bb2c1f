#include "engine/ResultRecording.h"
#include "EngineTestSupport.h"
#include "TestContext.h"
#include "TestMain.h"

namespace {
const QString Now = QStringLiteral("now");
const QString Earlier = QStringLiteral("earlier");
const QString NA = QStringLiteral("N/A");
} // namespace

class RecordingTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture()
            : clock(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)))
            , recording(*ctx, data.db, view) {
            ctx->setClock(&clock);
        }
        QString now() const { return Clock::generalDate(clock.now()); }
        QString field(const QString& device, const QString& port, const QString& name) {
            return data.item(device, port, name).toString();
        }
        double number(const QString& device, const QString& port, const QString& name) {
            return data.item(device, port, name).toDouble();
        }

        TestContext ctx;
        FixedClock clock;
        ScratchDatabase data;
        RecordingView view;
        ResultRecording recording;
    };

private slots:
    void transition_data();
    void transition();
    void pingReplies_smoothAverageAndTrackRange();
    void pingReply_zeroRoundTrip_keepsMinimumUnset();
    void pingFailure_withoutPingRow_changesNothing();
    void portDelete_pattern_data();
    void portDelete_pattern();
    void modifyDevice_emptyValues();
    void deviceAdd_onlyOnce_andQuotesStoredExactly();
    void modifyPort_clearsDescription();
    void getAlias_data();
    void getAlias();
    void writers_recordEveryRecordAndEmptyTheList();
    void storeError_reportedUnderRoutineName_data();
    void storeError_reportedUnderRoutineName();
    void failedCommit_reportedUnderWriterName_data();
    void failedCommit_reportedUnderWriterName();
};

void RecordingTest::transition_data() {
    QTest::addColumn<bool>("ping");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("storedCount");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("failedOn");
    QTest::addColumn<QString>("recoveredOn");
    QTest::addColumn<int>("connect");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("count");

    const QString ok = QStringLiteral("Connected");
    const QString bad = QStringLiteral("Failed");
    const QString rec = QStringLiteral("Recovered");
    const QString nc = QStringLiteral("Not Checked");
    // Every item starts with Connect 3 and Error 2; "earlier" marks a date set before.
    for (const bool ping : {true, false}) {
        const char* kind = ping ? "ping" : "port";
        auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", kind, name) << ping;
        };
        row("not checked, reply") << nc << 0 << ok << ok << NA << NA << 4 << 2 << 0;
        row("not checked, failure") << nc << 0 << bad << bad << Now << NA << 3 << 3 << 1;
        row("connected, reply") << ok << 0 << ok << ok << NA << NA << 4 << 2 << 0;
        row("connected, failure") << ok << 0 << bad << bad << Now << NA << 3 << 3 << 1;
        row("failed, failure") << bad << 2 << bad << bad << Earlier << NA << 3 << 3 << 3;
        row("failed, reply") << bad << 2 << ok << rec << NA << Now << 4 << 2 << 2;
        row("recovered, reply") << rec << -2 << ok << rec << NA << Earlier << 4 << 2 << -2;
        row("recovered, failure") << rec << -2 << bad << bad << Now << NA << 3 << 3 << 1;
    }
}

void RecordingTest::transition() {
    QFETCH(bool, ping);
    QFETCH(QString, stored);
    QFETCH(int, storedCount);
    QFETCH(QString, result);

    Fixture f;
    const QString port = ping ? QStringLiteral("Ping") : QStringLiteral("443");
    f.data.addDevice(QStringLiteral("web01"));
    f.data.addItem(QStringLiteral("web01"), port);
    const bool failing = stored == QLatin1String("Failed");
    const bool recovered = stored == QLatin1String("Recovered");
    f.data.setItem(QStringLiteral("web01"), port,
                   {{QStringLiteral("Status"), stored},
                    {QStringLiteral("Count"), storedCount},
                    {QStringLiteral("Connect"), 3},
                    {QStringLiteral("Error"), 2},
                    {QStringLiteral("Failed_On"), failing ? Earlier : NA},
                    {QStringLiteral("Recovered_On"), recovered ? Earlier : NA}});

    const QString error =
        result == QLatin1String("Failed") ? QStringLiteral("Request Timed Out") : QString();
    QString status = result;
    if (ping)
        f.recording.Ping_Update(QStringLiteral("web01"), status, 12, error);
    else
        f.recording.Port_Update(QStringLiteral("Modify"), QStringLiteral("web01"), port, {}, {},
                                status, error);

    auto dateText = [&](const QString& expected) { return expected == Now ? f.now() : expected; };
    QTEST(status, "status");
    QTEST(f.field(QStringLiteral("web01"), port, QStringLiteral("Status")), "status");
    QFETCH(QString, failedOn);
    QCOMPARE(f.field(QStringLiteral("web01"), port, QStringLiteral("Failed_On")),
             dateText(failedOn));
    QFETCH(QString, recoveredOn);
    QCOMPARE(f.field(QStringLiteral("web01"), port, QStringLiteral("Recovered_On")),
             dateText(recoveredOn));
    QTEST(f.data.item(QStringLiteral("web01"), port, QStringLiteral("Connect")).toInt(), "connect");
    QTEST(f.data.item(QStringLiteral("web01"), port, QStringLiteral("Error")).toInt(), "error");
    QTEST(f.data.item(QStringLiteral("web01"), port, QStringLiteral("Count")).toInt(), "count");
    const QString lastError = error.isEmpty() ? NA : QStringLiteral("request timed out");
    QCOMPARE(f.field(QStringLiteral("web01"), port, QStringLiteral("Last_Error")), lastError);
    // Round-trip figures belong to the ping row alone.
    const bool sampled = ping && error.isEmpty();
    QCOMPARE(f.number(QStringLiteral("web01"), port, QStringLiteral("Ping_Current")),
             sampled ? 12.0 : 0.0);
}

void RecordingTest::pingReplies_smoothAverageAndTrackRange() {
    Fixture f;
    const QString dev = QStringLiteral("10.0.0.1");
    f.data.addDevice(dev);
    f.data.addItem(dev, QStringLiteral("Ping"));
    struct Step {
        qint32 rtt;
        double average, minimum, maximum;
    };
    const Step steps[] = {{10, 10, 10, 10}, {30, 20, 10, 30}, {30, 25, 10, 30}, {4, 14.5, 4, 30}};
    for (const Step& step : steps) {
        QString status = QStringLiteral("Connected");
        f.recording.Ping_Update(dev, status, step.rtt, {});
        QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Average")),
                 step.average);
        QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Min")), step.minimum);
        QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Max")), step.maximum);
        QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Current")),
                 double(step.rtt));
    }
}

void RecordingTest::pingReply_zeroRoundTrip_keepsMinimumUnset() {
    Fixture f;
    const QString dev = QStringLiteral("127.0.0.1");
    f.data.addDevice(dev);
    f.data.addItem(dev, QStringLiteral("Ping"));
    QString status = QStringLiteral("Connected");
    f.recording.Ping_Update(dev, status, 0, {});
    QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Min")), 0.0);
    status = QStringLiteral("Connected");
    f.recording.Ping_Update(dev, status, 7, {});
    QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Min")), 7.0);
    QCOMPARE(f.number(dev, QStringLiteral("Ping"), QStringLiteral("Ping_Max")), 7.0);
}

void RecordingTest::pingFailure_withoutPingRow_changesNothing() {
    Fixture f;
    f.data.addDevice(QStringLiteral("mail"));
    f.data.addItem(QStringLiteral("mail"), QStringLiteral("25"));
    QString status = QStringLiteral("Failed");
    f.recording.Ping_Update(QStringLiteral("mail"), status, 0, QStringLiteral("request timed out"));
    QCOMPARE(f.data.count(QStringLiteral("Select * from Main_Data")), 1);
    QCOMPARE(f.field(QStringLiteral("mail"), QStringLiteral("25"), QStringLiteral("Status")),
             QStringLiteral("Not Checked"));
    QCOMPARE(
        f.data.item(QStringLiteral("mail"), QStringLiteral("25"), QStringLiteral("Error")).toInt(),
        0);
    QVERIFY(f.ctx.end.codes.isEmpty());
}

void RecordingTest::portDelete_pattern_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("star takes every item") << "*" << QStringList{};
    QTest::newRow("one port") << "80" << QStringList{"8080", "Ping", "8_"};
    QTest::newRow("underscore is literal") << "8_" << QStringList{"80", "8080", "Ping"};
    QTest::newRow("star prefix") << "8*" << QStringList{"Ping"};
    QTest::newRow("no match") << "22" << QStringList{"80", "8080", "Ping", "8_"};
}

void RecordingTest::portDelete_pattern() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, left);
    Fixture f;
    for (const char* device : {"gw", "other"}) {
        f.data.addDevice(QString::fromLatin1(device));
        for (const char* port : {"Ping", "80", "8080", "8_"})
            f.data.addItem(QString::fromLatin1(device), QString::fromLatin1(port));
    }
    QString status;
    f.recording.Port_Update(QStringLiteral("Delete"), QStringLiteral("gw"), pattern, {}, {}, status,
                            {});
    QStringList ports;
    Recordset rs = f.data.db.openRecordset(
        {QStringLiteral("Select Port from Main_Data where Device = 'gw' order by Port"), {}});
    for (; !rs.atEnd(); rs.moveNext())
        ports << rs.text(QStringLiteral("Port"));
    left.sort();
    QCOMPARE(ports, left);
    QCOMPARE(f.data.count(QStringLiteral("Select * from Main_Data where Device = 'other'")), 4);
    QCOMPARE(f.data.count(QStringLiteral("Select * from Devices")), 2);
}

void RecordingTest::modifyDevice_emptyValues() {
    Fixture f;
    f.data.addDevice(QStringLiteral("sw1"), QStringLiteral("core switch"),
                     QStringLiteral("rack 4"));
    f.recording.Device_Update(QStringLiteral("Modify_Device"), QStringLiteral("sw1"), {}, {}, {});
    auto device = [&](const QString& field) {
        Recordset rs = f.data.db.openRecordset(
            {QStringLiteral("Select * from Devices where Device = 'sw1'"), {}});
        return rs.text(field);
    };
    QCOMPARE(device(QStringLiteral("Device_Alias")), QString());
    QCOMPARE(device(QStringLiteral("Device_Description")), QStringLiteral("rack 4"));
    QCOMPARE(f.view.nodeTexts.value(QStringLiteral("sw1")), QStringLiteral("sw1"));

    f.recording.Device_Update(QStringLiteral("Modify_Device"), QStringLiteral("sw1"),
                              QStringLiteral("rack 5"), {}, QStringLiteral("edge"));
    QCOMPARE(device(QStringLiteral("Device_Alias")), QStringLiteral("edge"));
    QCOMPARE(device(QStringLiteral("Device_Description")), QStringLiteral("rack 5"));
    QCOMPARE(f.view.nodeTexts.value(QStringLiteral("sw1")), QStringLiteral("edge"));

    // "Modify" keeps what an empty argument does not name.
    f.recording.Device_Update(QStringLiteral("Modify"), QStringLiteral("sw1"), {}, {}, {});
    QCOMPARE(device(QStringLiteral("Device_Alias")), QStringLiteral("edge"));
}

void RecordingTest::deviceAdd_onlyOnce_andQuotesStoredExactly() {
    Fixture f;
    const QString name = QStringLiteral("o'brien's pc");
    f.recording.Device_Update(QStringLiteral("Add"), name, QStringLiteral("it's here"), {}, {});
    f.recording.Device_Update(QStringLiteral("Add"), name, QStringLiteral("second"), {}, {});
    Recordset rs = f.data.db.openRecordset({QStringLiteral("Select * from Devices"), {}});
    QCOMPARE(rs.count(), 1);
    QCOMPARE(rs.text(QStringLiteral("Device")), name);
    QCOMPARE(rs.text(QStringLiteral("Device_Description")), QStringLiteral("it's here"));
    QVERIFY(rs.field(QStringLiteral("Device_Alias")).isNull());

    f.recording.Device_Update(QStringLiteral("Delete"), name);
    QCOMPARE(f.data.count(QStringLiteral("Select * from Devices")), 0);
}

void RecordingTest::modifyPort_clearsDescription() {
    Fixture f;
    f.data.addDevice(QStringLiteral("srv"));
    QString status;
    f.recording.Port_Update(QStringLiteral("Add"), QStringLiteral("srv"), QStringLiteral("22"),
                            QStringLiteral("Port"), QStringLiteral("SSH"), status, {});
    f.recording.Port_Update(QStringLiteral("Add"), QStringLiteral("srv"), QStringLiteral("22"),
                            QStringLiteral("Port"), QStringLiteral("again"), status, {});
    QCOMPARE(f.data.count(QStringLiteral("Select * from Main_Data")), 1);
    QCOMPARE(
        f.field(QStringLiteral("srv"), QStringLiteral("22"), QStringLiteral("Port_Description")),
        QStringLiteral("SSH"));
    QCOMPARE(f.field(QStringLiteral("srv"), QStringLiteral("22"), QStringLiteral("Status")),
             QStringLiteral("Not Checked"));
    f.recording.Port_Update(QStringLiteral("Modify_Port"), QStringLiteral("srv"),
                            QStringLiteral("22"), {}, {}, status, {});
    const QVariant description = f.data.item(QStringLiteral("srv"), QStringLiteral("22"),
                                             QStringLiteral("Port_Description"));
    QVERIFY(!description.isNull());
    QCOMPARE(description.toString(), QString());
}

void RecordingTest::getAlias_data() {
    QTest::addColumn<QVariant>("alias");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("null alias spells the name") << QVariant() << "gw.local"
                                                << "GW.LOCAL";
    QTest::newRow("empty alias") << QVariant(QString()) << "gw.local"
                                 << "GW.LOCAL";
    QTest::newRow("alias equal to name") << QVariant("gw.local") << "gw.local"
                                         << "GW.LOCAL";
    QTest::newRow("alias is pronounced") << QVariant("Front Door") << "gw.local"
                                         << "front door";
    QTest::newRow("unknown device") << QVariant("Front Door") << "nas"
                                    << "NAS";
}

void RecordingTest::getAlias() {
    QFETCH(QVariant, alias);
    QFETCH(QString, asked);
    Fixture f;
    f.data.addDevice(QStringLiteral("gw.local"), alias);
    QTEST(f.recording.GetAlias(asked), "expected");
}

void RecordingTest::writers_recordEveryRecordAndEmptyTheList() {
    Fixture f;
    f.data.addDevice(QStringLiteral("a"));
    f.data.addDevice(QStringLiteral("::1"));
    f.data.addItem(QStringLiteral("a"), QStringLiteral("Ping"));
    f.data.addItem(QStringLiteral("::1"), QStringLiteral("Ping"));
    f.data.addItem(QStringLiteral("::1"), QStringLiteral("80"));
    f.data.addItem(QStringLiteral("a"), QStringLiteral("25"));

    PingResultList pings{{"a", "Failed", 0, "Host unreachable; no route"},
                         {"::1", "Connected", 3, {}}};
    f.recording.WritePingResults(pings);
    QVERIFY(pings.isEmpty());
    QCOMPARE(f.field(QStringLiteral("a"), QStringLiteral("Ping"), QStringLiteral("Last_Error")),
             QStringLiteral("host unreachable; no route"));
    QCOMPARE(
        f.number(QStringLiteral("::1"), QStringLiteral("Ping"), QStringLiteral("Ping_Current")),
        3.0);

    PortResultList ports{{"Modify", "::1", "80", {}, {}, "Connected", {}},
                         {"Modify", "a", "25", {}, {}, "Failed", "Connection refused"}};
    f.recording.WritePortResults(ports);
    QVERIFY(ports.isEmpty());
    QCOMPARE(f.field(QStringLiteral("::1"), QStringLiteral("80"), QStringLiteral("Status")),
             QStringLiteral("Connected"));
    QCOMPARE(f.field(QStringLiteral("a"), QStringLiteral("25"), QStringLiteral("Last_Error")),
             QStringLiteral("connection refused"));
    QVERIFY(f.ctx.end.codes.isEmpty());
}

void RecordingTest::storeError_reportedUnderRoutineName_data() {
    QTest::addColumn<int>("routine");
    QTest::addColumn<QString>("reportName");
    QTest::newRow("Device_Update") << 0 << "Device_Update";
    QTest::newRow("Ping_Update") << 1 << "Device_Ping_Update";
    QTest::newRow("Port_Update") << 2 << "Port_Update";
    QTest::newRow("GetAlias") << 3 << "GetAlias";
}

void RecordingTest::storeError_reportedUnderRoutineName() {
    QFETCH(int, routine);
    QFETCH(QString, reportName);
    Fixture f;
    f.data.db.close();
    QString status = QStringLiteral("Connected");
    switch (routine) {
    case 0:
        f.recording.Device_Update(QStringLiteral("Add"), QStringLiteral("x"));
        break;
    case 1:
        f.recording.Ping_Update(QStringLiteral("x"), status, 1, {});
        break;
    case 2:
        f.recording.Port_Update(QStringLiteral("Modify"), QStringLiteral("x"), QStringLiteral("80"),
                                {}, {}, status, {});
        break;
    default:
        QCOMPARE(f.recording.GetAlias(QStringLiteral("x")), QStringLiteral("X"));
    }
    QCOMPARE(f.ctx.end.codes, QVector<int>{1});
    QCOMPARE(f.ctx.dialogs.messages.size(), 1);
    QVERIFY(f.ctx.dialogs.messages.first().text.contains(QStringLiteral("in the ") + reportName +
                                                         QStringLiteral(" subroutine")));
}

void RecordingTest::failedCommit_reportedUnderWriterName_data() {
    QTest::addColumn<bool>("ping");
    QTest::addColumn<QString>("writer");
    QTest::newRow("ping pass") << true << "WritePingResults";
    QTest::newRow("port pass") << false << "WritePortResults";
}

void RecordingTest::failedCommit_reportedUnderWriterName() {
    QFETCH(bool, ping);
    QFETCH(QString, writer);
    Fixture f;
    f.data.addDevice(QStringLiteral("a"));
    f.data.addItem(QStringLiteral("a"), QStringLiteral("Ping"));
    f.data.addItem(QStringLiteral("a"), QStringLiteral("80"));
    // Every write of an item leaves a deferred constraint broken, so COMMIT itself fails and
    // the pass is rolled back, as on a full disk.
    for (const char* sql :
         {"PRAGMA foreign_keys = ON", "CREATE TEMP TABLE Guard (Name TEXT PRIMARY KEY)",
          "CREATE TEMP TABLE Guarded (Name TEXT REFERENCES Guard (Name) DEFERRABLE "
          "INITIALLY DEFERRED)",
          "CREATE TEMP TRIGGER GuardWrites AFTER UPDATE ON main.Main_Data BEGIN "
          "INSERT INTO Guarded VALUES ('missing'); END"})
        f.data.db.execute({QString::fromLatin1(sql), {}});

    if (ping) {
        PingResultList results{{"a", "Connected", 3, {}}};
        f.recording.WritePingResults(results);
        QVERIFY(results.isEmpty());
    } else {
        PortResultList results{{"Modify", "a", "80", {}, {}, "Connected", {}}};
        f.recording.WritePortResults(results);
        QVERIFY(results.isEmpty());
    }
    QCOMPARE(f.field(QStringLiteral("a"), ping ? QStringLiteral("Ping") : QStringLiteral("80"),
                     QStringLiteral("Status")),
             QStringLiteral("Not Checked"));
    QCOMPARE(f.ctx.end.codes, QVector<int>{1});
    QCOMPARE(f.ctx.dialogs.messages.size(), 1);
    QVERIFY2(f.ctx.dialogs.messages.first().text.contains(QStringLiteral("in the ") + writer +
                                                          QStringLiteral(" subroutine")),
             qPrintable(f.ctx.dialogs.messages.first().text));
}

ORVEX_TEST_GUILESS_MAIN(RecordingTest)
#include "tst_recording.moc"
