#include "ui/main/DeviceCommands.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/ResultRecording.h"
#include "ui/dialogs/frmAddDevice.h"
#include "ui/dialogs/frmAddPort.h"
#include "ui/dialogs/frmModifyDevice.h"
#include "ui/dialogs/frmModifyPort.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/frmMain.h"
#include "ui/main/MainImages.h"

#include <QTreeWidgetItemIterator>

DeviceCommands::DeviceCommands(AppContext& context, Database& db, frmMain& mainForm)
    : QObject(&mainForm)
    , m_context(context)
    , m_main(mainForm)
    , m_recording(std::make_unique<ResultRecording>(context, db, mainForm))
    , m_editing{context, db, *m_recording, *this} {
    setObjectName(QStringLiteral("DeviceCommands"));
    connect(&mainForm, &frmMain::addDeviceRequested, this, &DeviceCommands::mnutvAddDevice_Click);
    connect(&mainForm, &frmMain::modifyDeviceRequested, this,
            &DeviceCommands::mnutvModifyDeviceDesc_Click);
    connect(&mainForm, &frmMain::modifyPortsRequested, this, &DeviceCommands::mnutvAddPort_Click);
    connect(&mainForm, &frmMain::modifyPortRequested, this,
            &DeviceCommands::mnutvModifyPortDesc_Click);
}

DeviceCommands::~DeviceCommands() = default;

template <typename Dialog> void DeviceCommands::open(const char* name, bool needsKey) {
    trapErrors(m_context, name, [&] {
        // The pop-up offers none of these while monitoring is on; a request that still comes
        // (a shortcut, the assistant) is refused the same way.
        if (m_context.state().MonitoringOn)
            return;
        if (needsKey && m_context.state().SelectedKey.isEmpty())
            return;
        Dialog dialog(m_editing, &m_main);
        dialog.exec();
    });
}

void DeviceCommands::mnutvAddDevice_Click() {
    open<frmAddDevice>("mnutvAddDevice_Click", false);
}

void DeviceCommands::mnutvModifyDeviceDesc_Click() {
    open<frmModifyDevice>("mnutvModifyDeviceDesc_Click", true);
}

void DeviceCommands::mnutvAddPort_Click() {
    open<frmAddPort>("mnutvAddPort_Click", true);
}

void DeviceCommands::mnutvModifyPortDesc_Click() {
    open<frmModifyPort>("mnutvModifyPortDesc_Click", true);
}

QWidget* DeviceCommands::ownerWindow() const {
    return &m_main;
}

bool DeviceCommands::hasNode(const QString& key) const {
    for (QTreeWidgetItemIterator it(&m_main.tvTreeView()); *it; ++it) {
        if (DeviceTree::keyOf(*it).compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void DeviceCommands::addDeviceNode(const QString& device, const QString& text) {
    DeviceTree& tree = m_main.tvTreeView();
    QTreeWidgetItem* node = tree.addNode(tree.root(), device, text, MainImages::DeviceHealthy);
    tree.scrollToItem(node);
}

void DeviceCommands::addItemNode(const QString& device, const QString& port) {
    DeviceTree& tree = m_main.tvTreeView();
    QTreeWidgetItem* deviceNode = tree.node(device);
    if (!deviceNode)
        return;
    QTreeWidgetItem* node = tree.addNode(deviceNode, device + QLatin1Char(':') + port,
                                         QStringLiteral("Port:") + port, MainImages::ItemHealthy);
    deviceNode->setExpanded(true);
    tree.scrollToItem(node);
}

void DeviceCommands::removeNode(const QString& key) {
    m_main.tvTreeView().removeNode(key);
}

void DeviceCommands::Update_Devices() {
    m_main.panes().Update_Devices();
}

void DeviceCommands::Update_Ports() {
    // After the add-device wizard the root is still selected: the list then shows all
    // devices, the new one included, instead of a device named like the root's key.
    DeviceTree& tree = m_main.tvTreeView();
    if (tree.isDevice(tree.selectedNode()))
        m_main.panes().Update_Ports();
    else
        m_main.panes().showNode(tree.selectedNode());
}

void DeviceCommands::Update_Port() {
    m_main.panes().Update_Port();
}
