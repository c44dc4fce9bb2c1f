#pragma once

#include "ui/main/MainLayout.h"

#include <memory>
#include <QWidget>

class AppContext;
class Database;
class DetailList;
class DevicePanes;
class DeviceTree;
class HistoryPane;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTabBar;
class QToolBar;
class QTreeWidgetItem;
class SplitterGrip;
class StatusPanels;

// The main window's client area: toolbar, title strip, device tree, splitter, the tab strip
// with the detail list, the message window and the history, and the status bar, laid out by
// the twips arithmetic of MainLayout. It answers clicks on the tree, the list and the tabs,
// and shows the list in the stored view mode; the menus that pop up are the commands' to show.
class MainClientArea final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainClientArea)

public:
    MainClientArea(AppContext& context, Database& monitorDB, QWidget* parent);
    ~MainClientArea() override;

    QToolBar* toolbar() const { return m_toolbar; }
    DeviceTree& tvTreeView() const { return *m_tree; }
    DetailList& lvListView() const { return *m_list; }
    DevicePanes& panes() const { return *m_panes; }
    HistoryPane& historyPane() const { return *m_history; }
    QPlainTextEdit& txtMessageWindow() const { return *m_messageWindow; }
    StatusPanels& statusPanels() const { return *m_statusPanels; }

    // Layout in twips.
    double twipsPerPixel() const;
    float toTwips(int pixels) const;
    int toPixels(float twips) const;
    MainLayout::Frame layoutFrame() const;
    void SizeControls(float& x);
    // Lays everything out again at the splitter's place.
    void relayout();
    float splitterLeft() const { return m_splitterLeft; }
    bool splitterBarVisible() const;
    float splitterBarLeft() const;
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(float xTwips);
    void imgSplitter_MouseUp();

    // Tabs: 1 the list, 2 the message window, 3 the history.
    void TabStrip1_Click(int tab);
    void showListTab();
    int selectedTab() const;
    void refreshHistory();

    // The list's view mode, as stored under Settings/ViewMode.
    void Form_Paint();
    void setViewMode(int mode);
    void mnuListViewMode_Click(int index);
    void mnulvRightClickMode_Click(int index);
    // The toolbar's "Views": the next mode, on the list tab.
    void nextViewMode();
    // The toolbar's "Node": every node expanded at the first press, collapsed at the next.
    void toggleNodes();
    void expandNodes(bool expanded);

    void mnuViewToolbar_Click(bool shown);
    void mnuViewStatusBar_Click(bool shown);

    void tvTreeView_NodeClick(QTreeWidgetItem* node);
    void lvListView_ItemClick(const QString& key);
    void lvListView_DblClick();
    void mnuViewRefresh_Click();
    void mnutvRefresh_Click();
    void mnulvRefresh_Click();

signals:
    // A right click or the menu key on the tree or the list, at this screen position.
    void treeMenuRequested(const QPoint& at);
    void listMenuRequested(const QPoint& at);
    // The list shows this view mode now; the mode menus check it.
    void viewModeShown(int mode);

private:
    void buildClientArea();
    void buildStatusBar();
    void connectPanes();
    void placeTwips(QWidget* widget, const MainLayout::TwipsRect& rect) const;

    AppContext& m_context;
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
    HistoryPane* m_history;
    QStatusBar* m_statusBar;
    QLabel* m_panel1;
    QLabel* m_panel2;
    StatusPanels* m_statusPanels;
    std::unique_ptr<DevicePanes> m_panes;

    float m_splitterLeft = 2500;
    bool m_dragging = false;
    bool m_expandAll = false;
};
