#include "core/RuntimeError.h"
#include "SeededDatabase.h"
#include "store/Database.h"
#include "store/History.h"
#include "TestMain.h"

#include <QTemporaryDir>

namespace {
constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Hour = History::HourMs;
// A fixed "now" on the half hour, so that the rows around the 48-hour limit share an hour.
const qint64 Now = QDateTime(QDate(2026, 3, 14), QTime(12, 30), Qt::UTC).toMSecsSinceEpoch();

HistoryCheck check(const QString& device, const QString& port, qint64 time, bool connected,
                   qint32 rtt = -1, const QString& error = {}) {
    return {device, port, time, connected, rtt, error};
}

// Calls the roll-up until it says nothing more is due; returns how many calls that took.
int rollUpAll(Database& db, qint64 now, int days) {
    int calls = 1;
    while (History::rollUp(db, now, days) && calls < 1000)
        ++calls;
    return calls;
}

int rows(Database& db, const QString& where, const QVariantList& values = {}) {
    return db.openRecordset({"Select * from History where " + where, values}).count();
}
} // namespace

class HistoryTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void olderFile_gainsHistoryOnOpen();
    void fileWithoutOriginalTables_stillRefused();
    void append_keepsTimeStateRoundTripAndError();
    void rollUp_boundary_data();
    void rollUp_boundary();
    void rollUp_foldsAnHourOnceAndMergesLateChecks();
    void rollUp_boundedPerCall_catchesUpOverCalls();
    void rollUp_dropsHourlyRowsPastRetention_data();
    void rollUp_dropsHourlyRowsPastRetention();
    void availability_data();
    void availability();
    void availability_countsHourlyRowsOfOlderSpans();
    void roundTrips_spansAndSummary();
    void remove_deviceOrItemOnly();
    void compactAndBackup_keepHistory();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SeededDatabase> m_data;
    Database* m_db = nullptr;
    QString m_path;
};

void HistoryTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath("test.mdb");
    m_data = std::make_unique<SeededDatabase>(m_path);
    m_db = &m_data->db;
}

void HistoryTest::cleanup() {
    m_data.reset();
    m_dir.reset();
}

void HistoryTest::olderFile_gainsHistoryOnOpen() {
    m_db->execute({"Drop table History", {}});
    m_db->execute({"Insert into Devices (Device) values ('kept')", {}});
    m_db->close();
    m_db->open(m_path);
    History::append(*m_db, check("kept", "Ping", Now, true, 7));
    QCOMPARE(History::lastChecks(*m_db, {"kept", "Ping"}, 10).size(), 1);
    QCOMPARE(m_db->openRecordset({"Select * from Devices", {}}).text("Device"), QString("kept"));
    // A second open of an up-to-date file changes nothing.
    m_db->close();
    m_db->open(m_path);
    QCOMPARE(rows(*m_db, "1"), 1);
}

void HistoryTest::fileWithoutOriginalTables_stillRefused() {
    m_db->execute({"Drop table Main_Data", {}});
    m_db->close();
    try {
        m_db->open(m_path);
        QFAIL("a file without Main_Data was opened");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), 3343);
    }
}

void HistoryTest::append_keepsTimeStateRoundTripAndError() {
    m_data->addItems("web", {"Ping", "80"});
    History::append(*m_db, check("web", "Ping", Now - 2 * Minute, true, 12));
    History::append(*m_db, check("web", "Ping", Now - Minute, false, 0, "request timed out"));
    History::append(*m_db, check("web", "80", Now, true, 3));
    const QVector<CheckMark> ping = History::lastChecks(*m_db, {"WEB", "ping"}, 60);
    QCOMPARE(ping.size(), 2);
    QCOMPARE(ping.at(0).time, Now - 2 * Minute);
    QVERIFY(ping.at(0).connected);
    QVERIFY(!ping.at(1).connected);
    QCOMPARE(ping.at(1).error, QString("request timed out"));
    // A failure carries no round trip, so it cannot pull the figures down to 0.
    const RoundTrips figures = History::roundTripSummary(*m_db, {"web", "Ping"}, 0, Now);
    QCOMPARE(figures.samples, 1);
    QCOMPARE(figures.minimum, 12.0);
    QCOMPARE(figures.maximum, 12.0);
    // The device's scope holds all of its items, in time order.
    const QVector<CheckMark> all = History::lastChecks(*m_db, {"web", {}}, 2);
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(1).time, Now);
}

void HistoryTest::rollUp_boundary_data() {
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("age");
    QTest::addColumn<bool>("raw");
    const qint64 onTheHour = Now - 30 * Minute;
    QTest::newRow("on the hour, 47:59 stays a single check")
        << onTheHour << 47 * Hour + 59 * Minute << true;
    QTest::newRow("on the hour, 48:01 goes into its hour")
        << onTheHour << 48 * Hour + Minute << false;
    // Half past: the hour of a check 48:01 back is not yet wholly past the limit.
    QTest::newRow("half past, 48:01 waits for its hour") << Now << 48 * Hour + Minute << true;
    QTest::newRow("half past, 48:31 goes into its hour") << Now << 48 * Hour + 31 * Minute << false;
    QTest::newRow("a week old goes into its hour") << Now << 7 * 24 * Hour << false;
}

void HistoryTest::rollUp_boundary() {
    QFETCH(qint64, now);
    QFETCH(qint64, age);
    QFETCH(bool, raw);
    History::append(*m_db, check("d", "Ping", now - age, true, 20));
    History::rollUp(*m_db, now, History::DefaultDays);
    QCOMPARE(rows(*m_db, "Hourly = 0"), raw ? 1 : 0);
    QCOMPARE(rows(*m_db, "Hourly = 1"), raw ? 0 : 1);
    // Either way the check still counts, with its round trip.
    const Availability a = History::availability(*m_db, {"d", "Ping"}, now - 8 * 24 * Hour, now);
    QCOMPARE(a.checks, 1);
    QCOMPARE(History::roundTripSummary(*m_db, {"d", "Ping"}, 0, now).average, 20.0);
    if (!raw) {
        Recordset hour = m_db->openRecordset({"Select * from History", {}});
        const qint64 start = (now - age) - (now - age) % Hour;
        QCOMPARE(qint64(hour.number("Time")), start);
    }
}

void HistoryTest::rollUp_foldsAnHourOnceAndMergesLateChecks() {
    // 10:20, 10:25 and 10:28 three days back end in one row for the 10 o'clock hour; a check
    // of that hour that turns up later joins the row.
    const qint64 base = Now - 72 * Hour - 10 * Minute; // 10:20
    History::append(*m_db, check("d", "80", base, true, 10));
    History::append(*m_db, check("d", "80", base + 5 * Minute, false, -1, "refused"));
    History::rollUp(*m_db, Now, 90);
    QCOMPARE(rows(*m_db, "Hourly = 1"), 1);
    QCOMPARE(rows(*m_db, "Hourly = 0"), 0);
    History::append(*m_db, check("d", "80", base + 8 * Minute, true, 40));
    History::rollUp(*m_db, Now, 90);
    QCOMPARE(rows(*m_db, "Hourly = 0"), 0);
    Recordset hour = m_db->openRecordset({"Select * from History", {}});
    QCOMPARE(hour.count(), 1);
    QCOMPARE(hour.number("Checks"), 3.0);
    QCOMPARE(hour.number("Failures"), 1.0);
    QCOMPARE(hour.number("RTT_Min"), 10.0);
    QCOMPARE(hour.number("RTT_Max"), 40.0);
    QCOMPARE(hour.number("RTT_Avg"), 25.0);
}

void HistoryTest::rollUp_boundedPerCall_catchesUpOverCalls() {
    // 500 items with a check each in an old hour and 150 hourly rows past their days: one call
    // does a share, later calls the rest, and the last call says nothing more is due.
    Database::Transaction transaction(*m_db);
    for (int i = 0; i < 500; ++i)
        History::append(*m_db, check(QString("d%1").arg(i), "Ping", Now - 50 * Hour, true, 1));
    for (int i = 0; i < 150; ++i) {
        m_db->execute({"Insert into History (Device, Port, Time, Hourly) values ('old', 'Ping', "
                       "?, 1)",
                       {Now - 100 * History::DayMs - i * Hour}});
    }
    transaction.commit();
    QVERIFY(History::rollUp(*m_db, Now, 90));
    const int first = rows(*m_db, "Hourly = 1 and Device <> 'old'");
    QVERIFY(first > 0 && first < 500);
    const int calls = rollUpAll(*m_db, Now, 90);
    QVERIFY(calls > 1 && calls < 100);
    QCOMPARE(rows(*m_db, "Hourly = 1"), 500);
    QCOMPARE(rows(*m_db, "Hourly = 0"), 0);
    QVERIFY(!History::rollUp(*m_db, Now, 90));
}

void HistoryTest::rollUp_dropsHourlyRowsPastRetention_data() {
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("kept");
    // Hourly rows 3, 10 and 40 days old.
    QTest::newRow("90 days keeps all") << 90 << 3;
    QTest::newRow("30 days") << 30 << 2;
    QTest::newRow("7 days") << 7 << 1;
    QTest::newRow("0 reads as one day") << 0 << 0;
}

void HistoryTest::rollUp_dropsHourlyRowsPastRetention() {
    QFETCH(int, days);
    QFETCH(int, kept);
    for (const int age : {3, 10, 40})
        History::append(*m_db, check("d", "Ping", Now - age * History::DayMs, true, 5));
    History::append(*m_db, check("d", "Ping", Now - Minute, false));
    rollUpAll(*m_db, Now, days);
    QCOMPARE(rows(*m_db, "Hourly = 1"), kept);
    QCOMPARE(rows(*m_db, "Hourly = 0"), 1);
}

void HistoryTest::availability_data() {
    QTest::addColumn<QList<bool>>("results");
    QTest::addColumn<qint64>("checks");
    QTest::addColumn<double>("percent");
    QTest::newRow("no checks") << QList<bool>{} << qint64(0) << 0.0;
    QTest::newRow("all failed") << QList<bool>{false, false, false} << qint64(3) << 0.0;
    QTest::newRow("all good") << QList<bool>{true, true} << qint64(2) << 100.0;
    QTest::newRow("mixed") << QList<bool>{true, false, true, true} << qint64(4) << 75.0;
}

void HistoryTest::availability() {
    QFETCH(QList<bool>, results);
    QFETCH(qint64, checks);
    QFETCH(double, percent);
    m_data->addItems("d", {"Ping", "22"});
    qint64 time = Now - Hour;
    for (const bool good : results)
        History::append(*m_db, check("d", "Ping", time += Minute, good, good ? 1 : -1));
    // Another item of the device and another device stay out of the item's figures.
    History::append(*m_db, check("d", "22", Now - Minute, false));
    History::append(*m_db, check("e", "Ping", Now - Minute, false));
    const Availability a = History::availability(*m_db, {"d", "Ping"}, Now - 24 * Hour, Now);
    QCOMPARE(a.checks, checks);
    QCOMPARE(a.known(), checks > 0);
    QCOMPARE(a.percent(), percent);
    const Availability device = History::availability(*m_db, {"d", {}}, Now - 24 * Hour, Now);
    QCOMPARE(device.checks, checks + 1);
}

void HistoryTest::availability_countsHourlyRowsOfOlderSpans() {
    // Four days back: two good and two failed checks, rolled into one hour; one good check
    // yesterday.
    for (int i = 0; i < 4; ++i)
        History::append(*m_db, check("d", "Ping", Now - 4 * History::DayMs + i * Minute, i < 2, 9));
    History::append(*m_db, check("d", "Ping", Now - History::DayMs + Hour, true, 9));
    History::rollUp(*m_db, Now, 90);
    const HistoryScope item{"d", "Ping"};
    QCOMPARE(History::availability(*m_db, item, Now - History::DayMs, Now).percent(), 100.0);
    QCOMPARE(History::availability(*m_db, item, Now - 7 * History::DayMs, Now).percent(), 60.0);
    // The bar shows single checks only.
    QCOMPARE(History::lastChecks(*m_db, item, 60).size(), 1);
}

void HistoryTest::roundTrips_spansAndSummary() {
    const qint64 start = Now - Now % Hour - 3 * Hour;
    History::append(*m_db, check("d", "Ping", start + Minute, true, 10));
    History::append(*m_db, check("d", "Ping", start + 2 * Minute, true, 30));
    History::append(*m_db, check("d", "Ping", start + Hour + Minute, false));
    History::append(*m_db, check("d", "Ping", start + 2 * Hour + Minute, true, 0));
    const QVector<RoundTrips> spans = History::roundTrips(*m_db, {"d", "Ping"}, start, Now, Hour);
    // The hour with only a failure has no figures and is left out.
    QCOMPARE(spans.size(), 2);
    QCOMPARE(spans.at(0).time, start);
    QCOMPARE(spans.at(0).minimum, 10.0);
    QCOMPARE(spans.at(0).average, 20.0);
    QCOMPARE(spans.at(0).maximum, 30.0);
    QCOMPARE(spans.at(1).time, start + 2 * Hour);
    QCOMPARE(spans.at(1).maximum, 0.0);
    const RoundTrips all = History::roundTripSummary(*m_db, {"d", "Ping"}, start, Now);
    QCOMPARE(all.samples, 3);
    QCOMPARE(all.minimum, 0.0);
    QCOMPARE(all.average, 40.0 / 3);
    QCOMPARE(all.maximum, 30.0);
}

void HistoryTest::remove_deviceOrItemOnly() {
    for (const char* port : {"Ping", "80"}) {
        History::append(*m_db, check("a", port, Now, true, 1));
        History::append(*m_db, check("b", port, Now, true, 1));
    }
    History::removeItem(*m_db, "A", "80");
    QCOMPARE(rows(*m_db, "Device = 'a'"), 1);
    History::removeDevice(*m_db, "a");
    QCOMPARE(rows(*m_db, "Device = 'a'"), 0);
    QCOMPARE(rows(*m_db, "Device = 'b'"), 2);
}

void HistoryTest::compactAndBackup_keepHistory() {
    History::append(*m_db, check("d", "Ping", Now - 3 * History::DayMs, true, 4));
    History::append(*m_db, check("d", "Ping", Now, false, -1, "host unreachable"));
    History::rollUp(*m_db, Now, 90);
    const QString compacted = m_dir->filePath("compact.mdb");
    const QString copy = m_dir->filePath("copy.mdb");
    m_db->compactInto(compacted);
    m_db->backupTo(copy);
    m_db->close();
    for (const QString& path : {compacted, copy}) {
        Database other;
        other.open(path);
        QCOMPARE(rows(other, "Hourly = 1"), 1);
        const QVector<CheckMark> last = History::lastChecks(other, {"d", "Ping"}, 5);
        QCOMPARE(last.size(), 1);
        QCOMPARE(last.at(0).error, QString("host unreachable"));
    }
}

ORVEX_TEST_GUILESS_MAIN(HistoryTest)
#include "tst_store_history.moc"
