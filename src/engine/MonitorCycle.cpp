#include "engine/MonitorCycle.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "engine/EngineView.h"
#include "engine/ItemKey.h"
#include "engine/MonitorView.h"
#include "engine/NotificationDispatch.h"
#include "store/Catalogue.h"
#include "store/Database.h"

namespace {
constexpr int DefaultMinute = 60000;
} // namespace

MonitorCycle::MonitorCycle(AppContext& context, Database& db, EngineView& view,
                           MonitorView& monitorView, CheckPasses& checks,
                           NotificationDispatch& dispatch, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_db(db)
    , m_view(view)
    , m_monitorView(monitorView)
    , m_checks(checks)
    , m_dispatch(dispatch) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &MonitorCycle::Timer1_Timer);
    connect(&context.errors(), &ErrorReport::halting, this, &MonitorCycle::halt);
    connect(&context.catalogue(), &SettingsCatalogue::changed, this,
            &MonitorCycle::takeNewInterval);
}

int MonitorCycle::minuteMilliseconds() {
    static const int minute = [] {
        bool ok = false;
        const int value = qEnvironmentVariableIntValue("ORVEX_MINUTE_MS", &ok);
        return ok && value > 0 ? value : DefaultMinute;
    }();
    return minute;
}

void MonitorCycle::Monitor_Initialize() {
    if (m_halted)
        return;
    trapErrors(m_context, "Monitor_Initialize", [&] {
        if (m_monitorView.treeNodeCount() < 2) {
            m_context.speak(QStringLiteral("Monitoring can not be enabled at this time because "
                                           "there are no devices to verify."),
                            QStringLiteral("Decline"));
            m_context.speak(QStringLiteral("Right-click on 'Monitored Devices' and select 'Add "
                                           "Device' from the popup menu."),
                            QStringLiteral("Suggest"));
            m_monitorView.setMonitoringState(MonitoringState::Off);
            return;
        }
        m_monitorView.setMonitoringState(MonitoringState::Waiting);
        m_context.state().MinutesLeft = 0;
        m_timer.setInterval(1);
        m_timer.start();
        const QString text = QStringLiteral("Monitoring is on.");
        m_view.setStatusPanel(2, text);
        m_context.speak(text, QStringLiteral("Explain"));
        m_context.log().WriteLog(QStringLiteral("Monitoring Started."), QStringLiteral("Message"));
        emit monitoringStarted();
        m_context.state().MonitoringOn = true;
    });
    ignoreErrors(
        [&] { m_monitorView.setAssistantMonitoringCommands(m_context.state().MonitoringOn); });
}

void MonitorCycle::Monitor_Stop() {
    trapErrors(m_context, "Monitor_Stop", [&] {
        m_monitorView.setMonitoringState(MonitoringState::Off);
        m_monitorView.setBusyPointer(false);
        m_context.state().MonitoringOn = false;
        const QString text = QStringLiteral("Monitoring is off.");
        m_view.setStatusPanel(1, QStringLiteral("Ready"));
        m_view.setStatusPanel(2, text);
        m_context.log().WriteLog(QStringLiteral("Monitoring Stopped."), QStringLiteral("Message"));
        m_context.assistant().dropUnspoken();
        m_context.speak(text, QStringLiteral("Sad"));
        m_timer.stop();
        m_monitorView.setTrayIcon(TrayState::Idle,
                                  AppInfo::Title + QStringLiteral(" - Monitoring OFF."));
    });
    ignoreErrors([&] { m_monitorView.setAssistantMonitoringCommands(false); });
}

void MonitorCycle::halt() {
    m_halted = true;
    m_timer.stop();
    m_context.state().MonitoringOn = false;
}

// Monitoring was switched off while the cycle ran; the end of the cycle has since put the
// commands, the status text and the tray back to their cycle states.
void MonitorCycle::showMonitoringOff() {
    ignoreErrors([&] { m_monitorView.setMonitoringState(MonitoringState::Off); });
    ignoreErrors([&] { m_view.setStatusPanel(1, QStringLiteral("Ready")); });
    ignoreErrors([&] { m_view.setStatusPanel(2, QStringLiteral("Monitoring is off.")); });
    ignoreErrors([&] {
        m_monitorView.setTrayIcon(TrayState::Idle,
                                  AppInfo::Title + QStringLiteral(" - Monitoring OFF."));
    });
    ignoreErrors([&] { m_monitorView.setAssistantMonitoringCommands(false); });
}

void MonitorCycle::Monitor_Begin() {
    ignoreErrors([&] { m_monitorView.setMonitoringState(MonitoringState::Checking); });
    m_timer.stop();
    m_context.state().CheckInProgress = true;
    ignoreErrors([&] { m_view.setStatusPanel(1, QStringLiteral("Check in progress...")); });
    ignoreErrors([&] { m_monitorView.setBusyPointer(true); });
    ignoreErrors([&] {
        m_monitorView.setTrayIcon(TrayState::Checking,
                                  AppInfo::Title + QStringLiteral(" - Check In Progress."));
    });
}

void MonitorCycle::buildTargetLists() {
    const QString ping = QStringLiteral("Ping");
    for (Recordset devices = m_db.openRecordset(Catalogue::deviceNames()); !devices.atEnd();
         devices.moveNext()) {
        const QString device = devices.text(QStringLiteral("Device"));
        for (Recordset items = m_db.openRecordset(Catalogue::itemPortsOfDevice(device));
             !items.atEnd(); items.moveNext()) {
            const QString port = items.text(QStringLiteral("Port"));
            // Only "Ping" exactly is the ping check; "ping" is taken for a port.
            if (port == ping)
                DeviceList << device;
            else
                PortList << ItemKey::join(device, port);
        }
    }
}

void MonitorCycle::Monitor_Devices() {
    trapErrors(m_context, "Monitor_Devices", [&] {
        Monitor_Begin();
        buildTargetLists();
        if (!DeviceList.isEmpty())
            m_checks.Check_Ping(DeviceList);
        if (!PortList.isEmpty())
            m_checks.Check_Ports(PortList);
        m_dispatch.Monitor_Finish();
    });
    DeviceList.clear();
    PortList.clear();
}

qint16 MonitorCycle::nextCountdown() const {
    // Fewer than one minute would never count down to the next cycle again.
    return std::max<qint16>(1, m_context.catalogue().minBetweenChecks());
}

// The countdown under way restarts at once from a newly stored interval, taken as stored
// (without the lower bound of the countdown a cycle starts).
void MonitorCycle::takeNewInterval(const QString& key) {
    if (key == Key::MinBetweenChecks.key)
        ignoreErrors(
            [&] { m_context.state().MinutesLeft = m_context.catalogue().minBetweenChecks(); });
}

void MonitorCycle::showCountdown() {
    const qint16 left = m_context.state().MinutesLeft;
    m_view.setStatusPanel(
        1, QStringLiteral("Next Check In ") + QString::number(left) +
               (left == 1 ? QStringLiteral(" Minute.") : QStringLiteral(" Minutes.")));
}

void MonitorCycle::Timer1_Timer() {
    // A tick queued before the timer stopped does nothing; neither does one that arrives while
    // a cycle runs (monitoring switched off and on again from the assistant): the running
    // cycle re-arms the timer when it ends. CheckInProgress alone does not cover the whole
    // cycle: it is cleared before the end-of-cycle notices, whose mail waits let events run.
    if (!m_timer.isActive() || m_halted)
        return;
    if (m_cycleRunning || m_context.state().CheckInProgress) {
        m_timer.stop(); // no idle ticking until the running cycle re-arms it
        return;
    }
    qint16& minutesLeft = m_context.state().MinutesLeft;
    if (minutesLeft == 0) {
        m_cycleRunning = true;
        Monitor_Devices();
        m_cycleRunning = false;
        if (!m_context.state().MonitoringOn) {
            showMonitoringOff();
            return;
        }
        m_timer.start(minuteMilliseconds());
        if (!trapErrors(m_context, "Timer1_Timer", [&] { minutesLeft = nextCountdown(); }))
            return;
    }
    showCountdown();
    minutesLeft = static_cast<qint16>(minutesLeft - 1);
}
