#include "engine/HistoryUpkeep.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "store/Database.h"
#include "store/History.h"

HistoryUpkeep::HistoryUpkeep(AppContext& context, Database& db, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_db(db) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HistoryUpkeep::onTimer);
    // A file left for a while has hours to catch up on; the first look comes soon after start.
    m_timer.start(ShareMs);
}

bool HistoryUpkeep::runShare() {
    bool more = false;
    // A history that cannot be kept tidy must not stop the monitor; the next look tries again.
    ignoreErrors([&] {
        Database::Transaction share(m_db);
        more = History::rollUp(m_db, m_context.clock().now().toMSecsSinceEpoch(),
                               m_context.catalogue().historyDays());
        share.commit();
    });
    return more;
}

void HistoryUpkeep::onTimer() {
    if (!m_db.isOpen()) {
        m_timer.start(LookMs);
        return;
    }
    // Never inside a pass's transaction: its share comes once the pass is written.
    if (m_db.inTransaction()) {
        m_timer.start(ShareMs);
        return;
    }
    m_timer.start(runShare() ? ShareMs : LookMs);
}
