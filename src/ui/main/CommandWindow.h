#pragma once

#include <QString>

class DetailList;
class DevicePanes;
class DeviceTree;
class QObject;
class QWidget;

// What the main window's commands need of the window: the widget that owns their dialogs, the
// tree, the list and what fills them, the status bar, and the window's own restore. The window
// implements it, so no command depends on the window's class.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;

    virtual QWidget* ownerWindow() = 0;
    virtual DeviceTree& tvTreeView() = 0;
    virtual DetailList& lvListView() = 0;
    virtual DevicePanes& panes() = 0;
    // The history tab shows the selected node again.
    virtual void refreshHistory() = 0;
    virtual void setStatusPanel(int panel, const QString& text) = 0;
    // The mail control, for the about box; null when none could be created.
    virtual QObject* mailControl() const = 0;
    virtual void Restore() = 0;
    virtual void Minimize() = 0;
};
