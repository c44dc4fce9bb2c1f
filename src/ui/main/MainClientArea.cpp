#include "ui/main/MainClientArea.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "ui/main/DetailList.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/HistoryPane.h"
#include "ui/main/SplitterGrip.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TabStrip.h"
#include "ui/main/ViewMode.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>

namespace {
constexpr float TitlesHeight = 300;
constexpr float SplitterGripWidth = 60;
} // namespace

MainClientArea::MainClientArea(AppContext& context, Database& monitorDB, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_toolbar(new QToolBar(this))
    , m_titles(new QFrame(this))
    , m_title0(new QLabel(QStringLiteral("Devices:"), m_titles))
    , m_title1(new QLabel(QStringLiteral("Status:"), m_titles))
    , m_tree(new DeviceTree(this))
    , m_grip(new SplitterGrip(this))
    , m_splitterBar(new QFrame(this))
    , m_tabs(new TabStrip(this))
    , m_list(new DetailList(this))
    , m_messageWindow(new QPlainTextEdit(this))
    , m_history(nullptr)
    , m_statusBar(new QStatusBar(this))
    , m_panel1(new QLabel(QStringLiteral("Ready"), m_statusBar))
    , m_panel2(new QLabel(QStringLiteral("Monitoring is off."), m_statusBar))
    , m_statusPanels(new StatusPanels(m_panel1, m_panel2, this))
    , m_panes(std::make_unique<DevicePanes>(context, monitorDB, *m_tree, *m_list)) {
    // Made after the status bar, so it stays in front of it as before.
    m_history = new HistoryPane(context, monitorDB, this);
    buildClientArea();
    buildStatusBar();
    connectPanes();
}

MainClientArea::~MainClientArea() = default;

void MainClientArea::buildClientArea() {
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
}

void MainClientArea::buildStatusBar() {
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
}

void MainClientArea::connectPanes() {
    // Every change of the current tab, by click, wheel or arrow key, switches the pane.
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            TabStrip1_Click(index + 1);
    });
    connect(m_grip, &SplitterGrip::pressed, this, &MainClientArea::imgSplitter_MouseDown);
    connect(m_grip, &SplitterGrip::moved, this,
            [this](int x) { imgSplitter_MouseMove(toTwips(x)); });
    connect(m_grip, &SplitterGrip::released, this, &MainClientArea::imgSplitter_MouseUp);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { tvTreeView_NodeClick(node); });
    connect(m_tree, &DeviceTree::rightButtonPressed, this, &MainClientArea::treeMenuRequested);
    connect(m_list, &DetailList::rowClicked, this, &MainClientArea::lvListView_ItemClick);
    connect(m_list, &DetailList::doubleClicked, this, &MainClientArea::lvListView_DblClick);
    connect(m_list, &DetailList::rightButtonPressed, this, &MainClientArea::listMenuRequested);
}

// --- layout -------------------------------------------------------------------------------

double MainClientArea::twipsPerPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

float MainClientArea::toTwips(int pixels) const {
    return float(pixels * twipsPerPixel());
}

int MainClientArea::toPixels(float twips) const {
    return qRound(twips / twipsPerPixel());
}

void MainClientArea::placeTwips(QWidget* widget, const MainLayout::TwipsRect& r) const {
    // A control that would get a negative size keeps the size it has.
    if (r.width < 0 || r.height < 0)
        return;
    widget->setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

MainLayout::Frame MainClientArea::layoutFrame() const {
    MainLayout::Frame f;
    f.windowWidth = toTwips(width());
    f.innerHeight = toTwips(height());
    f.toolbarVisible = !m_toolbar->isHidden();
    f.toolbarHeight = toTwips(m_toolbar->sizeHint().height());
    f.titlesTop = f.toolbarVisible ? f.toolbarHeight : 0;
    f.titlesHeight = TitlesHeight;
    f.statusBarVisible = !m_statusBar->isHidden();
    f.statusBarHeight = toTwips(m_statusBar->sizeHint().height());
    return f;
}

void MainClientArea::SizeControls(float& x) {
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

void MainClientArea::relayout() {
    float x = m_splitterLeft;
    SizeControls(x);
}

void MainClientArea::imgSplitter_MouseDown() {
    const QRect grip = m_grip->geometry();
    m_splitterBar->setGeometry(grip.x(), grip.y(), qMax(2, toPixels(SplitterGripWidth) / 2),
                               qMax(0, grip.height() - toPixels(20)));
    m_splitterBar->show();
    m_splitterBar->raise();
    m_dragging = true;
}

void MainClientArea::imgSplitter_MouseMove(float xTwips) {
    if (!m_dragging)
        return;
    const float left =
        MainLayout::splitterDragLeft(m_splitterLeft, xTwips, layoutFrame().windowWidth);
    m_splitterBar->move(toPixels(left), m_splitterBar->y());
}

void MainClientArea::imgSplitter_MouseUp() {
    if (!m_dragging)
        return;
    float x = toTwips(m_splitterBar->x());
    SizeControls(x);
    m_splitterBar->hide();
    m_dragging = false;
}

bool MainClientArea::splitterBarVisible() const {
    return !m_splitterBar->isHidden();
}

float MainClientArea::splitterBarLeft() const {
    return toTwips(m_splitterBar->x());
}

void MainClientArea::mnuViewToolbar_Click(bool shown) {
    m_toolbar->setVisible(shown);
    relayout();
}

void MainClientArea::mnuViewStatusBar_Click(bool shown) {
    m_statusBar->setVisible(shown);
    relayout();
}

// --- tabs and view mode -------------------------------------------------------------------

void MainClientArea::showListTab() {
    m_tabs->setCurrentIndex(0);
    TabStrip1_Click(1);
}

void MainClientArea::TabStrip1_Click(int tab) {
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

void MainClientArea::refreshHistory() {
    if (selectedTab() == 3)
        m_history->showNode(*m_tree, m_tree->selectedNode());
}

int MainClientArea::selectedTab() const {
    return m_tabs->currentIndex() + 1;
}

void MainClientArea::Form_Paint() {
    ignoreErrors([&] {
        const int mode = ViewMode::valid(m_context.catalogue().viewMode());
        if (m_list->view() != mode)
            m_list->setView(mode);
        emit viewModeShown(mode);
    });
}

void MainClientArea::setViewMode(int mode) {
    m_list->setView(mode);
    ignoreErrors([&] { m_context.catalogue().set(Key::ViewMode, m_list->view()); });
    Form_Paint();
}

void MainClientArea::mnuListViewMode_Click(int index) {
    showListTab();
    setViewMode(index);
}

void MainClientArea::mnulvRightClickMode_Click(int index) {
    setViewMode(index);
}

void MainClientArea::nextViewMode() {
    showListTab();
    setViewMode(ViewMode::next(m_list->view()));
}

void MainClientArea::toggleNodes() {
    m_expandAll = !m_expandAll;
    expandNodes(m_expandAll);
}

void MainClientArea::expandNodes(bool expanded) {
    m_tree->setUpdatesEnabled(false);
    m_tree->setAllExpanded(expanded);
    m_tree->setUpdatesEnabled(true);
}

// --- tree and list ------------------------------------------------------------------------

void MainClientArea::tvTreeView_NodeClick(QTreeWidgetItem* node) {
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

void MainClientArea::lvListView_ItemClick(const QString& key) {
    m_tree->selectNode(m_tree->node(key));
}

void MainClientArea::lvListView_DblClick() {
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

void MainClientArea::mnuViewRefresh_Click() {
    if (m_context.state().CheckInProgress)
        return;
    m_panes->Update_Devices();
}

void MainClientArea::mnutvRefresh_Click() {
    m_panes->Update_Devices();
}

void MainClientArea::mnulvRefresh_Click() {
    m_list->clearAll();
    m_panes->showNode(m_tree->selectedNode());
    refreshHistory();
}
