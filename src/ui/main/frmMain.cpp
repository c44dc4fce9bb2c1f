#include "ui/main/frmMain.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorEngine.h"
#include "engine/NotificationDispatch.h"
#include "engine/PortChecks.h"
#include "engine/ResultRecording.h"
#include "platform/ComponentLoader.h"
#include "platform/SocketArray.h"
#include "report/AboutBox.h"
#include "store/Database.h"
#include "ui/main/DatabaseCommands.h"
#include "ui/main/DetailList.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/HistoryPane.h"
#include "ui/main/MainImages.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MessageLines.h"
#include "ui/main/SplitterGrip.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextViewer.h"
#include "ui/main/TrayIcon.h"
#include "ui/main/ViewMode.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString CRLF = QStringLiteral("\r\n");
constexpr float TitlesHeight = 300;
constexpr float SplitterGripWidth = 60;

QPair<QString, QString> splitItemKey(const QString& key) {
    const qsizetype colon = key.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {key, QString()};
    return {key.left(colon), key.mid(colon + 1)};
}

// A tab strip that keeps every tab in view: where the tabs do not fit at their full size,
// they give up some of the room beside their captions first, and elide them only after that.
class TabStrip final : public QTabBar {
public:
    explicit TabStrip(QWidget* parent)
        : QTabBar(parent)
        , m_style(new Spacing(*this)) {
        m_style->setParent(this);
        setStyle(m_style);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideRight);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        fit();
        QTabBar::resizeEvent(event);
    }
    void tabInserted(int index) override {
        fit();
        QTabBar::tabInserted(index);
    }

private:
    // The style of the strip, with the room beside the captions the strip decides.
    class Spacing final : public QProxyStyle {
    public:
        explicit Spacing(const TabStrip& strip)
            : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
            , m_strip(strip) {}
        int pixelMetric(PixelMetric metric, const QStyleOption* option,
                        const QWidget* widget) const override {
            if (metric == PM_TabBarTabHSpace && widget == &m_strip && m_strip.m_space >= 0)
                return m_strip.m_space;
            return QProxyStyle::pixelMetric(metric, option, widget);
        }

    private:
        const TabStrip& m_strip;
    };

    void fit() {
        m_space = -1;
        int total = 0;
        for (int i = 0; i < count(); ++i)
            total += tabSizeHint(i).width();
        const int over = total - width();
        if (over <= 0 || count() == 0)
            return;
        const int full =
            m_style->baseStyle()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
        m_space = qMax(qMin(MinimumSpace, full), full - (over + count() - 1) / count());
    }

    static constexpr int MinimumSpace = 6;
    Spacing* m_style;
    int m_space = -1; // the style's own
};

} // namespace

frmMain::frmMain(AppContext& context, Database& monitorDB, const SplashLabel& splashLabel,
                 QWidget* parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_db(monitorDB)
    , m_client(new QWidget(this))
    , m_toolbar(new QToolBar(m_client))
    , m_titles(new QFrame(m_client))
    , m_title0(new QLabel(QStringLiteral("Devices:"), m_titles))
    , m_title1(new QLabel(QStringLiteral("Status:"), m_titles))
    , m_tree(new DeviceTree(m_client))
    , m_grip(new SplitterGrip(m_client))
    , m_splitterBar(new QFrame(m_client))
    , m_tabs(new TabStrip(m_client))
    , m_list(new DetailList(m_client))
    , m_messageWindow(new QPlainTextEdit(m_client))
    , m_statusBar(new QStatusBar(m_client))
    , m_panel1(new QLabel(QStringLiteral("Ready"), m_statusBar))
    , m_panel2(new QLabel(QStringLiteral("Monitoring is off."), m_statusBar))
    , m_menus(std::make_unique<MainMenus>(menuBar(), m_toolbar, this))
    , m_panes(std::make_unique<DevicePanes>(context, monitorDB, *m_tree, *m_list))
    , m_recording(std::make_unique<ResultRecording>(context, monitorDB, *this))
    , m_tray(new TrayIcon(menu(QStringLiteral("mnuSysTray")), this))
    , m_databaseCommands(new DatabaseCommands(context, monitorDB, *this))
    , m_statusPanels(new StatusPanels(m_panel1, m_panel2, this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppInfo::Title);
    setWindowIcon(MainImages::icon(MainImages::TrayIdle));
    setCentralWidget(m_client);
    connectCommands();
    buildClientArea();
    buildStatusBar();
    m_context.setMessageWindow(this);
    m_context.errors().setFileViewer(this);
    connect(&m_context.errors(), &ErrorReport::halting, this, &frmMain::showHalted);
    Form_Initialize(splashLabel);
}

frmMain::~frmMain() {
    if (m_context.errors().fileViewer() == this)
        m_context.errors().setFileViewer(nullptr);
    m_context.setMessageWindow(nullptr);
}

QAction* frmMain::action(const QString& name) const {
    return m_menus->action(name);
}

QMenu* frmMain::menu(const QString& name) const {
    return m_menus->menu(name);
}

QToolButton* frmMain::toolButton(const QString& key) const {
    return m_menus->toolButton(key);
}

void frmMain::connectCommands() {
    struct Command {
        const char* item;
        void (frmMain::*run)();
    };
    static constexpr Command Commands[] = {
        {"mnuFileNew", &frmMain::newDatabaseRequested},
        {"mnuFileSaveAs", &frmMain::saveDatabaseAsRequested},
        {"mnuFileOpen", &frmMain::openDatabaseRequested},
        {"mnuViewToolbar", &frmMain::mnuViewToolbar_Click},
        {"mnuViewStatusBar", &frmMain::mnuViewStatusBar_Click},
        {"mnuViewLog", &frmMain::mnuViewLog_Click},
        {"mnuViewRefresh", &frmMain::mnuViewRefresh_Click},
        {"mnuMonitoringOn", &frmMain::Monitor_Initialize},
        {"mnuMonitoringOff", &frmMain::Monitor_Stop},
        {"mnuCompactDatabase", &frmMain::compactDatabaseRequested},
        {"mnuReloadDatabase", &frmMain::reloadDatabaseRequested},
        {"mnuViewOptions", &frmMain::optionsRequested},
        {"mnuAboutHalvikWebSite", &frmMain::mnuAboutHalvikWebSite_Click},
        {"mnuAboutIssues", &frmMain::mnuAboutIssues_Click},
        {"mnuAboutReadme", &frmMain::mnuAboutReadme_Click},
        {"mnuHelpAbout", &frmMain::mnuHelpAbout_Click},
        {"mnutvAddDevice", &frmMain::addDeviceRequested},
        {"mnutvModifyDeviceDesc", &frmMain::mnutvModifyDeviceDesc_Click},
        {"mnutvDeleteDevice", &frmMain::mnutvDeleteDevice_Click},
        {"mnutvAddPort", &frmMain::mnutvAddPort_Click},
        {"mnutvModifyPortDesc", &frmMain::mnutvModifyPortDesc_Click},
        {"mnutvDeletePort", &frmMain::mnutvDeletePort_Click},
        {"mnutvRefresh", &frmMain::mnutvRefresh_Click},
        {"mnulvRefresh", &frmMain::mnulvRefresh_Click},
        {"mnuSysTrayMonitoringOn", &frmMain::Monitor_Initialize},
        {"mnuSysTrayMonitoringOff", &frmMain::Monitor_Stop},
        {"mnuSysTrayRestore", &frmMain::Restore},
    };
    for (const Command& command : Commands)
        connect(action(QLatin1String(command.item)), &QAction::triggered, this, command.run);
    connect(action(QStringLiteral("mnuFilemnuExit")), &QAction::triggered, this,
            [this] { close(); });
    for (int i = 0; i < 4; ++i) {
        connect(action(MainMenus::viewModeItem("mnuListViewMode", i)), &QAction::triggered, this,
                [this, i] { mnuListViewMode_Click(i); });
        connect(action(MainMenus::viewModeItem("mnulvRightClickMode", i)), &QAction::triggered,
                this, [this, i] { mnulvRightClickMode_Click(i); });
    }
    for (QAction* button : m_toolbar->actions()) {
        const QString key = button->data().toString();
        if (key.isEmpty())
            continue; // a separator
        connect(button, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        if (QMenu* items = button->menu()) {
            for (QAction* item : items->actions()) {
                const QString itemKey = item->data().toString();
                connect(item, &QAction::triggered, this,
                        [this, itemKey] { tbToolBar_ButtonMenuClick(itemKey); });
            }
        }
    }
}

void frmMain::buildClientArea() {
    m_titles->setObjectName(QStringLiteral("picTitles"));
    m_titles->setFrameShape(QFrame::NoFrame);
    m_title0->setObjectName(QStringLiteral("lblTitle(0)"));
    m_title1->setObjectName(QStringLiteral("lblTitle(1)"));
    for (QLabel* title : {m_title0, m_title1}) {
        title->setFrameShape(QFrame::Panel);
        title->setFrameShadow(QFrame::Raised);
        title->setIndent(4);
    }
    m_splitterBar->setObjectName(QStringLiteral("picSplitter"));
    m_splitterBar->setAutoFillBackground(true);
    QPalette bar = m_splitterBar->palette();
    bar.setColor(QPalette::Window, palette().color(QPalette::Dark));
    m_splitterBar->setPalette(bar);
    m_splitterBar->hide();
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->addTab(QStringLiteral("Device Status"));
    m_tabs->addTab(QStringLiteral("Message Window"));
    m_tabs->addTab(QStringLiteral("History"));
    m_history = new HistoryPane(m_context, m_db, m_client);
    m_history->hide();
    m_tabs->setDrawBase(true);
    m_tabs->setExpanding(false);
    m_messageWindow->setObjectName(QStringLiteral("txtMessageWindow"));
    m_messageWindow->setReadOnly(true);
    // Nobody can undo in a read-only box; a history would keep every line it ever dropped.
    m_messageWindow->setUndoRedoEnabled(false);
    m_messageWindow->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_messageWindow->hide();
    m_list->setTwipsPerPixel(twipsPerPixel());

    // Every change of the current tab, by click, wheel or arrow key, switches the pane.
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            TabStrip1_Click(index + 1);
    });
    connect(m_grip, &SplitterGrip::pressed, this, &frmMain::imgSplitter_MouseDown);
    connect(m_grip, &SplitterGrip::moved, this,
            [this](int x) { imgSplitter_MouseMove(toTwips(x)); });
    connect(m_grip, &SplitterGrip::released, this, &frmMain::imgSplitter_MouseUp);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { tvTreeView_NodeClick(node); });
    connect(m_tree, &DeviceTree::rightButtonPressed, this, [this](const QPoint& at) {
        trapErrors(m_context, "tvTreeView_MouseDown", [&] {
            prepareTreeMenu();
            menu(QStringLiteral("mnutvRightClick"))->popup(at);
        });
    });
    connect(m_list, &DetailList::rowClicked, this, &frmMain::lvListView_ItemClick);
    connect(m_list, &DetailList::doubleClicked, this, &frmMain::lvListView_DblClick);
    connect(m_list, &DetailList::rightButtonPressed, this,
            [this](const QPoint& at) { menu(QStringLiteral("mnulvRightClick"))->popup(at); });
}

void frmMain::buildStatusBar() {
    m_statusBar->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    // It paints its own background, so a new text does not repaint the window behind it.
    m_statusBar->setAutoFillBackground(true);
    m_panel1->setObjectName(QStringLiteral("Ready"));
    m_panel2->setObjectName(QStringLiteral("Monitor"));
    m_panel1->setToolTip(m_panel1->text());
    m_panel2->setToolTip(m_panel2->text());
    m_statusBar->addWidget(m_statusPanels->box(1), 1);
    m_statusBar->addPermanentWidget(m_panel2);
    applyMonitoringState(false);
}

void frmMain::Form_Initialize(const SplashLabel& splashLabel) {
    trapErrors(m_context, "Form_Initialize", [&] {
        m_splitterLeft = 2500;
        if (splashLabel)
            splashLabel(QStringLiteral("Loading Database"));
        m_panes->Load_Data();
        if (splashLabel)
            splashLabel(QStringLiteral("Updating Devices"));
        showListTab();
        m_panes->Update_Devices();
    });
}

void frmMain::Form_Load() {
    trapErrors(m_context, "Main_Form_Load", [&] {
        if (!m_engine) {
            m_engine = new MonitorEngine(m_context, m_db, *this, *this, this);
            createMailControl();
            m_engine->dispatch().setMailControl(m_mailControl);
        }
        m_tray->show(MainImages::TrayIdle, TrayIcon::monitoringOffTip());
        m_tray->setInTray(true);
    });
}

void frmMain::createMailControl() {
    QString error;
    QObject* control =
        ComponentLoader::create(QStringLiteral("OrvexSMTPControl.OrvexSMTP"), this, &error);
    if (!control)
        return; // monitoring goes on without mail; each send says that the control is missing
    control->setObjectName(QStringLiteral("OrvexSMTP1"));
    // A control with a face of its own stays out of the window's layout.
    if (auto* widget = qobject_cast<QWidget*>(control))
        widget->hide();
    m_mailControl = control;
}

// --- layout -------------------------------------------------------------------------------

double frmMain::twipsPerPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

float frmMain::toTwips(int pixels) const {
    return float(pixels * twipsPerPixel());
}

int frmMain::toPixels(float twips) const {
    return qRound(twips / twipsPerPixel());
}

void frmMain::placeTwips(QWidget* widget, const MainLayout::TwipsRect& r) const {
    // A control that would get a negative size keeps the size it has.
    if (r.width < 0 || r.height < 0)
        return;
    widget->setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

MainLayout::Frame frmMain::layoutFrame() const {
    MainLayout::Frame f;
    f.windowWidth = toTwips(m_client->width());
    f.innerHeight = toTwips(m_client->height());
    f.toolbarVisible = !m_toolbar->isHidden();
    f.toolbarHeight = toTwips(m_toolbar->sizeHint().height());
    f.titlesTop = f.toolbarVisible ? f.toolbarHeight : 0;
    f.titlesHeight = TitlesHeight;
    f.statusBarVisible = !m_statusBar->isHidden();
    f.statusBarHeight = toTwips(m_statusBar->sizeHint().height());
    return f;
}

void frmMain::SizeControls(float& x) {
    const MainLayout::Frame f = layoutFrame();
    const MainLayout::Controls c = MainLayout::SizeControls(x, f);
    m_splitterLeft = c.splitter.left;
    ignoreErrors([&] { placeTwips(m_toolbar, {0, 0, f.windowWidth, f.toolbarHeight}); });
    ignoreErrors([&] { placeTwips(m_titles, {0, f.titlesTop, f.windowWidth, f.titlesHeight}); });
    ignoreErrors([&] { placeTwips(m_title0, {0, 0, c.title0Width, f.titlesHeight}); });
    ignoreErrors([&] { placeTwips(m_title1, {c.title1Left, 0, c.title1Width, f.titlesHeight}); });
    ignoreErrors([&] { placeTwips(m_tree, c.tree); });
    ignoreErrors([&] {
        placeTwips(m_grip, {c.splitter.left, c.splitter.top, SplitterGripWidth, c.splitter.height});
    });
    ignoreErrors([&] {
        placeTwips(m_tabs, {c.tabs.left, c.tabs.top, c.tabs.width, MainLayout::TabHeaderHeight});
    });
    ignoreErrors([&] { placeTwips(m_list, c.list); });
    ignoreErrors([&] { placeTwips(m_messageWindow, c.messages); });
    ignoreErrors([&] { placeTwips(m_history, c.list); });
    ignoreErrors([&] {
        placeTwips(m_statusBar,
                   {0, f.innerHeight - f.statusBarHeight, f.windowWidth, f.statusBarHeight});
    });
    m_grip->raise();
}

void frmMain::imgSplitter_MouseDown() {
    const QRect grip = m_grip->geometry();
    m_splitterBar->setGeometry(grip.x(), grip.y(), qMax(2, toPixels(SplitterGripWidth) / 2),
                               qMax(0, grip.height() - toPixels(20)));
    m_splitterBar->show();
    m_splitterBar->raise();
    m_dragging = true;
}

void frmMain::imgSplitter_MouseMove(float xTwips) {
    if (!m_dragging)
        return;
    const float left =
        MainLayout::splitterDragLeft(m_splitterLeft, xTwips, layoutFrame().windowWidth);
    m_splitterBar->move(toPixels(left), m_splitterBar->y());
}

void frmMain::imgSplitter_MouseUp() {
    if (!m_dragging)
        return;
    float x = toTwips(m_splitterBar->x());
    SizeControls(x);
    m_splitterBar->hide();
    m_dragging = false;
}

bool frmMain::splitterBarVisible() const {
    return !m_splitterBar->isHidden();
}

float frmMain::splitterBarLeft() const {
    return toTwips(m_splitterBar->x());
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
            if (TrayIcon::desktopHasTray() && m_tray->isInTray())
                hide();
            emit restoreAvailableChanged(true);
            return;
        }
        const int floor = toPixels(MainLayout::floorWidth(toTwips(width())));
        if (width() < floor) {
            resize(floor, height());
            return; // the resize comes back here with the new width
        }
        float x = m_splitterLeft;
        SizeControls(x);
        emit restoreAvailableChanged(false);
    });
}

void frmMain::placeWindow(float left, float top, float width, float height) {
    move(toPixels(left), toPixels(top));
    resize(toPixels(width), toPixels(height));
}

void frmMain::mnuViewToolbar_Click() {
    QAction* item = action(QStringLiteral("mnuViewToolbar"));
    m_toolbar->setVisible(item->isChecked());
    float x = m_splitterLeft;
    SizeControls(x);
}

void frmMain::mnuViewStatusBar_Click() {
    QAction* item = action(QStringLiteral("mnuViewStatusBar"));
    m_statusBar->setVisible(item->isChecked());
    float x = m_splitterLeft;
    SizeControls(x);
}

// --- view mode and tabs -------------------------------------------------------------------

void frmMain::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    Form_Paint();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Paint();
}

void frmMain::Form_Paint() {
    ignoreErrors([&] {
        const int mode = ViewMode::valid(m_context.catalogue().viewMode());
        if (m_list->view() != mode)
            m_list->setView(mode);
        for (int i = 0; i < 4; ++i) {
            action(MainMenus::viewModeItem("mnuListViewMode", i))->setChecked(i == mode);
            action(MainMenus::viewModeItem("mnulvRightClickMode", i))->setChecked(i == mode);
        }
    });
}

void frmMain::setViewMode(int mode) {
    m_list->setView(mode);
    ignoreErrors([&] {
        m_context.catalogue().save(Section::SettingsSection, Key::ViewMode,
                                   QString::number(m_list->view()));
    });
    Form_Paint();
}

void frmMain::showListTab() {
    m_tabs->setCurrentIndex(0);
    TabStrip1_Click(1);
}

void frmMain::TabStrip1_Click(int tab) {
    if (tab == 1) {
        m_tabs->setCurrentIndex(0);
        m_messageWindow->hide();
        m_history->hide();
        m_list->show();
        m_list->raise();
    } else if (tab == 2) {
        m_tabs->setCurrentIndex(1);
        m_messageWindow->show();
        m_messageWindow->raise();
        m_list->hide();
        m_history->hide();
    } else if (tab == 3) {
        m_tabs->setCurrentIndex(2);
        m_list->hide();
        m_messageWindow->hide();
        m_history->show();
        m_history->raise();
        refreshHistory();
    }
}

void frmMain::refreshHistory() {
    if (selectedTab() == 3)
        m_history->showNode(*m_tree, m_tree->selectedNode());
}

int frmMain::selectedTab() const {
    return m_tabs->currentIndex() + 1;
}

void frmMain::mnuListViewMode_Click(int index) {
    showListTab();
    setViewMode(index);
}

void frmMain::mnulvRightClickMode_Click(int index) {
    setViewMode(index);
}

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    if (key == QLatin1String("New"))
        emit newDatabaseRequested();
    else if (key == QLatin1String("SaveAs"))
        emit saveDatabaseAsRequested();
    else if (key == QLatin1String("Open"))
        emit openDatabaseRequested();
    else if (key == QLatin1String("Monitor"))
        Monitor_Initialize();
    else if (key == QLatin1String("Stop"))
        Monitor_Stop();
    else if (key == QLatin1String("Options"))
        emit optionsRequested();
    else if (key == QLatin1String("Views")) {
        showListTab();
        setViewMode(ViewMode::next(m_list->view()));
    } else if (key == QLatin1String("Node")) {
        m_expandAll = !m_expandAll;
        expandNodes(m_expandAll);
    }
    Form_Paint();
}

void frmMain::tbToolBar_ButtonMenuClick(const QString& key) {
    if (key.contains(QLatin1String("View")))
        showListTab();
    const int mode = ViewMode::forMenuKey(key);
    if (mode >= 0)
        setViewMode(mode);
    else if (key == QLatin1String("Expand Nodes"))
        expandNodes(true);
    else if (key == QLatin1String("Collapse Nodes"))
        expandNodes(false);
    Form_Paint();
}

void frmMain::expandNodes(bool expanded) {
    m_tree->setUpdatesEnabled(false);
    m_tree->setAllExpanded(expanded);
    m_tree->setUpdatesEnabled(true);
}

// --- monitoring state ---------------------------------------------------------------------

void frmMain::applyMonitoringState(bool monitoringOn) {
    const bool off = !monitoringOn;
    action(QStringLiteral("tbMonitor"))->setChecked(monitoringOn);
    action(QStringLiteral("tbStop"))->setChecked(off);
    for (const char* name : {"tbNew", "tbOpen", "mnuFileNew", "mnuFileSaveAs", "mnuFileOpen"})
        action(QString::fromLatin1(name))->setEnabled(off);
    menu(QStringLiteral("mnuDatabase"))->setEnabled(off);
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"}) {
        action(QString::fromLatin1(name))->setEnabled(off);
        action(QString::fromLatin1(name))->setChecked(monitoringOn);
    }
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"}) {
        action(QString::fromLatin1(name))->setEnabled(monitoringOn);
        action(QString::fromLatin1(name))->setChecked(off);
    }
    action(QStringLiteral("tbStop"))->setEnabled(true);
}

void frmMain::setStopEnabled(bool enabled) {
    for (const char* name : {"mnuSysTrayMonitoringOff", "mnuMonitoringOff", "tbStop"})
        action(QString::fromLatin1(name))->setEnabled(enabled);
}

void frmMain::setBusyPointer(bool busy) {
    if (busy && !QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::BusyCursor);
    while (!busy && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void frmMain::setTrayIcon(int image, const QString& tip) {
    m_tray->show(image, tip);
}

int frmMain::treeNodeCount() const {
    return m_tree->nodeCount();
}

void frmMain::notifyDesktop(const QString& title, const QString& text) {
    m_tray->notify(title, text);
}

void frmMain::setAssistantMonitoringCommands(bool monitoringOn) {
    emit monitoringCommandsChanged(monitoringOn);
}

void frmMain::restoreMonitoringChecks() {
    // A click flips a checkable item by itself; the check marks show the monitoring state
    // until the cycle has decided on the new one.
    const bool on = m_context.state().MonitoringOn;
    action(QStringLiteral("tbMonitor"))->setChecked(on);
    action(QStringLiteral("tbStop"))->setChecked(!on);
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"})
        action(QString::fromLatin1(name))->setChecked(on);
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"})
        action(QString::fromLatin1(name))->setChecked(!on);
}

void frmMain::Monitor_Initialize() {
    restoreMonitoringChecks();
    if (m_engine)
        m_engine->cycle().Monitor_Initialize();
}

void frmMain::Monitor_Stop() {
    restoreMonitoringChecks();
    if (m_engine)
        m_engine->cycle().Monitor_Stop();
}

void frmMain::setStatusPanel(int panel, const QString& text) {
    // What a check pass says while it unwinds behind an error report is no longer true.
    if (!m_halted)
        m_statusPanels->setText(panel, text);
}

void frmMain::showHalted() {
    m_statusPanels->setText(1, QStringLiteral("Stopped by an error."));
    m_statusPanels->setText(2, QStringLiteral("Monitoring is off."));
    m_halted = true;
}

bool frmMain::showFile(const QString& path) {
    return TextViewer::showFile(path, this);
}

QString frmMain::statusPanel(int panel) const {
    return m_statusPanels->text(panel);
}

void frmMain::setDeviceNodeText(const QString& key, const QString& text) {
    if (QTreeWidgetItem* node = m_tree->node(key))
        node->setText(0, text);
}

void frmMain::setTextAtEnd(const QString& text) {
    m_messageText = text;
    QString shown = text;
    shown.replace(CRLF, QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    m_messageWindow->setPlainText(shown);
    m_messageWindow->moveCursor(QTextCursor::End);
    m_messageWindow->verticalScrollBar()->setValue(m_messageWindow->verticalScrollBar()->maximum());
}

void frmMain::appendAtEnd(qsizetype dropped, const QString& added) {
    const QString removed = m_messageText.left(dropped);
    const QString text = m_messageText.mid(dropped) + added;
    m_messageText = text;
    if (!MessageLines::replaceEnds(*m_messageWindow, removed, added))
        setTextAtEnd(text);
}

// --- tree and list ------------------------------------------------------------------------

void frmMain::tvTreeView_NodeClick(QTreeWidgetItem* node) {
    // The history follows the selection; any other tab gives way to the list.
    if (selectedTab() != 3)
        showListTab();
    m_list->clearAll();
    // A click has selected the node already; a call from elsewhere selects it here.
    if (node && m_tree->selectedNode() != node)
        m_tree->selectNode(node);
    m_panes->showNode(node);
    refreshHistory();
}

void frmMain::prepareTreeMenu() {
    const QTreeWidgetItem* node = m_tree->selectedNode();
    const bool on = m_context.state().MonitoringOn;
    const bool root = !on && m_tree->isRoot(node);
    const bool device = !on && m_tree->isDevice(node);
    const bool item = !on && node && !m_tree->isRoot(node) && !m_tree->isDevice(node);
    action(QStringLiteral("mnutvAddDevice"))->setEnabled(root);
    action(QStringLiteral("mnutvModifyDeviceDesc"))->setEnabled(device);
    action(QStringLiteral("mnutvDeleteDevice"))->setEnabled(device);
    action(QStringLiteral("mnutvAddPort"))->setEnabled(device);
    action(QStringLiteral("mnutvModifyPortDesc"))->setEnabled(item);
    action(QStringLiteral("mnutvDeletePort"))->setEnabled(item);
    action(QStringLiteral("mnutvRefresh"))->setEnabled(!on && node);
}

void frmMain::lvListView_ItemClick(const QString& key) {
    m_tree->selectNode(m_tree->node(key));
}

void frmMain::lvListView_DblClick() {
    const QString key = m_list->selectedKey();
    if (key.isEmpty()) {
        m_context.speak(QStringLiteral("Right-click on 'Monitored Devices' to add a device."),
                        QStringLiteral("Suggest"), false);
        return;
    }
    if (key.contains(QLatin1Char(':')))
        m_panes->Update_Port();
    else
        m_panes->Update_Ports();
}

void frmMain::Check_TVIcons() {
    if (!m_panes->Check_TVIcons())
        return;
    const int problems = m_panes->problemCount();
    m_tray->show(problems > 0 ? MainImages::TrayProblems : MainImages::TrayIdle,
                 TrayIcon::problemsTip(problems));
}

// --- commands -----------------------------------------------------------------------------

void frmMain::mnutvModifyDeviceDesc_Click() {
    withSelectedKey(&frmMain::modifyDeviceRequested);
}

void frmMain::mnutvAddPort_Click() {
    withSelectedKey(&frmMain::modifyPortsRequested);
}

void frmMain::mnutvModifyPortDesc_Click() {
    withSelectedKey(&frmMain::modifyPortRequested);
}

void frmMain::withSelectedKey(void (frmMain::*request)()) {
    QString& shared = m_context.state().SelectedKey;
    shared = DeviceTree::keyOf(m_tree->selectedNode());
    emit(this->*request)();
    shared.clear();
}

void frmMain::mnutvDeleteDevice_Click() {
    trapErrors(m_context, "mnutvDeleteDevice_Click", [&] {
        QTreeWidgetItem* node = m_tree->selectedNode();
        if (!m_tree->isDevice(node))
            return;
        if (!m_context.dialogs().askYesNo(QStringLiteral("You are about to delete ") +
                                              node->text(0) + QStringLiteral(".") + CRLF +
                                              QStringLiteral("Are you sure?"),
                                          AppInfo::Title))
            return;
        const QString device = DeviceTree::keyOf(node);
        m_tree->selectNode(m_tree->root());
        m_tree->removeNode(device);
        m_recording->Device_Update(QStringLiteral("Delete"), device);
        QString status;
        m_recording->Port_Update(QStringLiteral("Delete"), device, QStringLiteral("*"), {}, {},
                                 status, {});
        m_panes->Update_Devices();
        refreshHistory();
    });
}

void frmMain::mnutvDeletePort_Click() {
    trapErrors(m_context, "mnutvDeletePort_Click", [&] {
        QTreeWidgetItem* node = m_tree->selectedNode();
        if (!node || m_tree->isRoot(node) || m_tree->isDevice(node))
            return;
        const QString key = DeviceTree::keyOf(node);
        const auto [device, port] = splitItemKey(key);
        QTreeWidgetItem* deviceNode = node->parent();
        if (!m_context.dialogs().askYesNo(QStringLiteral("You are about to delete port ") + port +
                                              QStringLiteral(" from ") + deviceNode->text(0) +
                                              QStringLiteral(".") + CRLF +
                                              QStringLiteral("Are you sure?"),
                                          AppInfo::Title))
            return;
        // The device stays selected, so the list shows it and its remaining items.
        m_tree->selectNode(deviceNode);
        m_tree->removeNode(key);
        QString status;
        m_recording->Port_Update(QStringLiteral("Delete"), device, port, {}, {}, status, {});
        m_panes->Update_Ports();
        refreshHistory();
    });
}

void frmMain::mnuViewRefresh_Click() {
    if (m_context.state().CheckInProgress)
        return;
    m_panes->Update_Devices();
}

void frmMain::mnutvRefresh_Click() {
    m_panes->Update_Devices();
}

void frmMain::mnulvRefresh_Click() {
    m_list->clearAll();
    m_panes->showNode(m_tree->selectedNode());
    refreshHistory();
}

void frmMain::mnuViewLog_Click() {
    trapErrors(m_context, "mnuViewLog_Click", [&] {
        SettingsCatalogue& catalogue = m_context.catalogue();
        if (!QFileInfo(catalogue.logFile()).isFile()) {
            m_context.dialogs().message(
                QStringLiteral("The Log Files you specified does not exist or is corrupt .") +
                    CRLF + QStringLiteral("Please re-define a log file from the options menu."),
                MessageIcon::Information, AppInfo::Title);
            return;
        }
        m_context.errors().Navigate(QStringLiteral("file://") + catalogue.logFile());
    });
}

void frmMain::openProgramFile(const QString& name) {
    m_context.errors().Navigate(QStringLiteral("file://") +
                                m_context.paths().inShippedFolder(name));
}

void frmMain::mnuAboutIssues_Click() {
    openProgramFile(FileName::Issues);
}

void frmMain::mnuAboutReadme_Click() {
    openProgramFile(FileName::Readme);
}

void frmMain::mnuAboutHalvikWebSite_Click() {
    m_context.errors().Navigate(AppInfo::WebSite);
}

void frmMain::mnuHelpAbout_Click() {
    trapErrors(m_context, "mnuHelpAbout_Click", [&] {
        frmAbout about(m_mailControl, this);
        about.exec();
    });
}

// --- tray, minimising and closing ---------------------------------------------------------

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
    ignoreErrors([&] { m_tray->setInTray(false); });
    ignoreErrors([&] { emit unloading(); });
    if (m_engine) {
        SocketArray& sockets = m_engine->ports().Winsock1();
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
        catalogue.save(Section::SettingsSection, Key::MainLeft,
                       QString::number(toTwips(frame.x())));
        catalogue.save(Section::SettingsSection, Key::MainTop, QString::number(toTwips(frame.y())));
        catalogue.save(Section::SettingsSection, Key::MainWidth, QString::number(toTwips(width())));
        catalogue.save(Section::SettingsSection, Key::MainHeight,
                       QString::number(toTwips(height())));
    });
    ignoreErrors([&] {
        m_context.catalogue().save(Section::SettingsSection, Key::ViewMode,
                                   QString::number(m_list->view()));
    });
    m_context.programEnd().end(0);
    return true;
}
