#pragma once

#include "engine/ItemKey.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorView.h"
#include "engine/ResultRecording.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

// What the cycle and the dispatch did to the window.
class RecordingMonitorView final : public MonitorView {
public:
    void setMonitoringState(MonitoringState state) override { states << state; }
    void setBusyPointer(bool busy) override { busyPointer = busy; }
    void setTrayIcon(TrayState state, const QString& tip) override {
        tray = state;
        trayTip = tip;
    }
    int treeNodeCount() const override { return nodes; }
    void Check_TVIcons() override { ++iconPasses; }
    void refreshDetailList() override { ++listRefreshes; }
    void setAssistantMonitoringCommands(bool on) override { assistantCommandsOn = on; }
    void notifyDesktop(const QString& title, const QString& text) override {
        notifications << title + "|" + text;
    }

    QList<MonitoringState> states;
    bool busyPointer = false;
    TrayState tray = TrayState::Idle;
    QString trayTip;
    int nodes = 2;
    int iconPasses = 0;
    int listRefreshes = 0;
    bool assistantCommandsOn = false;
    QStringList notifications;
};

// Check passes that record a scripted outcome for every target, through the real recording.
// Each ping pass is announced, so a test can wait for one or for none.
class ScriptedChecks final : public QObject, public CheckPasses {
    Q_OBJECT
public:
    explicit ScriptedChecks(ResultRecording& recording)
        : m_recording(recording) {}
    void Check_Ping(QStringList& DeviceList) override {
        pingLists << DeviceList;
        emit pinged();
        PingResultList results;
        for (const QString& device : DeviceList)
            results << (down.contains(device) ? PingResult{device, "Failed", 0, "request timed out"}
                                              : PingResult{device, "Connected", 3, {}});
        m_recording.WritePingResults(results);
        if (duringPing)
            duringPing();
    }
    void Check_Ports(QStringList& PortList) override {
        portLists << PortList;
        PortResultList results;
        for (const QString& target : PortList) {
            const ItemKey key = ItemKey::split(target);
            PortResult result{"Modify", key.device, key.port, {}, {}, {}, {}};
            result.Status = down.contains(target) ? "Failed" : "Connected";
            if (down.contains(target))
                result.Last_Error = "connection refused";
            results << result;
        }
        m_recording.WritePortResults(results);
    }

    QSet<QString> down; // devices or device:port targets that fail
    QList<QStringList> pingLists;
    QList<QStringList> portLists;
    std::function<void()> duringPing;

signals:
    void pinged();

private:
    ResultRecording& m_recording;
};

// Stands in for the late-bound mail control: the same property, method and event names. Each
// send stays "executing" for a moment, then completes.
class FakeMailControl final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString MailServerPrimary MEMBER MailServerPrimary)
    Q_PROPERTY(QString MailServerSecondary MEMBER MailServerSecondary)
    Q_PROPERTY(QString MailToEmail MEMBER MailToEmail)
    Q_PROPERTY(QString MailFromEmail MEMBER MailFromEmail)
    Q_PROPERTY(QString MailSubject MEMBER MailSubject)
    Q_PROPERTY(QString MailBody MEMBER MailBody)
    Q_PROPERTY(bool StillExecuting MEMBER StillExecuting)

public:
    Q_INVOKABLE void Send() {
        if (StillExecuting)
            overlapped = true;
        sent << MailToEmail;
        bodies << MailBody;
        subjects << MailSubject;
        StillExecuting = true;
        QTimer::singleShot(30, this, [this] {
            StillExecuting = false;
            if (failWith.isEmpty())
                emit SendComplete(QStringLiteral("Message Sent"));
            else
                emit SendError(failWith);
        });
    }

    QString MailServerPrimary, MailServerSecondary, MailToEmail, MailFromEmail, MailSubject,
        MailBody;
    bool StillExecuting = false;
    bool overlapped = false;
    QString failWith;
    QStringList sent, bodies, subjects;

signals:
    void SendComplete(const QString& Results);
    void SendError(const QString& ErrorDescription);
    void SMTPStatus(const QString& Status);
};
