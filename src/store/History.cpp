#include "store/History.h"

#include "store/Database.h"

#include <QVariant>
#include <sqlite3.h>

namespace {

// A cached statement with its values bound, reset when the scope ends.
class Query final {
public:
    Query(Database& db, const QString& sql, const QVariantList& params)
        : m_db(db)
        , m_stmt(db.prepared(sql)) {
        for (int i = 0; i < params.size(); ++i)
            bindValue(i + 1, params.at(i));
    }
    ~Query() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool next() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_db.raise(rc);
        return false;
    }
    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    qint64 whole(int column) const { return sqlite3_column_int64(m_stmt, column); }
    double number(int column) const { return sqlite3_column_double(m_stmt, column); }
    QString text(int column) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                 sqlite3_column_bytes(m_stmt, column));
    }

private:
    void bindValue(int index, const QVariant& value) {
        int rc = SQLITE_OK;
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        } else if (value.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        } else {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            m_db.raise(rc);
    }

    Database& m_db;
    sqlite3_stmt* m_stmt;
};

// Every question about items names the item index: the age index matches "Hourly = 0 ...
// order by Time" too well, and the planner would walk every item's rows to use it.
//
// The where-clause for a scope and its values, followed by the values of the rest. A device's
// rows are looked up item by item, so each lookup is a range of the item index instead of a
// walk through every row of the device.
QString scopeClause(const HistoryScope& scope) {
    return scope.port.isEmpty()
               ? QStringLiteral("Device = ? and Port in (select Port from Main_Data where "
                                "Device = ?)")
               : QStringLiteral("Device = ? and Port = ?");
}

QVariantList scopeValues(const HistoryScope& scope, const QVariantList& more = {}) {
    return QVariantList{scope.device, scope.port.isEmpty() ? scope.device : scope.port} + more;
}

QVariant roundTripValue(const HistoryCheck& check) {
    // Only a good check carries a round trip; a failed one has none to average.
    if (!check.connected || check.roundTrip < 0)
        return {};
    return qlonglong(check.roundTrip);
}

// Good checks that carry a round trip count toward the mean; the figures are those of the
// row when the query reads one row or the span's when it groups them.
const QString FiguresColumns =
    QStringLiteral("min(RTT_Min), max(RTT_Max), "
                   "total(RTT_Avg * (Checks - Failures)), "
                   "total(case when RTT_Avg is null then 0 else Checks - Failures end)");

RoundTrips figuresAt(const Query& q, int first) {
    RoundTrips r;
    r.samples = qint64(q.number(first + 3));
    if (r.samples <= 0)
        return r;
    r.minimum = q.number(first);
    r.maximum = q.number(first + 1);
    r.average = q.number(first + 2) / q.number(first + 3);
    return r;
}

struct HourGroup {
    QString device;
    QString port;
    qint64 hour;
    qint64 checks;
    qint64 failures;
    QVariant minimum;
    QVariant average;
    QVariant maximum;
    qint64 samples;
};

// At most this many items have their due hour folded, and this many old hourly rows are
// dropped, per call: each call is one short transaction between the passes, so the window
// never waits on a whole hour of a thousand items.
constexpr int ItemsPerCall = 12;
constexpr int DropsPerCall = 100;

// The start of the oldest hour that still holds single checks before the limit, or -1.
qint64 oldestDueHour(Database& db, qint64 limit) {
    Query q(db,
            QStringLiteral("Select Time from History indexed by History_Age where Hourly = 0 and "
                           "Time < ? order by Time limit 1"),
            {limit});
    return q.next() ? q.whole(0) - q.whole(0) % History::HourMs : -1;
}

// Picks the items of this call into the temporary table HistoryDue: a share of the items
// with single checks in the hour. The age index yields them in the order the passes wrote
// them, so the rows they free lie on few pages.
int pickDueItems(Database& db, qint64 hour) {
    db.execute({QStringLiteral("Create temp table if not exists HistoryDue (Device TEXT COLLATE "
                               "NOCASE, Port TEXT COLLATE NOCASE, Merge INTEGER)"),
                {}});
    db.execute({QStringLiteral("Delete from temp.HistoryDue"), {}});
    const int picked = db.execute(
        {QStringLiteral("Insert into temp.HistoryDue (Device, Port, Merge) select distinct Device, "
                        "Port, 0 from History indexed by History_Age where Hourly = 0 and Time >= "
                        "? and Time < ? limit ?"),
         {hour, hour + History::HourMs, ItemsPerCall}});
    // An item whose hour was folded before (a check that came late) joins its existing row.
    db.execute({QStringLiteral("Update temp.HistoryDue set Merge = 1 where exists (select 1 from "
                               "History h indexed by History_Item where h.Device = "
                               "HistoryDue.Device and h.Port = HistoryDue.Port and h.Time = ? and "
                               "h.Hourly = 1)"),
                {hour}});
    return picked;
}

// One statement for all new hourly rows of the share, one for the single checks they replace.
// "cross join" keeps the share as the outer loop, so each item is one range of the item index.
void foldNewHours(Database& db, qint64 hour) {
    db.execute(
        {QStringLiteral(
             "Insert into History (Device, Port, Time, Hourly, Checks, Failures, RTT_Min, "
             "RTT_Avg, RTT_Max) select h.Device, h.Port, ?1, 1, count(*), total(h.Failures), "
             "min(h.RTT_Min), avg(h.RTT_Avg), max(h.RTT_Max) from temp.HistoryDue d cross "
             "join History h indexed by History_Item on h.Device = d.Device and h.Port = "
             "d.Port and h.Time >= ?1 and h.Time < ?2 and h.Hourly = 0 where d.Merge = 0 "
             "group by h.Device, h.Port"),
         {hour, hour + History::HourMs}});
    db.execute({QStringLiteral("Delete from History where _rowid_ in (select h._rowid_ from "
                               "temp.HistoryDue d cross join History h indexed by History_Item on "
                               "h.Device = d.Device and h.Port = d.Port and h.Time >= ?1 and "
                               "h.Time < ?2 and h.Hourly = 0 where d.Merge = 0)"),
                {hour, hour + History::HourMs}});
}

QVector<HistoryScope> itemsToMerge(Database& db) {
    QVector<HistoryScope> items;
    Query q(db, QStringLiteral("Select Device, Port from temp.HistoryDue where Merge = 1"), {});
    while (q.next())
        items.append({q.text(0), q.text(1)});
    return items;
}

QVector<HourGroup> hoursDue(Database& db, const HistoryScope& item, qint64 hour) {
    QVector<HourGroup> groups;
    Query q(db,
            QStringLiteral("Select count(*), total(Failures), min(RTT_Min), avg(RTT_Avg), "
                           "max(RTT_Max), count(RTT_Avg) from History indexed by History_Item "
                           "where Device = ? and Port = ? and Time >= ? and Time < ? and "
                           "Hourly = 0"),
            {item.device, item.port, hour, hour + History::HourMs});
    while (q.next() && q.whole(0) > 0) {
        const auto optional = [&q](int c) { return q.isNull(c) ? QVariant() : q.number(c); };
        groups.append({item.device, item.port, hour, q.whole(0), qint64(q.number(1)), optional(2),
                       optional(3), optional(4), q.whole(5)});
    }
    return groups;
}

void foldIntoHour(Database& db, const HourGroup& g) {
    // The expressions all read the row as it was, so the old weights apply to the old mean.
    const int changed = db.execute(
        {QStringLiteral(
             "Update History indexed by History_Item set Checks = Checks + ?, Failures = Failures "
             "+ ?, "
             "RTT_Min = min(coalesce(RTT_Min, ?3), coalesce(?3, RTT_Min)), "
             "RTT_Max = max(coalesce(RTT_Max, ?4), coalesce(?4, RTT_Max)), "
             "RTT_Avg = (coalesce(RTT_Avg, 0) * (Checks - Failures) + coalesce(?5, 0) * ?6) / "
             "nullif(case when RTT_Avg is null then 0 else Checks - Failures end + ?6, 0) "
             "where Device = ?7 and Port = ?8 and Time = ?9 and Hourly = 1"),
         {g.checks, g.failures, g.minimum, g.maximum, g.average, g.samples, g.device, g.port,
          g.hour}});
    if (changed == 0) {
        db.execute(
            {QStringLiteral("Insert into History (Device, Port, Time, Hourly, Checks, "
                            "Failures, RTT_Min, RTT_Avg, RTT_Max) "
                            "values (?, ?, ?, 1, ?, ?, ?, ?, ?)"),
             {g.device, g.port, g.hour, g.checks, g.failures, g.minimum, g.average, g.maximum}});
    }
    db.execute({QStringLiteral("Delete from History indexed by History_Item where Device = ? and "
                               "Port = ? and Time >= ? and Time < ? and Hourly = 0"),
                {g.device, g.port, g.hour, g.hour + History::HourMs}});
}

} // namespace

double Availability::percent() const {
    return checks > 0 ? 100.0 * double(checks - failures) / double(checks) : 0.0;
}

namespace History {

void append(Database& db, const HistoryCheck& check) {
    const QVariant rtt = roundTripValue(check);
    db.execute({QStringLiteral("Insert into History (Device, Port, Time, Failures, RTT_Min, "
                               "RTT_Avg, RTT_Max, Error) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                {check.device, check.port, check.time, check.connected ? 0 : 1, rtt, rtt, rtt,
                 check.error.isEmpty() ? QVariant() : QVariant(check.error)}});
}

bool rollUp(Database& db, qint64 now, int days) {
    // Whole hours only: each item's hour is folded once, when all of it is older than 48
    // hours, instead of a little at every pass.
    const qint64 rawLimit = (now - RawKeepMs) - (now - RawKeepMs) % HourMs;
    int folded = 0;
    if (const qint64 hour = oldestDueHour(db, rawLimit); hour >= 0) {
        folded = pickDueItems(db, hour);
        for (const HistoryScope& item : itemsToMerge(db)) {
            for (const HourGroup& group : hoursDue(db, item, hour))
                foldIntoHour(db, group);
        }
        foldNewHours(db, hour);
    }
    const qint64 keep = qint64(qMax(days, 1)) * DayMs;
    const int dropped = db.execute(
        {QStringLiteral("Delete from History where _rowid_ in (select _rowid_ from History "
                        "indexed by History_Age where Hourly = 1 and Time < ? limit ?)"),
         {now - keep, DropsPerCall}});
    return folded > 0 || dropped == DropsPerCall;
}

void removeDevice(Database& db, const QString& device) {
    db.execute(
        {QStringLiteral("Delete from History indexed by History_Item where Device = ?"), {device}});
}

void removeItem(Database& db, const QString& device, const QString& port) {
    db.execute({QStringLiteral(
                    "Delete from History indexed by History_Item where Device = ? and Port = ?"),
                {device, port}});
}

Availability availability(Database& db, const HistoryScope& scope, qint64 from, qint64 to) {
    Query q(
        db,
        QStringLiteral(
            "Select total(Checks), total(Failures) from History indexed by History_Item where ") +
            scopeClause(scope) + QStringLiteral(" and Time >= ? and Time <= ?"),
        scopeValues(scope, {from, to}));
    Availability a;
    if (q.next()) {
        a.checks = qint64(q.number(0));
        a.failures = qint64(q.number(1));
    }
    return a;
}

QVector<CheckMark> lastChecks(Database& db, const HistoryScope& scope, int count) {
    Query q(
        db,
        // Read backwards along the item index, so nothing is sorted (checks of one moment come
        // in the index's order); the error text, outside the index, is read only for failures.
        QStringLiteral("Select Time, Failures, case when Failures > 0 then Error end from History "
                       "indexed by History_Item where ") +
            scopeClause(scope) + QStringLiteral(" and Hourly = 0 order by Time desc limit ?"),
        scopeValues(scope, {count}));
    QVector<CheckMark> marks;
    while (q.next())
        marks.prepend({q.whole(0), q.whole(1) == 0, q.isNull(2) ? QString() : q.text(2)});
    return marks;
}

QVector<RoundTrips> roundTrips(Database& db, const HistoryScope& scope, qint64 from, qint64 to,
                               qint64 span) {
    Query q(db,
            QStringLiteral("Select Time - (Time % ?) as Span, ") + FiguresColumns +
                QStringLiteral(" from History indexed by History_Item where ") +
                scopeClause(scope) +
                QStringLiteral(" and Time >= ? and Time <= ? group by Span order by Span"),
            QVariantList{qMax<qint64>(span, 1)} + scopeValues(scope, {from, to}));
    QVector<RoundTrips> result;
    while (q.next()) {
        RoundTrips r = figuresAt(q, 1);
        r.time = q.whole(0);
        if (r.samples > 0)
            result.append(r);
    }
    return result;
}

RoundTrips roundTripSummary(Database& db, const HistoryScope& scope, qint64 from, qint64 to) {
    Query q(db,
            QStringLiteral("Select ") + FiguresColumns +
                QStringLiteral(" from History indexed by History_Item where ") +
                scopeClause(scope) + QStringLiteral(" and Time >= ? and Time <= ?"),
            scopeValues(scope, {from, to}));
    RoundTrips r;
    if (q.next())
        r = figuresAt(q, 0);
    r.time = from;
    return r;
}

} // namespace History
