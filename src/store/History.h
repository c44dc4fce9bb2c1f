#pragma once

#include <QString>
#include <QVector>

class Database;

// One check's outcome as the history keeps it.
struct HistoryCheck {
    QString device;
    QString port;    // "Ping" or the TCP port number
    qint64 time = 0; // milliseconds since the epoch, UTC
    bool connected = false;
    qint32 roundTrip = -1; // milliseconds; below 0 when the check measured none
    QString error;
};

// Checks and failures over a span of time.
struct Availability {
    qint64 checks = 0;
    qint64 failures = 0;
    bool known() const { return checks > 0; }
    // The share of good checks in percent; 0 when there were none.
    double percent() const;
};

// Round-trip figures over a span: smallest, mean and largest time of the good checks.
struct RoundTrips {
    qint64 time = 0; // start of the span
    qint64 samples = 0;
    double minimum = 0;
    double average = 0;
    double maximum = 0;
};

// One single check of the recent history.
struct CheckMark {
    qint64 time = 0;
    bool connected = false;
    QString error;
};

// The rows a question is about: one item, or every item of a device when port is empty.
struct HistoryScope {
    QString device;
    QString port;
};

// The check history in the table History: one row per check for the last 48 hours (up to 49,
// as an hour is folded whole), and one
// row per item and hour before that, kept for a number of days. Rows name their item by
// device and port, which survive compaction and copies where row ids may not.
namespace History {
constexpr qint64 HourMs = 3600 * 1000;
constexpr qint64 DayMs = 24 * HourMs;
constexpr qint64 RawKeepMs = 48 * HourMs;
constexpr int DefaultDays = 90;

void append(Database& db, const HistoryCheck& check);
// Folds the single checks of each hour that lies wholly more than 48 hours back into one
// hourly row, and drops hourly rows older than the given number of days. Each call does a
// small share of what is due and says whether there may be more; nothing is due in most
// calls of an hour.
bool rollUp(Database& db, qint64 now, int days);
void removeDevice(Database& db, const QString& device);
void removeItem(Database& db, const QString& device, const QString& port);

Availability availability(Database& db, const HistoryScope& scope, qint64 from, qint64 to);
// The last `count` single checks, oldest first.
QVector<CheckMark> lastChecks(Database& db, const HistoryScope& scope, int count);
// Round trips in spans of `span` milliseconds from `from` to `to`, oldest first; spans
// without a good check are left out.
QVector<RoundTrips> roundTrips(Database& db, const HistoryScope& scope, qint64 from, qint64 to,
                               qint64 span);
RoundTrips roundTripSummary(Database& db, const HistoryScope& scope, qint64 from, qint64 to);
} // namespace History
