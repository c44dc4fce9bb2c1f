#include "ui/main/frmMain.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "engine/MonitorEngine.h"
#include "engine/PortChecks.h"
#include "platform/SocketArray.h"
#include "ui/main/DetailList.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/EngineFace.h"
#include "ui/main/MainClientArea.h"
#include "ui/main/MainCommands.h"
#include "ui/main/MainImages.h"
#include "ui/main/TrayIcon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

frmMain::frmMain(AppContext& context, Database& monitorDB, const SplashLabel& splashLabel,
                 QWidget* parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_client(new MainClientArea(context, monitorDB, this))
    , m_face(new EngineFace(context, monitorDB, *m_client, this))
    , m_commands(new MainCommands(context, monitorDB, *this, *m_client, *m_face, menuBar())) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppInfo::Title);
    setWindowIcon(MainImages::icon(MainImages::TrayIdle));
    setCentralWidget(m_client);
    m_face->tray().setMenu(m_commands->menu(QStringLiteral("mnuSysTray")));
    Form_Initialize(splashLabel);
}

frmMain::~frmMain() = default;

QAction* frmMain::action(const QString& name) const {
    return m_commands->action(name);
}

QMenu* frmMain::menu(const QString& name) const {
    return m_commands->menu(name);
}

QToolButton* frmMain::toolButton(const QString& key) const {
    return m_commands->toolButton(key);
}

DeviceTree& frmMain::tvTreeView() {
    return m_client->tvTreeView();
}

DetailList& frmMain::lvListView() {
    return m_client->lvListView();
}

DevicePanes& frmMain::panes() {
    return m_client->panes();
}

void frmMain::refreshHistory() {
    m_client->refreshHistory();
}

void frmMain::setStatusPanel(int panel, const QString& text) {
    m_face->setStatusPanel(panel, text);
}

QObject* frmMain::mailControl() const {
    return m_face->mailControl();
}

void frmMain::Form_Initialize(const SplashLabel& splashLabel) {
    trapErrors(m_context, "Form_Initialize", [&] {
        if (splashLabel)
            splashLabel(QStringLiteral("Loading Database"));
        m_client->panes().Load_Data();
        if (splashLabel)
            splashLabel(QStringLiteral("Updating Devices"));
        m_client->showListTab();
        m_client->panes().Update_Devices();
    });
}

void frmMain::placeWindow(float left, float top, float width, float height) {
    move(m_client->toPixels(left), m_client->toPixels(top));
    resize(m_client->toPixels(width), m_client->toPixels(height));
}

// --- painting, resizing and minimising ----------------------------------------------------

void frmMain::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    m_client->Form_Paint();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_client->Form_Paint();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize() {
    ignoreErrors([&] {
        if (m_context.state().StartupComplete == 0)
            return;
        if (isMinimized()) {
            // Without a notification area a hidden window could not be brought back.
            if (TrayIcon::desktopHasTray() && m_face->tray().isInTray())
                hide();
            emit restoreAvailableChanged(true);
            return;
        }
        const int floor = m_client->toPixels(MainLayout::floorWidth(m_client->toTwips(width())));
        if (width() < floor) {
            resize(floor, height());
            return; // the resize comes back here with the new width
        }
        m_client->relayout();
        emit restoreAvailableChanged(false);
    });
}

void frmMain::Restore() {
    // The normal state, also for a window that was maximised before it was minimised.
    setWindowState(windowState() &
                   ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    show();
    raise();
    activateWindow();
}

void frmMain::Minimize() {
    showMinimized();
}

// --- closing ------------------------------------------------------------------------------

void frmMain::closeEvent(QCloseEvent* event) {
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

bool frmMain::Form_Unload() {
    bool confirmed = false;
    ignoreErrors([&] {
        confirmed = m_context.dialogs().askYesNo(
            QStringLiteral("You are about to exit the program.  Are you sure?"), AppInfo::Title);
    });
    if (!confirmed)
        return false;
    ignoreErrors([&] { m_face->tray().setInTray(false); });
    ignoreErrors([&] { emit unloading(); });
    if (MonitorEngine* engine = m_face->engine()) {
        SocketArray& sockets = engine->ports().Winsock1();
        for (int i = 1; i < sockets.size(); ++i)
            ignoreErrors([&] { sockets[i].Close(); });
    }
    ignoreErrors([&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
            if (*it != this && (*it)->isVisible())
                (*it)->close();
        }
    });
    ignoreErrors([&] {
        if (isMinimized())
            return;
        SettingsCatalogue& catalogue = m_context.catalogue();
        const QRect frame = frameGeometry();
        catalogue.set(Key::MainLeft, m_client->toTwips(frame.x()));
        catalogue.set(Key::MainTop, m_client->toTwips(frame.y()));
        catalogue.set(Key::MainWidth, m_client->toTwips(width()));
        catalogue.set(Key::MainHeight, m_client->toTwips(height()));
    });
    ignoreErrors([&] { m_context.catalogue().set(Key::ViewMode, m_client->lvListView().view()); });
    m_context.programEnd().end(0);
    return true;
}
