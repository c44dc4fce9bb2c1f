#pragma once

#include <QHash>
#include <QTreeWidget>

// The device tree: one root, a node per device and a node per monitored item, each found by
// its key. Nodes remember the index of their picture so the list can show the same one.
class DeviceTree final : public QTreeWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeviceTree)

public:
    static inline const QString RootKey = QStringLiteral("Root");

    explicit DeviceTree(QWidget* parent = nullptr);

    void clearNodes();
    // Between these two, top-level nodes are held back and added in one step at the end, so a
    // rebuild of thousands of nodes does not go through the view one node at a time.
    void beginRebuild();
    void endRebuild();
    // Adds a node under parentKey (an empty parent key adds a top-level node).
    QTreeWidgetItem* addNode(const QString& parentKey, const QString& key, const QString& text,
                             int image);
    // The same under a node already at hand; a null parent adds a top-level node.
    QTreeWidgetItem* addNode(QTreeWidgetItem* parentNode, const QString& key, const QString& text,
                             int image);
    void removeNode(const QString& key);

    QTreeWidgetItem* node(const QString& key) const { return m_nodes.value(key); }
    QTreeWidgetItem* root() const { return m_root; }
    static QString keyOf(const QTreeWidgetItem* node);
    static int imageOf(const QTreeWidgetItem* node);
    void setImage(QTreeWidgetItem* node, int image);

    bool isRoot(const QTreeWidgetItem* node) const { return node && node == root(); }
    bool isDevice(const QTreeWidgetItem* node) const {
        return node && node->parent() == root() && root();
    }
    int nodeCount() const {
        const bool rootShadowed = m_root && m_nodes.value(RootKey) != m_root;
        return static_cast<int>(m_nodes.size()) + (rootShadowed ? 1 : 0);
    }
    // The device nodes in the order they were added.
    QList<QTreeWidgetItem*> deviceNodes() const;

    QTreeWidgetItem* selectedNode() const;
    void selectNode(QTreeWidgetItem* node);
    // Until the event loop next runs, expanding and collapsing only record the new state and
    // the view lays itself out once, instead of once per node.
    void deferLayout() { scheduleDelayedItemsLayout(); }
    // Every node but the root expanded or collapsed.
    void setAllExpanded(bool expanded);

signals:
    // A right-button press; the selection stays where it was.
    void rightButtonPressed(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The menu key and Shift+F10 open the pop-up at the selected node, as a right click does.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void forget(QTreeWidgetItem* node);
    void popUpAtSelection();

    QHash<QString, QTreeWidgetItem*> m_nodes;
    // Kept apart from the keys: a device may be named like the root's key.
    QTreeWidgetItem* m_root = nullptr;
    QList<QTreeWidgetItem*> m_heldBack;
    bool m_rebuilding = false;
};
