#include "ui/main/DeviceCommands.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "engine/ItemKey.h"
#include "engine/ResultRecording.h"
#include "ui/dialogs/frmAddDevice.h"
#include "ui/dialogs/frmAddPort.h"
#include "ui/dialogs/frmModifyDevice.h"
#include "ui/dialogs/frmModifyPort.h"
#include "ui/main/CommandWindow.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/MainImages.h"

#include <QTreeWidgetItemIterator>

namespace {
const QString CRLF = QStringLiteral("\r\n");
} // namespace

DeviceCommands::DeviceCommands(AppContext& context, Database& db, ResultRecording& recording,
                               CommandWindow& window, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_recording(recording)
    , m_window(window)
    , m_editing{context, db, recording, *this} {
    setObjectName(QStringLiteral("DeviceCommands"));
}

void DeviceCommands::mnutvAddDevice_Click() {
    trapErrors(m_context, "mnutvAddDevice_Click", [&] {
        // The pop-up offers none of these while monitoring is on; a request that still comes
        // (a shortcut, the assistant) is refused the same way.
        if (m_context.state().MonitoringOn)
            return;
        frmAddDevice dialog(m_editing, m_window.ownerWindow());
        dialog.exec();
    });
}

template <typename Dialog> void DeviceCommands::openOnSelected(const char* name) {
    trapErrors(m_context, name, [&] {
        if (m_context.state().MonitoringOn)
            return;
        const QString key = DeviceTree::keyOf(m_window.tvTreeView().selectedNode());
        if (key.isEmpty())
            return;
        Dialog dialog(m_editing, key, m_window.ownerWindow());
        dialog.exec();
    });
}

void DeviceCommands::mnutvModifyDeviceDesc_Click() {
    openOnSelected<frmModifyDevice>("mnutvModifyDeviceDesc_Click");
}

void DeviceCommands::mnutvAddPort_Click() {
    openOnSelected<frmAddPort>("mnutvAddPort_Click");
}

void DeviceCommands::mnutvModifyPortDesc_Click() {
    openOnSelected<frmModifyPort>("mnutvModifyPortDesc_Click");
}

void DeviceCommands::mnutvDeleteDevice_Click() {
    trapErrors(m_context, "mnutvDeleteDevice_Click", [&] {
        DeviceTree& tree = m_window.tvTreeView();
        QTreeWidgetItem* node = tree.selectedNode();
        if (!tree.isDevice(node))
            return;
        if (!m_context.dialogs().askYesNo(QStringLiteral("You are about to delete ") +
                                              node->text(0) + QStringLiteral(".") + CRLF +
                                              QStringLiteral("Are you sure?"),
                                          AppInfo::Title))
            return;
        const QString device = DeviceTree::keyOf(node);
        tree.selectNode(tree.root());
        tree.removeNode(device);
        m_recording.Device_Update(QStringLiteral("Delete"), device);
        QString status;
        m_recording.Port_Update(QStringLiteral("Delete"), device, QStringLiteral("*"), {}, {},
                                status, {});
        m_window.panes().Update_Devices();
        m_window.refreshHistory();
    });
}

void DeviceCommands::mnutvDeletePort_Click() {
    trapErrors(m_context, "mnutvDeletePort_Click", [&] {
        DeviceTree& tree = m_window.tvTreeView();
        QTreeWidgetItem* node = tree.selectedNode();
        if (!node || tree.isRoot(node) || tree.isDevice(node))
            return;
        const QString key = DeviceTree::keyOf(node);
        const ItemKey item = ItemKey::split(key);
        QTreeWidgetItem* deviceNode = node->parent();
        if (!m_context.dialogs().askYesNo(QStringLiteral("You are about to delete port ") +
                                              item.port + QStringLiteral(" from ") +
                                              deviceNode->text(0) + QStringLiteral(".") + CRLF +
                                              QStringLiteral("Are you sure?"),
                                          AppInfo::Title))
            return;
        // The device stays selected, so the list shows it and its remaining items.
        tree.selectNode(deviceNode);
        tree.removeNode(key);
        QString status;
        m_recording.Port_Update(QStringLiteral("Delete"), item.device, item.port, {}, {}, status,
                                {});
        m_window.panes().Update_Ports();
        m_window.refreshHistory();
    });
}

QWidget* DeviceCommands::ownerWindow() const {
    return m_window.ownerWindow();
}

bool DeviceCommands::hasNode(const QString& key) const {
    for (QTreeWidgetItemIterator it(&m_window.tvTreeView()); *it; ++it) {
        if (DeviceTree::keyOf(*it).compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void DeviceCommands::addDeviceNode(const QString& device, const QString& text) {
    DeviceTree& tree = m_window.tvTreeView();
    QTreeWidgetItem* node = tree.addNode(tree.root(), device, text, MainImages::DeviceHealthy);
    tree.scrollToItem(node);
}

void DeviceCommands::addItemNode(const QString& device, const QString& port) {
    DeviceTree& tree = m_window.tvTreeView();
    QTreeWidgetItem* deviceNode = tree.node(device);
    if (!deviceNode)
        return;
    QTreeWidgetItem* node = tree.addNode(deviceNode, ItemKey::join(device, port),
                                         QStringLiteral("Port:") + port, MainImages::ItemHealthy);
    deviceNode->setExpanded(true);
    tree.scrollToItem(node);
}

void DeviceCommands::removeNode(const QString& key) {
    m_window.tvTreeView().removeNode(key);
}

void DeviceCommands::Update_Devices() {
    m_window.panes().Update_Devices();
}

void DeviceCommands::Update_Ports() {
    // After the add-device wizard the root is still selected: the list then shows all
    // devices, the new one included, instead of a device named like the root's key.
    DeviceTree& tree = m_window.tvTreeView();
    if (tree.isDevice(tree.selectedNode()))
        m_window.panes().Update_Ports();
    else
        m_window.panes().showNode(tree.selectedNode());
}

void DeviceCommands::Update_Port() {
    m_window.panes().Update_Port();
}
