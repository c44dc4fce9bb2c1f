#include "engine/MonitorEngine.h"

#include "engine/HistoryUpkeep.h"
#include "engine/MonitorCycle.h"
#include "engine/NetworkChecks.h"
#include "engine/NotificationDispatch.h"
#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "report/HtmlPage.h"

MonitorEngine::MonitorEngine(AppContext& context, Database& db, ResultRecording& recording,
                             EngineView& view, MonitorView& monitorView, QObject* parent)
    : QObject(parent)
    , m_recording(recording)
    , m_page(std::make_unique<HtmlPage>(context, db))
    , m_pings(std::make_unique<PingChecks>(context, view, m_recording))
    , m_ports(std::make_unique<PortChecks>(context, view, m_recording))
    , m_checks(std::make_unique<NetworkChecks>(*m_pings, *m_ports))
    , m_dispatch(
          std::make_unique<NotificationDispatch>(context, db, monitorView, m_recording, *m_page))
    , m_cycle(
          std::make_unique<MonitorCycle>(context, db, view, monitorView, *m_checks, *m_dispatch))
    , m_upkeep(std::make_unique<HistoryUpkeep>(context, db)) {
    connect(m_cycle.get(), &MonitorCycle::monitoringStarted, m_pings.get(),
            &PingChecks::warnWhenNotPermitted);
}

MonitorEngine::~MonitorEngine() = default;
