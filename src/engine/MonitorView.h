#pragma once

#include <QString>

// Where monitoring stands, as the window's commands show it: off, on and waiting for the next
// cycle, or on with a check running.
enum class MonitoringState { Off, Waiting, Checking };

// What the tray icon says about monitoring; the window picks the picture for each.
enum class TrayState { Idle, Problems, Checking };

// The window side of monitoring: the commands, pointer, tray icon, tree icons and detail list
// that change with the monitoring state. The main window's engine face implements it.
class MonitorView {
public:
    virtual ~MonitorView() = default;

    // Every command that depends on monitoring: "Monitor"/"Stop" pressed, "New"/"Open" and
    // the database file commands, the monitoring items' checks and states.
    virtual void setMonitoringState(MonitoringState state) = 0;
    // The arrow with hourglass while a check runs.
    virtual void setBusyPointer(bool busy) = 0;
    // State and tip of the tray icon.
    virtual void setTrayIcon(TrayState state, const QString& tip) = 0;
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
