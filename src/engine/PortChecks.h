#pragma once

#include "engine/CheckPace.h"
#include "engine/CheckResults.h"
#include "engine/ItemKey.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class AppContext;
class EngineView;
class ResultRecording;
class SocketArray;
class QTimer;

// The port step of a check cycle: a TCP connect to every target (device:port) through up to
// 31 connect elements at once; each outcome appends a port record
// (action;device;port;type;description;status;error) to PortResults. Attempts still open when
// HostTimeOut expires are closed and recorded as timed out, then the records are written in
// one pass. With the fast pace (Options/FastChecks) the 100 ms pause between connects goes,
// and each attempt is bounded by HostTimeOut from its own start rather than from the wait's.
class PortChecks final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortChecks)

public:
    static constexpr int SocketCount = 31;

    PortChecks(AppContext& context, EngineView& view, ResultRecording& recording,
               QObject* parent = nullptr);

    void Check_Ports(QStringList& PortList);
    void WaitPortSockets();
    void Winsock1_Connect(qint16 Index);
    void Winsock1_Error(qint16 Index, qint32 Number, const QString& Description);

    SocketArray& Winsock1() const { return *m_sockets; }
    // The one-shot time-out timer of the wait; its tick sets PortTimedOut and stops it.
    QTimer& Timer1() const { return *m_timeOut; }
    void Timer1_Timer();
    bool PortTimedOut() const { return m_portTimedOut; }

    // Row 0: the element's target; row 1: "1" while its attempt is outstanding.
    QString PortSlot(int row, int index) const { return m_slot[row][index]; }
    const PortResultList& PortResults() const { return m_results; }

signals:
    // The text form of each result as it arrives.
    void portResultAdded(const QString& record);

private:
    int freeSocket();
    int freeSocketNow();
    void waitFast();
    bool timeOutExpired();
    void issue(const QString& device, const QString& port);
    void timeOutElement(int index);
    qint32 hostTimeOut() const;
    void record(int index, const QString& status, const QString& error);
    void append(const PortResult& result);

    AppContext& m_context;
    EngineView& m_view;
    ResultRecording& m_recording;
    SocketArray* m_sockets;
    QTimer* m_timeOut;
    bool m_portTimedOut = false;
    QString m_slot[2][SocketCount];
    // The device and port of each element's attempt, kept apart so that neither is ever split
    // out of a text again.
    ItemKey m_targets[SocketCount];
    QElapsedTimer m_started[SocketCount];
    PortResultList m_results;
    CheckPace m_pace{100};
    bool m_fast = false;
    qint32 m_attemptTimeOut = 0;
    QElapsedTimer m_startedAt[SocketCount];
    // Wakes the fast pass when the oldest outstanding attempt runs out of time.
    QTimer* m_attemptDeadline;
};
