#pragma once

#include "engine/CheckPace.h"
#include "engine/CheckResults.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class AppContext;
class EngineView;
class EchoSweep;
class PingControl;
class ResultRecording;

// The ping step of a check cycle: every device of the list is pinged through the ping
// controls, one request per free control; each event appends a ping record
// (device;status;round trip;error) to PingResults, and once every control is idle the
// records are written in one pass. With the fast pace (Options/FastChecks) every device is
// pinged through one echo sweep instead, a request every 10 ms, and the pass waits once for
// the time-out after the last request; the records are the same.
class PingChecks final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PingChecks)

public:
    static constexpr int ControlCount = 1;

    PingChecks(AppContext& context, EngineView& view, ResultRecording& recording,
               QObject* parent = nullptr);

    void Check_Ping(QStringList& DeviceList);
    void WaitPingSockets();
    void DPingCtl1_OnPing(qint16 Index, const QString& Host, qint32 Status, qint32 RoundTrip);
    void DPingCtl1_OnPingError(qint16 Index, const QString& ErrorText);
    // Where this user may send no echo requests, says once in the log how to allow them; each
    // request then fails with a short text.
    void warnWhenNotPermitted();

    PingControl& DPingCtl1(int index) const { return *m_controls.at(index); }
    // Row 0: "1" while a request is assigned, "0" after its event; row 1: the device.
    QString PingSlot(int row, int index) const { return m_slot[row][index]; }
    const PingResultList& PingResults() const { return m_results; }
    EchoSweep& sweep() const { return *m_sweep; }

    // The error text a ping error is recorded with.
    static QString errorRecordText(const QString& ErrorText);

signals:
    // The text form of each result as it arrives.
    void pingResultAdded(const QString& record);

private:
    int freeControl();
    void sweepDevices(const QStringList& devices);
    void sweepReplied(int key, qint32 status, qint32 roundTrip);
    void sweepFailed(int key, const QString& errorText);
    void append(const QString& status, qint32 roundTrip, const QString& error, int index);
    void appendFor(const QString& device, const QString& status, qint32 roundTrip,
                   const QString& error);
    void appendError(const QString& device, const QString& errorText);

    AppContext& m_context;
    EngineView& m_view;
    ResultRecording& m_recording;
    QVector<PingControl*> m_controls;
    QString m_slot[2][ControlCount];
    PingResultList m_results;
    CheckPace m_pace{100};
    EchoSweep* m_sweep;
    CheckPace m_sweepPace{10, CheckPace::Rest::Idle};
    QStringList m_sweepDevices; // by key
    QVector<int> m_sweepOrder;  // the key of each result, to put them back in list order
};
