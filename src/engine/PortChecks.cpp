#include "engine/PortChecks.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/EventPause.h"
#include "engine/EngineView.h"
#include "engine/ItemKey.h"
#include "engine/ResultRecording.h"
#include "platform/SocketArray.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
const QString Busy = QStringLiteral("1");
const QString Modify = QStringLiteral("Modify");
const QString Failed = QStringLiteral("Failed");
constexpr qint32 DefaultHostTimeOut = 20000;

// A stored port that is no TCP port number; 0 when it is none.
qint32 portNumber(const QString& port) {
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    return ok && number >= 1 && number <= 65535 ? number : 0;
}
} // namespace

PortChecks::PortChecks(AppContext& context, EngineView& view, ResultRecording& recording,
                       QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_view(view)
    , m_recording(recording)
    , m_sockets(new SocketArray(SocketCount, this))
    , m_timeOut(new QTimer(this))
    , m_attemptDeadline(new QTimer(this)) {
    m_attemptDeadline->setSingleShot(true);
    m_timeOut->setSingleShot(true);
    m_timeOut->setTimerType(Qt::PreciseTimer);
    connect(m_timeOut, &QTimer::timeout, this, &PortChecks::Timer1_Timer);
    for (int i = 0; i < SocketCount; ++i) {
        SocketControl& element = (*m_sockets)[i];
        connect(&element, &SocketControl::OnConnect, this, &PortChecks::Winsock1_Connect);
        connect(&element, &SocketControl::OnError, this, &PortChecks::Winsock1_Error);
    }
}

void PortChecks::Check_Ports(QStringList& PortList) {
    ignoreErrors([] { EventPause::letEventsRun(); });
    m_results.clear();
    m_pace.restart();
    ignoreErrors([&] {
        m_fast = m_context.catalogue().fastChecks();
        m_attemptTimeOut = hostTimeOut();
    });
    for (const QString& target : std::as_const(PortList)) {
        if (!m_context.state().MonitoringOn)
            return;
        const ItemKey key = ItemKey::split(target);
        ignoreErrors([&] { issue(key.device, key.port); });
    }
    ignoreErrors([&] { m_fast ? waitFast() : WaitPortSockets(); });
    m_fast = false;
    ignoreErrors([&] { m_recording.WritePortResults(m_results); });
}

void PortChecks::issue(const QString& device, const QString& port) {
    const qint32 number = portNumber(port);
    if (number == 0) {
        // Connecting anyway would try whatever port the element held before.
        append({Modify, device, port, {}, {}, Failed, QStringLiteral("invalid port number")});
        return;
    }
    const int index = freeSocket();
    m_view.setStatusPanel(1, QStringLiteral("Check in progress... (") + device + QLatin1Char(')'));
    m_slot[0][index] = ItemKey::join(device, port);
    m_slot[1][index] = Busy;
    m_targets[index] = {device, port};
    m_startedAt[index].start();
    SocketControl& element = (*m_sockets)[index];
    element.setLocalPort(0);
    element.setRemoteHost(device);
    element.setRemotePort(number);
    m_started[index].start();
    element.Connect();
}

// Every look costs a 100 ms pause, counted from the previous look. There is no limit: an
// outstanding attempt always ends, at the latest when the system gives up on the connect.
int PortChecks::freeSocket() {
    if (m_fast) {
        // Events run between connects as in the paced pass, only without the pause.
        EventPause::letEventsRun();
        for (;;) {
            const int index = freeSocketNow();
            if (index >= 0)
                return index;
            if (!timeOutExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    for (;;) {
        EventPause::letEventsRun();
        m_pace.waitForLook();
        for (int i = 0; i < SocketCount; ++i) {
            if ((*m_sockets)[i].State() == 0 && m_slot[1][i] != Busy)
                return i;
        }
    }
}

int PortChecks::freeSocketNow() {
    for (int i = 0; i < SocketCount; ++i) {
        if ((*m_sockets)[i].State() == 0 && m_slot[1][i] != Busy)
            return i;
    }
    return -1;
}

// Times out the attempts that have run for HostTimeOut; tells whether one was. Otherwise the
// deadline timer is set for the oldest outstanding attempt, so that a wait for events ends then.
bool PortChecks::timeOutExpired() {
    bool any = false;
    qint64 soonest = -1;
    for (int i = 0; i < SocketCount; ++i) {
        if (m_slot[1][i] != Busy)
            continue;
        const qint64 left = m_attemptTimeOut - m_startedAt[i].elapsed();
        if (left <= 0) {
            timeOutElement(i);
            any = true;
        } else if (soonest < 0 || left < soonest) {
            soonest = left;
        }
    }
    // With nothing outstanding, an element still closing is looked at again shortly.
    if (!any)
        m_attemptDeadline->start(soonest >= 0 ? int(soonest) : 10);
    return any;
}

void PortChecks::waitFast() {
    trapErrors(m_context, "WaitPortSockets", [&] {
        m_view.setStatusPanel(1, QStringLiteral("Check in progress...(Closing Port Sockets)"));
        for (;;) {
            EventPause::letEventsRun();
            bool busy = false;
            for (int i = 0; i < SocketCount; ++i)
                busy = busy || m_slot[1][i] == Busy;
            if (!busy)
                break;
            if (!timeOutExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        m_attemptDeadline->stop();
    });
}

void PortChecks::WaitPortSockets() {
    trapErrors(m_context, "WaitPortSockets", [&] {
        m_portTimedOut = false;
        m_timeOut->setInterval(hostTimeOut());
        m_timeOut->start();
        m_view.setStatusPanel(1, QStringLiteral("Check in progress...(Closing Port Sockets)"));
        for (int i = 0; i < SocketCount; ++i) {
            SocketControl& element = (*m_sockets)[i];
            if (element.State() == 0)
                continue;
            for (;;) {
                EventPause::letEventsRun();
                EventPause::pause(50);
                if (m_portTimedOut) {
                    timeOutElement(i);
                    break;
                }
                if (element.State() == 0 || element.State() > 7)
                    break;
            }
        }
        m_timeOut->stop();
    });
}

// Below one second the wait would end before any attempt could answer, and a negative value
// would leave the timer off and the wait to the system's own connect time-out.
qint32 PortChecks::hostTimeOut() const {
    const qint32 milliseconds = m_context.catalogue().hostTimeOutMilliseconds();
    return milliseconds < 1000 ? DefaultHostTimeOut : milliseconds;
}

void PortChecks::timeOutElement(int index) {
    SocketControl& element = (*m_sockets)[index];
    // An element whose outcome arrived during the last pause is free and recorded already.
    if (element.State() == 0 && m_slot[1][index] != Busy)
        return;
    element.Close();
    const ItemKey& key = m_targets[index];
    QString status = Failed;
    m_recording.Port_Update(Modify, key.device, key.port, {}, {}, status,
                            QStringLiteral("the attempt to connect timed out"));
    m_slot[1][index].clear();
}

void PortChecks::Timer1_Timer() {
    m_portTimedOut = true;
    m_timeOut->stop();
}

void PortChecks::Winsock1_Connect(qint16 Index) {
    trapErrors(m_context, "Winsock1_Connect",
               [&] { record(Index, QStringLiteral("Connected"), {}); });
}

void PortChecks::Winsock1_Error(qint16 Index, qint32 /*Number*/, const QString& Description) {
    trapErrors(m_context, "Winsock1_Error", [&] { record(Index, Failed, Description); });
}

void PortChecks::record(int index, const QString& status, const QString& error) {
    const ItemKey& key = m_targets[index];
    // The history keeps how long a good connect took; a failure has no such time.
    qint32 connectTime = -1;
    if (status == QLatin1String("Connected") && m_started[index].isValid())
        connectTime = qint32(qMin<qint64>(m_started[index].elapsed(), INT32_MAX));
    append({Modify, key.device, key.port, {}, {}, status, error, connectTime});
    (*m_sockets)[index].Close();
    m_slot[1][index].clear();
}

void PortChecks::append(const PortResult& result) {
    m_results.append(result);
    emit portResultAdded(result.record());
}
