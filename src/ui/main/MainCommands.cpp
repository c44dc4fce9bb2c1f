#include "ui/main/MainCommands.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "report/Assistant.h"
#include "ui/main/CommandWindow.h"
#include "ui/main/DatabaseCommands.h"
#include "ui/main/DeviceCommands.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/DocumentCommands.h"
#include "ui/main/EngineFace.h"
#include "ui/main/MainClientArea.h"
#include "ui/main/MainMenus.h"
#include "ui/main/OptionsCommands.h"
#include "ui/main/ViewMode.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

MainCommands::MainCommands(AppContext& context, Database& monitorDB, CommandWindow& window,
                           MainClientArea& client, EngineFace& face, QMenuBar* menuBar)
    : QObject(window.ownerWindow())
    , m_context(context)
    , m_window(window)
    , m_client(client)
    , m_face(face)
    , m_menus(std::make_unique<MainMenus>(menuBar, client.toolbar(), window.ownerWindow()))
    , m_database(new DatabaseCommands(context, monitorDB, window, this))
    , m_devices(new DeviceCommands(context, monitorDB, face.recording(), window, this))
    , m_documents(new DocumentCommands(context, window, this))
    , m_options(new OptionsCommands(context, window.ownerWindow())) {
    connectFileAndToolsMenus();
    connectViewCommands();
    connectTreeAndListMenus();
    connectMonitoring();
    setMonitoringState(face.monitoringState());
}

MainCommands::~MainCommands() = default;

QAction* MainCommands::action(const QString& name) const {
    return m_menus->action(name);
}

QMenu* MainCommands::menu(const QString& name) const {
    return m_menus->menu(name);
}

QToolButton* MainCommands::toolButton(const QString& key) const {
    return m_menus->toolButton(key);
}

template <typename Target, typename Slot>
void MainCommands::onTriggered(const char* item, Target* target, Slot slot) {
    connect(action(QLatin1String(item)), &QAction::triggered, target, slot);
}

// A toolbar button that runs a menu item's command is an action of its own (a shared one would
// give the menu an icon column), connected to the same routine.
void MainCommands::connectFileAndToolsMenus() {
    for (const char* item : {"mnuFileNew", "tbNew"})
        onTriggered(item, m_database, &DatabaseCommands::mnuFileNew_Click);
    onTriggered("mnuFileSaveAs", m_database, &DatabaseCommands::mnuFileSaveAs_Click);
    for (const char* item : {"mnuFileOpen", "tbOpen"})
        onTriggered(item, m_database, &DatabaseCommands::mnuFileOpen_Click);
    onTriggered("mnuCompactDatabase", m_database, &DatabaseCommands::mnuCompactDatabase_Click);
    onTriggered("mnuReloadDatabase", m_database, &DatabaseCommands::mnuReloadDatabase_Click);
    onTriggered("mnuFilemnuExit", m_window.ownerWindow(), &QWidget::close);
    for (const char* item : {"mnuViewOptions", "tbOptions"})
        onTriggered(item, m_options, &OptionsCommands::mnuViewOptions_Click);
    onTriggered("mnuViewLog", m_documents, &DocumentCommands::mnuViewLog_Click);
    onTriggered("mnuAboutHalvikWebSite", m_documents,
                &DocumentCommands::mnuAboutHalvikWebSite_Click);
    onTriggered("mnuAboutIssues", m_documents, &DocumentCommands::mnuAboutIssues_Click);
    onTriggered("mnuAboutReadme", m_documents, &DocumentCommands::mnuAboutReadme_Click);
    onTriggered("mnuHelpAbout", m_documents, &DocumentCommands::mnuHelpAbout_Click);
}

void MainCommands::connectViewCommands() {
    MainClientArea* client = &m_client;
    onTriggered("mnuViewToolbar", client, &MainClientArea::mnuViewToolbar_Click);
    onTriggered("mnuViewStatusBar", client, &MainClientArea::mnuViewStatusBar_Click);
    onTriggered("mnuViewRefresh", client, &MainClientArea::mnuViewRefresh_Click);
    for (int i = 0; i < 4; ++i) {
        connect(action(MainMenus::viewModeItem("mnuListViewMode", i)), &QAction::triggered, client,
                [client, i] { client->mnuListViewMode_Click(i); });
        connect(action(MainMenus::viewModeItem("mnulvRightClickMode", i)), &QAction::triggered,
                client, [client, i] { client->mnulvRightClickMode_Click(i); });
    }
    onTriggered("tbViews", client, &MainClientArea::nextViewMode);
    for (QAction* item : menu(QStringLiteral("tbViewsMenu"))->actions()) {
        const int mode = ViewMode::forMenuKey(item->text());
        connect(item, &QAction::triggered, client,
                [client, mode] { client->mnuListViewMode_Click(mode); });
    }
    onTriggered("tbNode", client, &MainClientArea::toggleNodes);
    connect(action(QStringLiteral("Expand Nodes")), &QAction::triggered, client,
            [client] { client->expandNodes(true); });
    connect(action(QStringLiteral("Collapse Nodes")), &QAction::triggered, client,
            [client] { client->expandNodes(false); });
    connect(client, &MainClientArea::viewModeShown, this, &MainCommands::showViewMode);
}

void MainCommands::connectTreeAndListMenus() {
    onTriggered("mnutvAddDevice", m_devices, &DeviceCommands::mnutvAddDevice_Click);
    onTriggered("mnutvModifyDeviceDesc", m_devices, &DeviceCommands::mnutvModifyDeviceDesc_Click);
    onTriggered("mnutvDeleteDevice", m_devices, &DeviceCommands::mnutvDeleteDevice_Click);
    onTriggered("mnutvAddPort", m_devices, &DeviceCommands::mnutvAddPort_Click);
    onTriggered("mnutvModifyPortDesc", m_devices, &DeviceCommands::mnutvModifyPortDesc_Click);
    onTriggered("mnutvDeletePort", m_devices, &DeviceCommands::mnutvDeletePort_Click);
    onTriggered("mnutvRefresh", &m_client, &MainClientArea::mnutvRefresh_Click);
    onTriggered("mnulvRefresh", &m_client, &MainClientArea::mnulvRefresh_Click);
    connect(&m_client, &MainClientArea::treeMenuRequested, this, [this](const QPoint& at) {
        trapErrors(m_context, "tvTreeView_MouseDown", [&] {
            prepareTreeMenu();
            menu(QStringLiteral("mnutvRightClick"))->popup(at);
        });
    });
    connect(&m_client, &MainClientArea::listMenuRequested, this,
            [this](const QPoint& at) { menu(QStringLiteral("mnulvRightClick"))->popup(at); });
}

void MainCommands::connectMonitoring() {
    for (const char* item : {"mnuMonitoringOn", "tbMonitor", "mnuSysTrayMonitoringOn"})
        onTriggered(item, &m_face, &EngineFace::Monitor_Initialize);
    for (const char* item : {"mnuMonitoringOff", "tbStop", "mnuSysTrayMonitoringOff"})
        onTriggered(item, &m_face, &EngineFace::Monitor_Stop);
    connect(action(QStringLiteral("mnuSysTrayRestore")), &QAction::triggered, this,
            [this] { m_window.Restore(); });
    connect(&m_face, &EngineFace::monitoringStateChanged, this, &MainCommands::setMonitoringState);
}

void MainCommands::attachAssistant(Assistant& assistant) {
    m_options->setAssistant(&assistant);
    connect(&assistant, &Assistant::restoreRequested, this, [this] { m_window.Restore(); });
    connect(&assistant, &Assistant::minimizeRequested, this, [this] { m_window.Minimize(); });
    connect(&assistant, &Assistant::monitoringOnRequested, &m_face,
            &EngineFace::Monitor_Initialize);
    connect(&assistant, &Assistant::monitoringOffRequested, &m_face, &EngineFace::Monitor_Stop);
    connect(&m_face, &EngineFace::monitoringCommandsChanged, &assistant,
            [&assistant](bool monitoringOn) {
                assistant.setCommandEnabled(QStringLiteral("Monitoring On"), !monitoringOn);
                assistant.setCommandEnabled(QStringLiteral("Monitoring Off"), monitoringOn);
            });
}

void MainCommands::setMonitoringState(MonitoringState state) {
    const bool on = state != MonitoringState::Off;
    const bool stoppable = state != MonitoringState::Checking;
    action(QStringLiteral("tbMonitor"))->setChecked(on);
    action(QStringLiteral("tbStop"))->setChecked(!on);
    action(QStringLiteral("tbStop"))->setEnabled(stoppable);
    for (const char* name : {"tbNew", "tbOpen", "mnuFileNew", "mnuFileSaveAs", "mnuFileOpen"})
        action(QLatin1String(name))->setEnabled(!on);
    menu(QStringLiteral("mnuDatabase"))->setEnabled(!on);
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"}) {
        action(QLatin1String(name))->setEnabled(!on);
        action(QLatin1String(name))->setChecked(on);
    }
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"}) {
        action(QLatin1String(name))->setEnabled(on && stoppable);
        action(QLatin1String(name))->setChecked(!on);
    }
}

void MainCommands::prepareTreeMenu() {
    const DeviceTree& tree = m_window.tvTreeView();
    const QTreeWidgetItem* node = tree.selectedNode();
    const bool on = m_context.state().MonitoringOn;
    const bool root = !on && tree.isRoot(node);
    const bool device = !on && tree.isDevice(node);
    const bool item = !on && node && !tree.isRoot(node) && !tree.isDevice(node);
    action(QStringLiteral("mnutvAddDevice"))->setEnabled(root);
    action(QStringLiteral("mnutvModifyDeviceDesc"))->setEnabled(device);
    action(QStringLiteral("mnutvDeleteDevice"))->setEnabled(device);
    action(QStringLiteral("mnutvAddPort"))->setEnabled(device);
    action(QStringLiteral("mnutvModifyPortDesc"))->setEnabled(item);
    action(QStringLiteral("mnutvDeletePort"))->setEnabled(item);
    action(QStringLiteral("mnutvRefresh"))->setEnabled(!on && node);
}

void MainCommands::showViewMode(int mode) {
    for (int i = 0; i < 4; ++i) {
        action(MainMenus::viewModeItem("mnuListViewMode", i))->setChecked(i == mode);
        action(MainMenus::viewModeItem("mnulvRightClickMode", i))->setChecked(i == mode);
    }
}
