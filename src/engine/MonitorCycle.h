#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class AppContext;
class Database;
class EngineView;
class MonitorView;
class NotificationDispatch;

// The ping and port passes of one cycle, as the cycle drives them.
class CheckPasses {
public:
    virtual ~CheckPasses() = default;
    virtual void Check_Ping(QStringList& DeviceList) = 0;
    virtual void Check_Ports(QStringList& PortList) = 0;
};

// Switches monitoring on and off and runs the timed check cycle. While monitoring is on, the
// minute timer Timer1(0) counts MinutesLeft down; the tick that finds it at 0 pings every
// device, tries every port and hands over to the end-of-cycle dispatch.
class MonitorCycle final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MonitorCycle)

public:
    MonitorCycle(AppContext& context, Database& db, EngineView& view, MonitorView& monitorView,
                 CheckPasses& checks, NotificationDispatch& dispatch, QObject* parent = nullptr);

    // The length of the countdown's minute. Only tests shorten it, through the environment
    // variable ORVEX_MINUTE_MS of the process.
    static int minuteMilliseconds();

    bool minuteTimerActive() const { return m_timer.isActive(); }
    QStringList DeviceList;
    QStringList PortList;

public slots:
    void Monitor_Initialize();
    void Monitor_Stop();
    // The program ends on an error report: no cycle starts again and the running one issues
    // no further checks.
    void halt();

signals:
    // Monitoring has just been switched on ("Monitoring Started." is in the log).
    void monitoringStarted();

private:
    void Monitor_Begin();
    void showMonitoringOff();
    void Monitor_Devices();
    void Timer1_Timer();
    void buildTargetLists();
    void showCountdown();
    qint16 nextCountdown() const;
    void takeNewInterval(const QString& key);

    AppContext& m_context;
    Database& m_db;
    EngineView& m_view;
    MonitorView& m_monitorView;
    CheckPasses& m_checks;
    NotificationDispatch& m_dispatch;
    QTimer m_timer; // Timer1(0)
    bool m_cycleRunning = false;
    bool m_halted = false;
};
