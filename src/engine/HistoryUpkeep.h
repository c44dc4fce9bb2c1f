#pragma once

#include <QObject>
#include <QTimer>

class AppContext;
class Database;

// Keeps the check history within its bounds: folds single checks older than 48 hours into
// hourly rows and drops hourly rows past their days. The work runs between the passes in
// short transactions of its own, a share every few tenths of a second while any is due, so
// the window never waits on an hour of a thousand items at once; in between it only looks
// whether anything has become due.
class HistoryUpkeep final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryUpkeep)

public:
    static constexpr int LookMs = 60 * 1000;
    static constexpr int ShareMs = 100;

    HistoryUpkeep(AppContext& context, Database& db, QObject* parent = nullptr);

    // Does one share now; true when more may be due.
    bool runShare();

private:
    void onTimer();

    AppContext& m_context;
    Database& m_db;
    QTimer m_timer;
};
