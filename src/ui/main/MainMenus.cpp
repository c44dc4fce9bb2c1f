#include "ui/main/MainMenus.h"

#include "ui/main/MainImages.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {
const char* const ViewCaptions[] = {"Lar&ge Icons", "S&mall Icons", "&List", "&Details"};
} // namespace

MainMenus::MainMenus(QMenuBar* bar, QToolBar* toolbar, QWidget* owner) {
    buildMenuBar(bar);
    buildPopups(owner);
    buildToolbar(toolbar, owner);
}

QString MainMenus::viewModeItem(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

QMenu* MainMenus::addMenu(QMenu* menu, const QString& name) {
    menu->setObjectName(name);
    m_menus.insert(name, menu);
    return menu;
}

QAction* MainMenus::add(QMenu* menu, const QString& name, const QString& caption, bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    m_actions.insert(name, a);
    return a;
}

void MainMenus::separator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

void MainMenus::buildMenuBar(QMenuBar* bar) {
    QMenu* file = addMenu(bar->addMenu(QStringLiteral("&File")), QStringLiteral("mnuFile"));
    add(file, QStringLiteral("mnuFileNew"), QStringLiteral("&New Database"));
    add(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("Save Database As..."));
    separator(file, QStringLiteral("mnuFileSep0"));
    add(file, QStringLiteral("mnuFileOpen"), QStringLiteral("Open Database..."));
    separator(file, QStringLiteral("mnuFileSep1"));
    add(file, QStringLiteral("mnuFilemnuExit"), QStringLiteral("Exit"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* view = addMenu(bar->addMenu(QStringLiteral("&View")), QStringLiteral("mnuView"));
    add(view, QStringLiteral("mnuViewToolbar"), QStringLiteral("&Toolbar"), true)->setChecked(true);
    add(view, QStringLiteral("mnuViewStatusBar"), QStringLiteral("Status &Bar"), true)
        ->setChecked(true);
    separator(view, QStringLiteral("mnuViewBar0"));
    for (int i = 0; i < 4; ++i)
        add(view, viewModeItem("mnuListViewMode", i), QString::fromLatin1(ViewCaptions[i]), true);
    separator(view, QStringLiteral("mnuViewBar1"));
    add(view, QStringLiteral("mnuViewLog"), QStringLiteral("&Log File"));
    separator(view, QStringLiteral("mnuViewBar2"));
    add(view, QStringLiteral("mnuViewRefresh"), QStringLiteral("&Refresh"));

    QMenu* tools = addMenu(bar->addMenu(QStringLiteral("&Tools")), QStringLiteral("mnuTools"));
    add(tools, QStringLiteral("mnuMonitoringOn"), QStringLiteral("Monitoring &On"), true);
    add(tools, QStringLiteral("mnuMonitoringOff"), QStringLiteral("Monitoring O&ff"), true);
    separator(tools, QStringLiteral("mnuToolsSep1"));
    QMenu* database =
        addMenu(tools->addMenu(QStringLiteral("&Database...")), QStringLiteral("mnuDatabase"));
    add(database, QStringLiteral("mnuCompactDatabase"), QStringLiteral("&Compact Database"));
    separator(database, QStringLiteral("mnuToolsSep0"));
    add(database, QStringLiteral("mnuReloadDatabase"), QStringLiteral("&Reload Database"));
    add(tools, QStringLiteral("mnuViewOptions"), QStringLiteral("&Options..."));

    QMenu* help = addMenu(bar->addMenu(QStringLiteral("&Help")), QStringLiteral("mnuHelp"));
    add(help, QStringLiteral("mnuAboutHalvikWebSite"), QStringLiteral("IP Orvex Monitor Web Site"));
    separator(help, QStringLiteral("mnuAboutSep2"));
    add(help, QStringLiteral("mnuAboutIssues"), QStringLiteral("View Known Issues"));
    add(help, QStringLiteral("mnuAboutReadme"), QStringLiteral("View Readme"));
    separator(help, QStringLiteral("mnuAboutSep1"));
    add(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About..."));
}

// The three pop-up menus never show in the menu bar.
void MainMenus::buildPopups(QWidget* owner) {
    QMenu* tree = addMenu(new QMenu(QStringLiteral("tvRightClick"), owner),
                          QStringLiteral("mnutvRightClick"));
    add(tree, QStringLiteral("mnutvAddDevice"), QStringLiteral("&Add Device"));
    add(tree, QStringLiteral("mnutvModifyDeviceDesc"), QStringLiteral("M&odify Device Properties"));
    add(tree, QStringLiteral("mnutvDeleteDevice"), QStringLiteral("&Delete Device"));
    separator(tree, QStringLiteral("mnutvSep1"));
    add(tree, QStringLiteral("mnutvAddPort"), QStringLiteral("&Modify Monitored Ports"));
    add(tree, QStringLiteral("mnutvModifyPortDesc"), QStringLiteral("Modify Port &Porperties"));
    add(tree, QStringLiteral("mnutvDeletePort"), QStringLiteral("&Delete Port"));
    separator(tree, QStringLiteral("mnutvSep2"));
    add(tree, QStringLiteral("mnutvRefresh"), QStringLiteral("&Refresh"));

    QMenu* list = addMenu(new QMenu(QStringLiteral("lvRightClick"), owner),
                          QStringLiteral("mnulvRightClick"));
    QMenu* views =
        addMenu(list->addMenu(QStringLiteral("Views")), QStringLiteral("mnulvRightClickViews"));
    for (int i = 0; i < 4; ++i)
        add(views, viewModeItem("mnulvRightClickMode", i), QString::fromLatin1(ViewCaptions[i]),
            true);
    separator(list, QStringLiteral("mnulvRightClickSep0"));
    add(list, QStringLiteral("mnulvRefresh"), QStringLiteral("&Refresh"));

    QMenu* tray =
        addMenu(new QMenu(QStringLiteral("SysTray"), owner), QStringLiteral("mnuSysTray"));
    add(tray, QStringLiteral("mnuSysTrayMonitoringOn"), QStringLiteral("Monitoring On"), true);
    add(tray, QStringLiteral("mnuSysTrayMonitoringOff"), QStringLiteral("Monitoring Off"), true);
    separator(tray, QStringLiteral("mnuSysTraySep1"));
    add(tray, QStringLiteral("mnuSysTrayRestore"), QStringLiteral("Restore"));
}

QAction* MainMenus::button(QToolBar* toolbar, const QString& key, const QString& tip,
                           const QString& image) {
    QAction* a = toolbar->addAction(MainImages::toolbarIcon(image), key);
    a->setObjectName(QStringLiteral("tb") + key);
    a->setToolTip(tip);
    m_actions.insert(a->objectName(), a);
    m_toolButtons.insert(key, qobject_cast<QToolButton*>(toolbar->widgetForAction(a)));
    return a;
}

void MainMenus::dropDown(QAction* button, const QString& key, const QStringList& items,
                         QWidget* owner) {
    QMenu* menu = addMenu(new QMenu(owner), button->objectName() + QStringLiteral("Menu"));
    for (const QString& caption : items) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(caption);
        m_actions.insert(caption, item);
    }
    button->setMenu(menu);
    toolButton(key)->setPopupMode(QToolButton::MenuButtonPopup);
}

void MainMenus::buildToolbar(QToolBar* toolbar, QWidget* owner) {
    toolbar->setObjectName(QStringLiteral("tbToolBar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(24, 24));
    button(toolbar, QStringLiteral("New"), QStringLiteral("New"), QStringLiteral("new"));
    button(toolbar, QStringLiteral("Open"), QStringLiteral("Open Existing Database"),
           QStringLiteral("open"));
    toolbar->addSeparator();
    // "Monitor" and "Stop" are a pair: the window keeps exactly one of them pressed.
    button(toolbar, QStringLiteral("Monitor"), QStringLiteral("Monitor On"),
           QStringLiteral("monitor"))
        ->setCheckable(true);
    button(toolbar, QStringLiteral("Stop"), QStringLiteral("Monitor Off"), QStringLiteral("stop"))
        ->setCheckable(true);
    toolbar->addSeparator();
    dropDown(button(toolbar, QStringLiteral("Node"), QStringLiteral("Expand Nodes"),
                    QStringLiteral("node")),
             QStringLiteral("Node"),
             {QStringLiteral("Expand Nodes"), QStringLiteral("Collapse Nodes")}, owner);
    button(toolbar, QStringLiteral("Options"), QStringLiteral("Options"),
           QStringLiteral("options"));
    toolbar->addSeparator();
    dropDown(button(toolbar, QStringLiteral("Views"), QStringLiteral("List Views"),
                    QStringLiteral("views")),
             QStringLiteral("Views"),
             {QStringLiteral("View Large Icons"), QStringLiteral("View Small Icons"),
              QStringLiteral("View List"), QStringLiteral("View Details")},
             owner);
}
