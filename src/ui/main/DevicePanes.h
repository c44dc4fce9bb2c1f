#pragma once

#include <QtGlobal>

class AppContext;
class Database;
class DetailList;
class DeviceTree;
class QTreeWidgetItem;

// Fills the device tree and the detail list from the monitoring database and recomputes the
// health pictures after each check cycle. Every routine traps its errors under its own name.
class DevicePanes final {
    Q_DISABLE_COPY_MOVE(DevicePanes)

public:
    DevicePanes(AppContext& context, Database& db, DeviceTree& tree, DetailList& list);

    // Rebuilds the tree and resets every item's counters and results.
    void Load_Data();
    // The list for the root, the selected device, or the selected item.
    void Update_Devices();
    // Load_Data and Update_Devices for a file opened in place of another: an error is raised
    // to the caller, which can go back to the other file, instead of ending the program.
    void loadRaising();
    void Update_Ports();
    void Update_Port();
    // The list for a node the person chose: root, device or item.
    void showNode(QTreeWidgetItem* node);

    // Recomputes item and device pictures and device status texts; returns false on error.
    bool Check_TVIcons();
    // Items failing at the last picture pass.
    int problemCount() const { return m_problemCount; }

private:
    void fillTree();
    void endTreeRebuild();
    void fillDeviceList();

    AppContext& m_context;
    Database& m_db;
    DeviceTree& m_tree;
    DetailList& m_list;
    int m_problemCount = 0;
};
