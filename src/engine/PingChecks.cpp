#include "engine/PingChecks.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/EventPause.h"
#include "engine/EngineView.h"
#include "engine/ResultRecording.h"
#include "platform/EchoSweep.h"
#include "platform/PingControl.h"
#include "platform/PingSocket.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

namespace {
const QString Busy = QStringLiteral("1");
const QString Idle = QStringLiteral("0");
const QString Connected = QStringLiteral("Connected");
const QString Failed = QStringLiteral("Failed");
const QString TimedOut = QStringLiteral("request timed out");
} // namespace

PingChecks::PingChecks(AppContext& context, EngineView& view, ResultRecording& recording,
                       QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_view(view)
    , m_recording(recording)
    , m_sweep(new EchoSweep(this)) {
    connect(m_sweep, &EchoSweep::OnPing, this,
            [this](int key, const QString&, qint32 status, qint32 roundTrip, qint64) {
                sweepReplied(key, status, roundTrip);
            });
    connect(m_sweep, &EchoSweep::OnPingError, this,
            [this](int key, const QString& text, qint32) { sweepFailed(key, text); });
    for (int i = 0; i < ControlCount; ++i) {
        auto* control = new PingControl(qint16(i), this);
        connect(control, &PingControl::OnPing, this,
                [this](qint16 index, const QString& host, qint32 status, qint32 roundTrip) {
                    DPingCtl1_OnPing(index, host, status, roundTrip);
                });
        connect(control, &PingControl::OnPingError, this,
                [this](qint16 index, const QString& text) { DPingCtl1_OnPingError(index, text); });
        m_controls.append(control);
    }
}

void PingChecks::Check_Ping(QStringList& DeviceList) {
    trapErrors(m_context, "Check_Ping", [&] {
        const SettingsCatalogue& settings = m_context.catalogue();
        const qint16 packetSize = settings.pingPacketSize();
        const qint16 count = settings.pingCount();
        const qint32 timeOut = settings.pingTimeOut();
        m_results.clear();
        if (settings.fastChecks()) {
            m_sweep->setTimeOut(timeOut);
            m_sweep->setPacketSize(packetSize);
            m_sweep->setCount(count);
            sweepDevices(DeviceList);
            m_recording.WritePingResults(m_results);
            return;
        }
        m_pace.restart();
        for (const QString& device : std::as_const(DeviceList)) {
            EventPause::letEventsRun();
            const int index = freeControl();
            PingControl& control = *m_controls.at(index);
            m_slot[0][index] = Busy;
            m_slot[1][index] = device;
            control.setTimeOut(timeOut);
            control.setPacketSize(packetSize);
            control.setCount(count);
            control.Ping(device);
            m_view.setStatusPanel(1, QStringLiteral("Check in progress.  Pinging...(") + device +
                                         QLatin1Char(')'));
        }
        WaitPingSockets();
        m_recording.WritePingResults(m_results);
    });
}

// One request every 10 ms through the sweep, then one wait for the last time-out. The results
// arrive as the hosts answer and are put back in list order, as the paced pass writes them.
void PingChecks::sweepDevices(const QStringList& devices) {
    m_sweepDevices = devices;
    m_sweepOrder.clear();
    m_sweepPace.restart();
    for (int key = 0; key < devices.size(); ++key) {
        EventPause::letEventsRun();
        m_sweepPace.waitForLook();
        m_sweep->Ping(key, devices.at(key));
        m_view.setStatusPanel(1, QStringLiteral("Check in progress.  Pinging...(") +
                                     devices.at(key) + QLatin1Char(')'));
    }
    WaitPingSockets();
    QVector<int> order(m_results.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return m_sweepOrder.at(a) < m_sweepOrder.at(b); });
    PingResultList sorted;
    sorted.reserve(m_results.size());
    for (const int i : std::as_const(order))
        sorted.append(m_results.at(i));
    m_results = sorted;
    m_sweepDevices.clear();
}

void PingChecks::sweepReplied(int key, qint32 status, qint32 roundTrip) {
    trapErrors(m_context, "DPingCtl1_OnPing", [&] {
        if (key < 0 || key >= m_sweepDevices.size())
            return;
        m_sweepOrder.append(key);
        if (status != -1)
            appendFor(m_sweepDevices.at(key), Connected, roundTrip, {});
        else
            appendFor(m_sweepDevices.at(key), Failed, 0, TimedOut);
    });
}

void PingChecks::sweepFailed(int key, const QString& errorText) {
    trapErrors(m_context, "DPingCtl1_OnPingError", [&] {
        if (key < 0 || key >= m_sweepDevices.size())
            return;
        m_sweepOrder.append(key);
        appendError(m_sweepDevices.at(key), errorText);
    });
}

// Every look costs a 100 ms pause, counted from the previous look, so requests are at least
// that far apart. A control always ends its request by its time-out, so the search ends.
int PingChecks::freeControl() {
    for (;;) {
        for (int i = 0; i < ControlCount; ++i) {
            EventPause::letEventsRun();
            m_pace.waitForLook();
            if (m_slot[0][i] != Busy && m_controls.at(i)->Busy() == 0)
                return i;
        }
    }
}

void PingChecks::WaitPingSockets() {
    ignoreErrors([&] {
        m_view.setStatusPanel(1, QStringLiteral("Check in progress...(Closing Ping Sockets)"));
    });
    for (PingControl* control : std::as_const(m_controls)) {
        // Only an event can end a request, so sleeping until the next event loses nothing and
        // spares the processor.
        ignoreErrors([&] {
            while (control->Busy() != 0)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        });
    }
    ignoreErrors([&] {
        while (m_sweep->outstanding() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    });
    for (int i = 0; i < ControlCount; ++i) {
        m_slot[0][i].clear();
        m_slot[1][i].clear();
    }
}

void PingChecks::DPingCtl1_OnPing(qint16 Index, const QString& /*Host*/, qint32 Status,
                                  qint32 RoundTrip) {
    trapErrors(m_context, "DPingCtl1_OnPing", [&] {
        const int i = Index;
        if (Status != -1) {
            append(Connected, RoundTrip, {}, i);
        } else {
            m_controls.at(i)->setBusy(0);
            append(Failed, 0, TimedOut, i);
        }
        m_slot[0][i] = Idle;
    });
}

void PingChecks::DPingCtl1_OnPingError(qint16 Index, const QString& ErrorText) {
    trapErrors(m_context, "DPingCtl1_OnPingError", [&] {
        const int i = Index;
        appendError(m_slot[1][i], ErrorText);
        m_slot[0][i] = Idle;
    });
}

void PingChecks::warnWhenNotPermitted() {
    if (!PingSocket::permitted())
        m_context.log().WriteLog(PingSocket::grantAdvice(QCoreApplication::applicationFilePath()),
                                 QStringLiteral("Warning"));
}

QString PingChecks::errorRecordText(const QString& ErrorText) {
    // The notices close the error text with a full stop of their own, so the text loses its
    // final one, with or without a line break after it. A break inside the text becomes a
    // blank, so the record stays on one line and nothing else is cut.
    QString text = ErrorText;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return text;
}

void PingChecks::append(const QString& status, qint32 roundTrip, const QString& error, int index) {
    appendFor(m_slot[1][index], status, roundTrip, error);
}

void PingChecks::appendError(const QString& device, const QString& errorText) {
    const QString text = errorRecordText(errorText);
    appendFor(device, Failed, 0,
              text.contains(QStringLiteral("pinging"), Qt::CaseInsensitive) ? TimedOut : text);
}

void PingChecks::appendFor(const QString& device, const QString& status, qint32 roundTrip,
                           const QString& error) {
    m_results.append({device, status, roundTrip, error});
    emit pingResultAdded(m_results.last().record());
}
