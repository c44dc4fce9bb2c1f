#pragma once

#include "core/Services.h"
#include "engine/EngineView.h"
#include "engine/MonitorView.h"
#include "ui/main/MainLayout.h"

#include <functional>
#include <memory>
#include <QMainWindow>
#include <QPointer>

class AppContext;
class Database;
class DatabaseCommands;
class DetailList;
class DevicePanes;
class DeviceTree;
class HistoryPane;
class MainMenus;
class MonitorEngine;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabBar;
class QToolBar;
class QToolButton;
class QTreeWidgetItem;
class ResultRecording;
class SplitterGrip;
class StatusPanels;
class TrayIcon;

// The main window: toolbar, title strip, device tree, splitter, the tabbed right pane with the
// detail list and the message window, and the status bar, laid out by the twips arithmetic of
// MainLayout. It owns the monitoring engine and the mail control; the dialogs and the
// database file commands are reached through the signals below.
class frmMain final : public QMainWindow,
                      public EngineView,
                      public MonitorView,
                      public MessageWindow,
                      public FileViewer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    using SplashLabel = std::function<void(const QString&)>;

    // Builds the window and fills the tree and the list from the database; splashLabel shows
    // the progress texts while the splash box is up.
    frmMain(AppContext& context, Database& monitorDB, const SplashLabel& splashLabel = {},
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Creates the monitoring engine and the mail control and puts the tray icon up; the
    // start-up routine calls it once the assistant is loaded.
    void Form_Load();
    // Places the window from twips.
    void placeWindow(float left, float top, float width, float height);

    // The window's controls, for the routines and the tests that drive them.
    DeviceTree& tvTreeView() const { return *m_tree; }
    DetailList& lvListView() const { return *m_list; }
    DevicePanes& panes() const { return *m_panes; }
    TrayIcon& tray() const { return *m_tray; }
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QToolButton* toolButton(const QString& key) const;
    QString statusPanel(int panel) const;
    QPlainTextEdit& txtMessageWindow() const { return *m_messageWindow; }
    int selectedTab() const; // 1, 2 or 3
    HistoryPane& historyPane() const { return *m_history; }
    float splitterLeft() const { return m_splitterLeft; }
    MainLayout::Frame layoutFrame() const;
    double twipsPerPixel() const;
    MonitorEngine* engine() const { return m_engine; }
    QObject* mailControl() const { return m_mailControl; }
    bool splitterBarVisible() const;
    float splitterBarLeft() const;

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
    void applyMonitoringState(bool monitoringOn) override;
    void setStopEnabled(bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setTrayIcon(int image, const QString& tip) override;
    int treeNodeCount() const override;
    // The icon pass after a check cycle, with the tray picture and tip.
    void Check_TVIcons() override;
    void refreshDetailList() override { mnulvRefresh_Click(); }
    void setAssistantMonitoringCommands(bool monitoringOn) override;
    void notifyDesktop(const QString& title, const QString& text) override;

    void SizeControls(float& x);
    void Form_Paint();
    void setViewMode(int mode);
    void tbToolBar_ButtonClick(const QString& key);
    void tbToolBar_ButtonMenuClick(const QString& key);
    void TabStrip1_Click(int tab);
    void mnuListViewMode_Click(int index);
    void mnulvRightClickMode_Click(int index);
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(float xTwips);
    void imgSplitter_MouseUp();

    void tvTreeView_NodeClick(QTreeWidgetItem* node);
    // Sets the tree pop-up's item states from the selected node and the monitoring state.
    void prepareTreeMenu();
    void lvListView_ItemClick(const QString& key);
    void lvListView_DblClick();

public slots:
    void mnutvModifyDeviceDesc_Click();
    void mnutvAddPort_Click();
    void mnutvModifyPortDesc_Click();
    void mnutvDeleteDevice_Click();
    void mnutvDeletePort_Click();
    void mnuViewRefresh_Click();
    void mnutvRefresh_Click();
    void mnulvRefresh_Click();
    void mnuViewLog_Click();
    void mnuAboutIssues_Click();
    void mnuAboutReadme_Click();
    void mnuAboutHalvikWebSite_Click();
    void mnuHelpAbout_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void Monitor_Initialize();
    void Monitor_Stop();
    // The assistant's "Restore" and "Minimize" commands, and the tray's "Restore".
    void Restore();
    void Minimize();

signals:
    void newDatabaseRequested();
    void openDatabaseRequested();
    void saveDatabaseAsRequested();
    void compactDatabaseRequested();
    void reloadDatabaseRequested();
    void optionsRequested();
    void addDeviceRequested();
    // The shared selected key names the node while these are handled.
    void modifyDeviceRequested();
    void modifyPortsRequested();
    void modifyPortRequested();
    // The assistant's "Restore" and "Minimize" follow the window: true while it is minimised
    // or lives only in the notification area.
    void restoreAvailableChanged(bool available);
    // The assistant's "Monitoring On" and "Monitoring Off" follow the monitoring state.
    void monitoringCommandsChanged(bool monitoringOn);
    // The exit was confirmed: the character and the check sockets let go now.
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void connectCommands();
    void buildClientArea();
    void buildStatusBar();
    void Form_Initialize(const SplashLabel& splashLabel);
    void Form_Resize();
    bool Form_Unload();
    void placeTwips(QWidget* widget, const MainLayout::TwipsRect& rect) const;
    float toTwips(int pixels) const;
    int toPixels(float twips) const;
    void showListTab();
    void refreshHistory();
    void expandNodes(bool expanded);
    void createMailControl();
    void restoreMonitoringChecks();
    void withSelectedKey(void (frmMain::*request)());
    void openProgramFile(const QString& name);
    void showHalted();

    AppContext& m_context;
    Database& m_db;
    QWidget* m_client;
    QToolBar* m_toolbar;
    QFrame* m_titles;
    QLabel* m_title0;
    QLabel* m_title1;
    DeviceTree* m_tree;
    SplitterGrip* m_grip;
    QFrame* m_splitterBar;
    QTabBar* m_tabs;
    DetailList* m_list;
    QPlainTextEdit* m_messageWindow;
    QStatusBar* m_statusBar;
    QLabel* m_panel1;
    QLabel* m_panel2;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<DevicePanes> m_panes;
    std::unique_ptr<ResultRecording> m_recording;
    TrayIcon* m_tray;
    DatabaseCommands* m_databaseCommands;
    StatusPanels* m_statusPanels;
    QPointer<QObject> m_mailControl;
    MonitorEngine* m_engine = nullptr;
    HistoryPane* m_history = nullptr;

    QString m_messageText;
    float m_splitterLeft = 2500;
    bool m_dragging = false;
    bool m_expandAll = false;
    // An error report is up and the program ends when it closes.
    bool m_halted = false;
};
