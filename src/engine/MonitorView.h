#pragma once

#include <QString>

// The window side of monitoring: the commands, pointer, tray icon, tree icons and detail list
// that change with the monitoring state. The main window implements it.
class MonitorView {
public:
    virtual ~MonitorView() = default;

    // Toolbar buttons and menu items for monitoring off or on: "Monitor"/"Stop" pressed,
    // "New"/"Open" and the database file commands, the monitoring items' checks and states.
    virtual void applyMonitoringState(bool monitoringOn) = 0;
    // "Monitoring Off" in the main and tray menus, and the toolbar's "Stop".
    virtual void setStopEnabled(bool enabled) = 0;
    // The arrow with hourglass while a check runs.
    virtual void setBusyPointer(bool busy) = 0;
    // Picture (image index of the window's image list) and tip of the tray icon.
    virtual void setTrayIcon(int image, const QString& tip) = 0;
    // Nodes in the device tree, the root included.
    virtual int treeNodeCount() const = 0;
    // Tree and tray icons, device status texts and the problem count from the database.
    virtual void Check_TVIcons() = 0;
    // Refills the detail list for the selected node.
    virtual void refreshDetailList() = 0;
    // A desktop notification from the tray icon, where the desktop shows them.
    virtual void notifyDesktop(const QString& title, const QString& text) = 0;
    // The assistant's "Monitoring On" and "Monitoring Off" commands.
    virtual void setAssistantMonitoringCommands(bool monitoringOn) = 0;
};
