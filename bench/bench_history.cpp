// Times the check history at the size of a month of checks: 1,000 items checked every five
// minutes for 30 days, kept as single checks for two days and as hourly rows before that.
// Prints figures only.

#include "core/AppContext.h"
#include "engine/EngineView.h"
#include "engine/ResultRecording.h"
#include "report/HtmlHistory.h"
#include "store/Database.h"
#include "store/History.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/frmMain.h"
#include "ui/main/HistoryPane.h"
#include "ui/main/MainClientArea.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int Devices = 250;
const QStringList Ports{QStringLiteral("Ping"), QStringLiteral("22"), QStringLiteral("443"),
                        QStringLiteral("80")};
constexpr qint64 Step = 5 * 60 * 1000;
constexpr int Days = 30;

QString deviceName(int d) {
    return QStringLiteral("host-%1.example").arg(d, 4, 10, QLatin1Char('0'));
}

template <typename Body> double timed(Body&& body) {
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

void addItems(Database& db, int devices) {
    Database::Transaction transaction(db);
    for (int d = 0; d < devices; ++d) {
        db.execute({QStringLiteral("Insert into Devices (Device) values (?)"), {deviceName(d)}});
        for (const QString& port : Ports)
            db.execute({QStringLiteral("Insert into Main_Data (Device, Port) values (?, ?)"),
                        {deviceName(d), port}});
    }
    transaction.commit();
}

// One check in 50 fails; round trips wander between 1 and 60 ms.
HistoryCheck checkAt(int d, const QString& port, qint64 time) {
    const qint64 n = time / Step + d;
    const bool good = n % 50 != 0;
    return {deviceName(d),
            port,
            time,
            good,
            good ? qint32(1 + (n * 7) % 60) : -1,
            good ? QString() : QStringLiteral("request timed out")};
}

// A month of passes as the program makes them: every item checked every five minutes and
// the roll-up after each pass; a day of passes to a transaction to keep the fill short.
void fillMonth(Database& db, qint64 now) {
    const qint64 from = now - Days * History::DayMs;
    std::optional<Database::Transaction> day;
    for (qint64 t = from; t <= now; t += Step) {
        if (!day)
            day.emplace(db);
        for (int d = 0; d < Devices; ++d) {
            for (const QString& port : Ports)
                History::append(db, checkAt(d, port, t));
        }
        // The upkeep between the passes, in full.
        while (History::rollUp(db, t, Days)) {
        }
        if ((t - from) % History::DayMs == History::DayMs - Step) {
            day->commit();
            day.reset();
        }
    }
    if (day)
        day->commit();
}

class NoView final : public EngineView {
public:
    void setStatusPanel(int, const QString&) override {}
    void setDeviceNodeText(const QString&, const QString&) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir folder;
    AppContext context(folder.path());
    qint64 now = context.clock().now().toMSecsSinceEpoch();

    // A pass of 10,000 results: the history's own appends and the roll-up after them.
    {
        const QString path = context.paths().inProgramFolder(QStringLiteral("pass.mdb"));
        Database::create(path);
        Database db;
        db.open(path);
        const double appendMs = timed([&] {
            Database::Transaction transaction(db);
            for (int i = 0; i < 10000; ++i)
                History::append(db, checkAt(i / 4, Ports.at(i % 4), now));
            transaction.commit();
        });
        std::printf("10,000 history rows in one pass              %8.1f ms\n", appendMs);
    }
    // The same through result recording: a ping pass of 10,000 results on 10,000 items, the
    // counters and the history written together.
    {
        const QString path = context.paths().inProgramFolder(QStringLiteral("recording.mdb"));
        Database::create(path);
        Database db;
        db.open(path);
        addItems(db, 2500);
        NoView view;
        ResultRecording recording(context, db, view);
        PingResultList results;
        for (int d = 0; d < 2500; ++d) {
            for (int i = 0; i < 4; ++i)
                results.append({deviceName(d),
                                i % 2 ? QStringLiteral("Connected") : QStringLiteral("Failed"),
                                12,
                                {}});
        }
        // Each device has one ping item, so the 10,000 results land four on each.
        const double passMs = timed([&] { recording.WritePingResults(results); });
        const qint64 rows = db.openRecordset({QStringLiteral("Select * from History"), {}}).count();
        std::printf("ping pass of 10,000 results with history  %8.1f ms (%lld history rows)\n",
                    passMs, rows);
    }

    // "--month FILE" keeps the filled month in FILE, and starts from it when it exists, so
    // that trying a change to the roll-up or the readers does not wait for the fill.
    const qsizetype monthArg = app.arguments().indexOf(QStringLiteral("--month"));
    const QString kept = monthArg > 0 ? app.arguments().value(monthArg + 1) : QString();
    const QString path = context.paths().inProgramFolder(QStringLiteral("month.mdb"));
    Database db;
    double fillMs = 0;
    if (!kept.isEmpty() && QFile::copy(kept, path)) {
        db.open(path);
        // The month ends where it was filled.
        now = db.openRecordset({QStringLiteral("Select max(Time) as Last from History"), {}})
                  .field(QStringLiteral("Last"))
                  .toLongLong();
    } else {
        Database::create(path);
        db.open(path);
        addItems(db, Devices);
        fillMs = timed([&] { fillMonth(db, now); });
        if (!kept.isEmpty()) {
            db.close();
            QFile::copy(path, kept);
            db.open(path);
        }
    }
    const qint64 rows = db.openRecordset({QStringLiteral("Select * from History"), {}}).count();
    db.close();
    const double sizeMb = double(QFileInfo(path).size()) / (1024 * 1024);
    db.open(path);

    // The upkeep between the passes once the month is full: in most looks nothing is due; when
    // an hour passes the 48-hour limit, its 1,000 item hours are folded a share at a time, each
    // share a transaction of its own as the program runs it.
    const double idleRollMs = timed([&] {
        Database::Transaction transaction(db);
        History::rollUp(db, now + 1000, Days);
        transaction.commit();
    });
    const qint64 nextHour = now - now % History::HourMs + History::HourMs + 1000;
    QVector<double> shares;
    double worstRollMs = 0;
    double worstCommitMs = 0;
    for (bool more = true; more;) {
        Database::Transaction transaction(db);
        const double ms = timed([&] { more = History::rollUp(db, nextHour, Days); });
        const double commitMs = timed([&] { transaction.commit(); });
        shares.append(ms + commitMs);
        worstRollMs = qMax(worstRollMs, ms);
        worstCommitMs = qMax(worstCommitMs, commitMs);
    }
    std::sort(shares.begin(), shares.end());
    const double medianShareMs = shares.at(shares.size() / 2);
    const double hourMs = std::accumulate(shares.begin(), shares.end(), 0.0);

    std::unique_ptr<frmMain> window = std::make_unique<frmMain>(context, db);
    window->show();
    QCoreApplication::processEvents();
    DeviceTree& tree = window->tvTreeView();
    QTreeWidgetItem* item = tree.node(deviceName(Devices / 2) + QStringLiteral(":Ping"));
    QTreeWidgetItem* device = tree.node(deviceName(Devices / 2));
    window->clientArea().tvTreeView_NodeClick(item);
    const double tabMs = timed([&] {
        window->clientArea().TabStrip1_Click(3);
        window->repaint();
        QCoreApplication::processEvents();
    });
    HistoryPane& pane = window->clientArea().historyPane();
    double rangeMs[3] = {};
    for (int r = HistoryPane::Day; r <= HistoryPane::Month; ++r) {
        rangeMs[r] = timed([&] {
            pane.setRange(HistoryPane::Range(r));
            pane.showNode(tree, item);
            pane.repaint();
        });
    }
    const double deviceMs = timed([&] {
        pane.showNode(tree, device);
        pane.repaint();
    });
    const double rootMs = timed([&] {
        pane.showNode(tree, tree.root());
        pane.repaint();
    });

    QString section;
    const double pageMs = timed([&] { section = HtmlHistory(context, db).HTML_History(); });
    const double pageAgainMs = timed([&] { section = HtmlHistory(context, db).HTML_History(); });

    std::printf("items: %d, history rows: %lld, database file: %.1f MB\n",
                Devices * int(Ports.size()), rows, sizeMb);
    std::printf("fill a month                   %9.1f ms\n", fillMs);
    std::printf("roll-up, nothing due           %9.1f ms\n", idleRollMs);
    std::printf("roll-up of a new hour          %9.1f ms per share with its commit (median), "
                "%.1f ms at most (work %.1f, commit %.1f at most), %lld shares, %.1f ms in all\n",
                medianShareMs, shares.last(), worstRollMs, worstCommitMs, qint64(shares.size()),
                hourMs);
    std::printf("History tab opened on an item  %9.1f ms\n", tabMs);
    const char* const ranges[] = {"24 hours", "7 days", "30 days"};
    for (int r = 0; r < 3; ++r)
        std::printf("item shown, range %-8s     %9.1f ms\n", ranges[r], rangeMs[r]);
    std::printf("device shown (30 days)         %9.1f ms\n", deviceMs);
    std::printf("root shown (%d devices)       %9.1f ms\n", Devices, rootMs);
    std::printf("page section for %d items    %9.1f ms, again %.1f ms (%lld kB)\n",
                Devices * int(Ports.size()), pageMs, pageAgainMs,
                qint64(section.toUtf8().size() / 1024));
    return 0;
}
