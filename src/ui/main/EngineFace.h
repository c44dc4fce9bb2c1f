#pragma once

#include "core/Services.h"
#include "engine/EngineView.h"
#include "engine/MonitorView.h"

#include <memory>
#include <QObject>
#include <QPointer>

class AppContext;
class Database;
class MainClientArea;
class MonitorEngine;
class QWidget;
class ResultRecording;
class TrayIcon;

// The main window as the engine sees it: the status panels, the tree's node texts, the
// message window, the tray icon, the pointer and the monitoring state of the commands. It
// owns the one result recording, the monitoring engine and the mail control, and switches
// monitoring on and off for every command that asks.
class EngineFace final : public QObject,
                         public EngineView,
                         public MonitorView,
                         public MessageWindow,
                         public FileViewer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EngineFace)

public:
    // Registers itself as the program's message window and file viewer; window owns it and
    // the text viewers it opens.
    EngineFace(AppContext& context, Database& monitorDB, MainClientArea& client, QWidget* window);
    ~EngineFace() override;

    // Creates the monitoring engine and the mail control and puts the tray icon up; the
    // start-up routine calls it once the assistant is loaded.
    void Form_Load();

    ResultRecording& recording() const { return *m_recording; }
    MonitorEngine* engine() const { return m_engine; }
    QObject* mailControl() const { return m_mailControl; }
    TrayIcon& tray() const { return *m_tray; }
    QString statusPanel(int panel) const;
    MonitoringState monitoringState() const { return m_monitoringState; }

    // EngineView
    void setStatusPanel(int panel, const QString& text) override;
    void setDeviceNodeText(const QString& key, const QString& text) override;
    // MessageWindow: the CRLF text exactly as it was set.
    QString text() const override { return m_messageText; }
    void setTextAtEnd(const QString& text) override;
    void appendAtEnd(qsizetype dropped, const QString& added) override;
    // FileViewer: text files nothing on the desktop opens show in a window of the program.
    bool showFile(const QString& path) override;
    // MonitorView
    void setMonitoringState(MonitoringState state) override;
    void setBusyPointer(bool busy) override;
    void setTrayIcon(TrayState state, const QString& tip) override;
    int treeNodeCount() const override;
    // The icon pass after a check cycle, with the tray picture and tip.
    void Check_TVIcons() override;
    void refreshDetailList() override;
    void setAssistantMonitoringCommands(bool monitoringOn) override;
    void notifyDesktop(const QString& title, const QString& text) override;

public slots:
    // "Monitoring On" and "Monitoring Off" from the menus, the toolbar, the tray and the
    // character.
    void Monitor_Initialize();
    void Monitor_Stop();

signals:
    void monitoringStateChanged(MonitoringState state);
    // The assistant's "Monitoring On" and "Monitoring Off" follow the monitoring state.
    void monitoringCommandsChanged(bool monitoringOn);

private:
    void createMailControl();
    void showHalted();

    AppContext& m_context;
    Database& m_db;
    MainClientArea& m_client;
    QWidget* m_window;
    std::unique_ptr<ResultRecording> m_recording;
    TrayIcon* m_tray;
    QPointer<QObject> m_mailControl;
    MonitorEngine* m_engine = nullptr;
    QString m_messageText;
    MonitoringState m_monitoringState = MonitoringState::Off;
    // An error report is up and the program ends when it closes.
    bool m_halted = false;
};
