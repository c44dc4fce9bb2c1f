#include "engine/PingChecks.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/EventPause.h"
#include "engine/EngineView.h"
#include "engine/ResultRecording.h"
#include "platform/PingControl.h"
#include "platform/PingSocket.h"

#include <QCoreApplication>

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
    , m_recording(recording) {
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
        const QString text = errorRecordText(ErrorText);
        append(Failed, 0,
               text.contains(QStringLiteral("pinging"), Qt::CaseInsensitive) ? TimedOut : text, i);
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
    m_results.append({m_slot[1][index], status, roundTrip, error});
    emit pingResultAdded(m_results.last().record());
}
