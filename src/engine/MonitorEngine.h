#pragma once

#include <memory>
#include <QObject>

class AppContext;
class Database;
class EngineView;
class HistoryUpkeep;
class HtmlPage;
class MonitorCycle;
class MonitorView;
class NetworkChecks;
class NotificationDispatch;
class PingChecks;
class PortChecks;
class ResultRecording;

// Everything that monitors, put together once for the main window: the ping and port passes,
// the status page, the end-of-cycle dispatch and the cycle itself. They record through the
// window's one result recording.
class MonitorEngine final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MonitorEngine)

public:
    MonitorEngine(AppContext& context, Database& db, ResultRecording& recording, EngineView& view,
                  MonitorView& monitorView, QObject* parent = nullptr);
    ~MonitorEngine() override;

    ResultRecording& recording() const { return m_recording; }
    PingChecks& pings() const { return *m_pings; }
    PortChecks& ports() const { return *m_ports; }
    NotificationDispatch& dispatch() const { return *m_dispatch; }
    MonitorCycle& cycle() const { return *m_cycle; }
    HistoryUpkeep& upkeep() const { return *m_upkeep; }

private:
    ResultRecording& m_recording;
    std::unique_ptr<HtmlPage> m_page;
    // Declared in the order they depend on each other, so they are destroyed the other way.
    std::unique_ptr<PingChecks> m_pings;
    std::unique_ptr<PortChecks> m_ports;
    std::unique_ptr<NetworkChecks> m_checks;
    std::unique_ptr<NotificationDispatch> m_dispatch;
    std::unique_ptr<MonitorCycle> m_cycle;
    std::unique_ptr<HistoryUpkeep> m_upkeep;
};
