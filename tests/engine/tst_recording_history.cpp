#include "engine/HistoryUpkeep.h"
#include "engine/ResultRecording.h"
#include "EngineTestSupport.h"
#include "store/History.h"
#include "TestContext.h"
#include "TestMain.h"

namespace {
const QString Connected = QStringLiteral("Connected");
const QString Failed = QStringLiteral("Failed");
const QDateTime CheckTime(QDate(2026, 3, 14), QTime(9, 26, 53));

struct Fixture {
    Fixture()
        : clock(CheckTime)
        , recording(*ctx, data.db, view) {
        ctx->setClock(&clock);
        data.addDevice("web");
        data.addItem("web", "Ping");
        data.addItem("web", "80");
        data.addDevice("mail");
        data.addItem("mail", "Ping");
    }
    qint64 now() const { return clock.now().toMSecsSinceEpoch(); }
    int historyRows(const QString& where = "1") {
        return data.count("Select * from History where " + where);
    }

    TestContext ctx;
    FixedClock clock;
    ScratchDatabase data;
    RecordingView view;
    ResultRecording recording;
};
} // namespace

class RecordingHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void result_joinsHistory_data();
    void result_joinsHistory();
    void result_forMissingItem_leavesNoHistory();
    void recovery_isRecordedAsGoodCheck();
    void upkeep_rollsUpAndKeepsHistoryDays_data();
    void upkeep_rollsUpAndKeepsHistoryDays();
    void deletes_takeHistoryInTheSameTransaction();
    void portPass_carriesConnectTimes();
};

void RecordingHistoryTest::result_joinsHistory_data() {
    QTest::addColumn<bool>("ping");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("time");
    QTest::addColumn<QString>("error");
    QTest::addColumn<qint64>("samples");
    QTest::newRow("ping reply") << true << Connected << 12 << QString() << qint64(1);
    QTest::newRow("ping reply of 0 ms") << true << Connected << 0 << QString() << qint64(1);
    QTest::newRow("ping failure") << true << Failed << 0 << "request timed out" << qint64(0);
    QTest::newRow("port connect") << false << Connected << 4 << QString() << qint64(1);
    QTest::newRow("port refused") << false << Failed << -1 << "Connection refused" << qint64(0);
    QTest::newRow("port timed out")
        << false << Failed << -1 << "the attempt to connect timed out" << qint64(0);
}

void RecordingHistoryTest::result_joinsHistory() {
    QFETCH(bool, ping);
    QFETCH(QString, status);
    QFETCH(int, time);
    QFETCH(QString, error);
    QFETCH(qint64, samples);
    Fixture f;
    const QString port = ping ? "Ping" : "80";
    if (ping)
        f.recording.Ping_Update("WEB", status, time, error);
    else
        f.recording.Port_Update("Modify", "WEB", port, {}, {}, status, error, time);

    const QVector<CheckMark> marks = History::lastChecks(f.data.db, {"web", port}, 10);
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.at(0).time, f.now());
    QCOMPARE(marks.at(0).connected, status == Connected);
    QCOMPARE(marks.at(0).error, error);
    const RoundTrips figures = History::roundTripSummary(f.data.db, {"web", port}, 0, f.now());
    QCOMPARE(figures.samples, samples);
    if (samples > 0)
        QCOMPARE(figures.maximum, double(time));
    // The history names the item as it is stored.
    QCOMPARE(f.historyRows("Device = 'web' collate binary"), 1);
    // The counters go on exactly as they did.
    QCOMPARE(f.data.item("web", port, status == Connected ? "Connect" : "Error").toInt(), 1);
}

void RecordingHistoryTest::result_forMissingItem_leavesNoHistory() {
    Fixture f;
    QString status = Failed;
    f.recording.Ping_Update("printer", status, 0, "request timed out");
    f.recording.Port_Update("Modify", "web", "443", {}, {}, status, "refused", -1);
    QCOMPARE(f.historyRows(), 0);
}

void RecordingHistoryTest::recovery_isRecordedAsGoodCheck() {
    Fixture f;
    QString status = Failed;
    f.recording.Ping_Update("mail", status, 0, "request timed out");
    f.clock.set(CheckTime.addSecs(300));
    status = Connected;
    f.recording.Ping_Update("mail", status, 8, {});
    QCOMPARE(status, QString("Recovered"));
    const QVector<CheckMark> marks = History::lastChecks(f.data.db, {"mail", "Ping"}, 10);
    QCOMPARE(marks.size(), 2);
    QVERIFY(!marks.at(0).connected);
    QVERIFY(marks.at(1).connected);
    QCOMPARE(marks.at(1).time - marks.at(0).time, 300 * 1000);
}

void RecordingHistoryTest::upkeep_rollsUpAndKeepsHistoryDays_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("hourlyKept");
    // Hourly rows 5, 20 and 100 days old.
    QTest::newRow("unset: 90 days") << QString() << 2;
    QTest::newRow("7 days") << "7" << 1;
    QTest::newRow("30 days") << "30" << 2;
    QTest::newRow("not a number: 90 days") << "soon" << 2;
    QTest::newRow("0: 90 days") << "0" << 2;
}

void RecordingHistoryTest::upkeep_rollsUpAndKeepsHistoryDays() {
    QFETCH(QString, setting);
    QFETCH(int, hourlyKept);
    Fixture f;
    if (!setting.isNull())
        f.ctx->settings().SaveSetting("Options", "HistoryDays", setting);
    for (const int days : {5, 20, 100})
        History::append(f.data.db, {"web", "Ping", f.now() - days * History::DayMs, true, 3, {}});
    // A single check whose hour lies wholly past 48 hours goes into that hour between passes;
    // the pass itself only adds its checks.
    History::append(f.data.db,
                    {"web", "80", f.now() - History::RawKeepMs - History::HourMs, true, 3, {}});
    PingResultList results{{"mail", Connected, 5, {}}};
    f.recording.WritePingResults(results);
    QCOMPARE(f.historyRows("Hourly = 0"), 5);
    HistoryUpkeep upkeep(*f.ctx, f.data.db);
    QTRY_COMPARE(f.historyRows("Hourly = 0"), 1);
    QTRY_COMPARE(f.historyRows("Hourly = 1 and Port = 'Ping'"), hourlyKept);
    QCOMPARE(f.historyRows("Hourly = 1 and Port = '80'"), 1);
}

void RecordingHistoryTest::deletes_takeHistoryInTheSameTransaction() {
    Fixture f;
    for (const char* item : {"web|Ping", "web|80", "mail|Ping"}) {
        const QStringList parts = QString(item).split('|');
        History::append(f.data.db, {parts[0], parts[1], f.now(), true, 1, {}});
    }
    QString status;
    {
        // A delete inside a transaction that is rolled back takes nothing with it.
        Database::Transaction abandoned(f.data.db);
        f.recording.Port_Update("Delete", "web", "*", {}, {}, status, {});
        QCOMPARE(f.historyRows("Device = 'web'"), 0);
    }
    QCOMPARE(f.historyRows("Device = 'web'"), 2);
    QCOMPARE(f.data.count("Select * from Main_Data where Device = 'web'"), 2);

    f.recording.Port_Update("Delete", "web", "80", {}, {}, status, {});
    QCOMPARE(f.historyRows("Device = 'web'"), 1);
    f.recording.Device_Update("Delete", "WEB");
    f.recording.Port_Update("Delete", "WEB", "*", {}, {}, status, {});
    QCOMPARE(f.historyRows("Device = 'web'"), 0);
    QCOMPARE(f.historyRows("Device = 'mail'"), 1);
    QVERIFY(f.ctx.end.codes.isEmpty());
}

void RecordingHistoryTest::portPass_carriesConnectTimes() {
    Fixture f;
    PortResultList results{{"Modify", "web", "80", {}, {}, Connected, {}, 7},
                           {"Modify", "web", "80", {}, {}, Failed, "Connection refused", -1}};
    f.recording.WritePortResults(results);
    QVERIFY(results.isEmpty());
    const RoundTrips figures = History::roundTripSummary(f.data.db, {"web", "80"}, 0, f.now());
    QCOMPARE(figures.samples, 1);
    QCOMPARE(figures.average, 7.0);
    QCOMPARE(History::availability(f.data.db, {"web", "80"}, 0, f.now()).failures, 1);
    // The record text the log and the tests read is unchanged.
    QCOMPARE(PortResult({"Modify", "web", "80", {}, {}, Connected, {}, 7}).record(),
             QString("Modify;web;80;;;Connected;"));
}

ORVEX_TEST_GUILESS_MAIN(RecordingHistoryTest)
#include "tst_recording_history.moc"
