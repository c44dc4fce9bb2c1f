#include "ui/main/DevicePanes.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/ItemKey.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/ItemCells.h"
#include "ui/main/MainImages.h"

#include <QHash>

namespace {

const QString RootText = QStringLiteral("Monitored Devices");
const QString DeviceType = QStringLiteral("Device");

// Keeps a widget from repainting row by row while it is refilled.
class FrozenUpdates final {
public:
    explicit FrozenUpdates(QWidget& widget)
        : m_widget(widget)
        , m_was(widget.updatesEnabled()) {
        m_widget.setUpdatesEnabled(false);
    }
    ~FrozenUpdates() { m_widget.setUpdatesEnabled(m_was); }
    Q_DISABLE_COPY_MOVE(FrozenUpdates)

private:
    QWidget& m_widget;
    bool m_was;
};

QVector<DetailColumn> itemColumns() {
    return {{QStringLiteral("Name"), 2500},        {QStringLiteral("Type"), 800},
            {QStringLiteral("Description"), 2000}, {QStringLiteral("Status"), 1000},
            {QStringLiteral("Last Error"), 1000},  {QStringLiteral("Summary"), 3000}};
}

DetailRow deviceRow(Database& db, const QString& key, const QString& text, int image) {
    DetailRow row{key, text, image, {DeviceType}};
    Recordset device = db.openRecordset(Catalogue::device(key));
    if (!device.atEnd())
        row.subItems << device.text(QStringLiteral("Device_Description"))
                     << device.text(QStringLiteral("Device_Status"));
    device.close();
    return row;
}

DetailRow itemRow(const Recordset& item, const QString& device, const DeviceTree& tree) {
    const QString port = item.text(QStringLiteral("Port"));
    const QString type = item.text(QStringLiteral("Port_Type"));
    const QString key = ItemKey::join(device, port);
    return {key,
            type + QLatin1Char(':') + port,
            DeviceTree::imageOf(tree.node(key)),
            {type, item.text(QStringLiteral("Port_Description")),
             ItemCells::statusText(item.text(QStringLiteral("Status")),
                                   item.text(QStringLiteral("Failed_On")),
                                   item.text(QStringLiteral("Recovered_On"))),
             item.text(QStringLiteral("Last_Error")),
             ItemCells::summary(qint64(item.number(QStringLiteral("Connect"))),
                                qint64(item.number(QStringLiteral("Error"))), port,
                                item.number(QStringLiteral("Ping_Min")),
                                item.number(QStringLiteral("Ping_Max")),
                                item.number(QStringLiteral("Ping_Average")))}};
}

QTreeWidgetItem* requireSelected(const DeviceTree& tree) {
    QTreeWidgetItem* node = tree.selectedNode();
    if (!node)
        throw RuntimeError(91, QStringLiteral("Object variable or With block variable not set"));
    return node;
}

} // namespace

DevicePanes::DevicePanes(AppContext& context, Database& db, DeviceTree& tree, DetailList& list)
    : m_context(context)
    , m_db(db)
    , m_tree(tree)
    , m_list(list) {}

void DevicePanes::Load_Data() {
    FrozenUpdates frozen(m_tree);
    m_tree.beginRebuild();
    trapErrors(m_context, "Load_Data", [&] { fillTree(); });
    endTreeRebuild();
}

void DevicePanes::fillTree() {
    m_tree.addNode(nullptr, DeviceTree::RootKey, RootText, MainImages::Root);
    m_db.execute(Catalogue::reset());
    Database::Transaction transaction(m_db);
    Recordset devices = m_db.openRecordset(Catalogue::allDevices());
    for (; !devices.atEnd(); devices.moveNext()) {
        const QString device = devices.text(QStringLiteral("Device"));
        const QString alias = devices.text(QStringLiteral("Device_Alias"));
        devices.edit();
        devices.setField(QStringLiteral("Device_Status"), QStringLiteral("Not Checked"));
        devices.update();
        QTreeWidgetItem* deviceNode = m_tree.addNode(
            m_tree.root(), device, alias.isEmpty() ? device : alias, MainImages::DeviceHealthy);
        Recordset items = m_db.openRecordset(Catalogue::itemsOfDevice(device));
        for (; !items.atEnd(); items.moveNext()) {
            const QString port = items.text(QStringLiteral("Port"));
            m_tree.addNode(deviceNode, ItemKey::join(device, port),
                           items.text(QStringLiteral("Port_Type")) + QLatin1Char(':') + port,
                           MainImages::ItemHealthy);
        }
    }
    devices.close();
    transaction.commit();
}

void DevicePanes::endTreeRebuild() {
    m_tree.endRebuild();
    if (QTreeWidgetItem* root = m_tree.root()) {
        root->setExpanded(true);
        m_tree.selectNode(root);
    }
}

void DevicePanes::Update_Devices() {
    FrozenUpdates frozen(m_list);
    m_list.clearAll();
    trapErrors(m_context, "Update_Devices", [&] { fillDeviceList(); });
}

void DevicePanes::fillDeviceList() {
    // One pass over the table instead of one query per node; devices match without regard to
    // case, as they do in the database.
    QHash<QString, QStringList> details;
    Recordset devices = m_db.openRecordset(Catalogue::allDevices());
    for (; !devices.atEnd(); devices.moveNext())
        details.insert(devices.text(QStringLiteral("Device")).toCaseFolded(),
                       {devices.text(QStringLiteral("Device_Description")),
                        devices.text(QStringLiteral("Device_Status"))});
    devices.close();

    QVector<DetailRow> rows;
    const QList<QTreeWidgetItem*> nodes = m_tree.deviceNodes();
    rows.reserve(nodes.size());
    for (const QTreeWidgetItem* node : nodes) {
        const QString key = DeviceTree::keyOf(node);
        DetailRow row{key, node->text(0), DeviceTree::imageOf(node), {DeviceType}};
        const auto found = details.constFind(key.toCaseFolded());
        if (found != details.constEnd())
            row.subItems << *found;
        rows << row;
    }
    m_list.fill({{QStringLiteral("Name"), 2500},
                 {QStringLiteral("Type"), 800},
                 {QStringLiteral("Description"), 2500},
                 {QStringLiteral("Status"), 2000}},
                std::move(rows));
}

void DevicePanes::loadRaising() {
    {
        FrozenUpdates frozen(m_tree);
        m_tree.beginRebuild();
        try {
            fillTree();
        } catch (...) {
            endTreeRebuild();
            throw;
        }
        endTreeRebuild();
    }
    FrozenUpdates frozen(m_list);
    m_list.clearAll();
    fillDeviceList();
}

void DevicePanes::Update_Ports() {
    FrozenUpdates frozen(m_list);
    m_list.clearAll();
    trapErrors(m_context, "Update_Ports", [&] {
        const QTreeWidgetItem* node = requireSelected(m_tree);
        const QString device = DeviceTree::keyOf(node);
        QVector<DetailRow> rows{deviceRow(m_db, device, node->text(0), DeviceTree::imageOf(node))};
        Recordset items = m_db.openRecordset(Catalogue::itemsOfDevice(device));
        for (; !items.atEnd(); items.moveNext())
            rows << itemRow(items, device, m_tree);
        items.close();
        m_list.fill(itemColumns(), std::move(rows));
    });
}

void DevicePanes::Update_Port() {
    FrozenUpdates frozen(m_list);
    m_list.clearAll();
    trapErrors(m_context, "Update_Port", [&] {
        const ItemKey key = ItemKey::split(DeviceTree::keyOf(requireSelected(m_tree)));
        QVector<DetailRow> rows;
        Recordset item = m_db.openRecordset(Catalogue::item(key.device, key.port));
        if (!item.atEnd())
            rows << itemRow(item, key.device, m_tree);
        item.close();
        m_list.fill(itemColumns(), std::move(rows));
    });
}

void DevicePanes::showNode(QTreeWidgetItem* node) {
    if (!node)
        return;
    if (m_tree.isRoot(node))
        Update_Devices();
    else if (m_tree.isDevice(node))
        Update_Ports();
    else
        Update_Port();
}

bool DevicePanes::Check_TVIcons() {
    FrozenUpdates frozen(m_tree);
    m_tree.deferLayout();
    return trapErrors(m_context, "Check_TVIcons", [&] {
        int problems = 0;
        Database::Transaction transaction(m_db);
        Recordset devices = m_db.openRecordset(Catalogue::allDevices());
        for (; !devices.atEnd(); devices.moveNext()) {
            const QString device = devices.text(QStringLiteral("Device"));
            const QString storedStatus = devices.text(QStringLiteral("Device_Status"));
            QString status = storedStatus;
            int d = 0;
            Recordset items = m_db.openRecordset(Catalogue::itemStates(device));
            if (items.atEnd())
                continue;
            for (; !items.atEnd(); items.moveNext()) {
                const double n = items.number(QStringLiteral("Count"));
                int image = MainImages::ItemHealthy;
                if (n > 0) {
                    ++problems;
                    d = MainImages::DeviceFailing;
                    status = QStringLiteral("Problems Detected");
                    image = MainImages::ItemFailing;
                } else if (n < 0) {
                    if (d != MainImages::DeviceFailing) {
                        d = MainImages::DeviceRecovered;
                        status = QStringLiteral("Recovered");
                    }
                    image = MainImages::ItemRecovered;
                } else if (d < MainImages::DeviceRecovered) {
                    d = MainImages::DeviceHealthy;
                    if (status != QLatin1String("Recovered"))
                        status = QStringLiteral("OK");
                }
                const QString key = ItemKey::join(device, items.text(QStringLiteral("Port")));
                if (QTreeWidgetItem* node = m_tree.node(key))
                    m_tree.setImage(node, image);
            }
            items.close();
            if (status != storedStatus) {
                devices.edit();
                devices.setField(QStringLiteral("Device_Status"), status);
                devices.update();
            }
            if (QTreeWidgetItem* node = m_tree.node(device)) {
                m_tree.setImage(node, d);
                node->setExpanded(d != MainImages::DeviceHealthy);
            }
        }
        devices.close();
        transaction.commit();
        m_problemCount = problems;
    });
}
