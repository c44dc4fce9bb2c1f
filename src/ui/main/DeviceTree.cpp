#include "ui/main/DeviceTree.h"

#include "ui/main/MainImages.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
} // namespace

DeviceTree::DeviceTree(QWidget* parent)
    : QTreeWidget(parent) {
    setObjectName(QStringLiteral("tvTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
}

void DeviceTree::clearNodes() {
    m_nodes.clear();
    m_root = nullptr;
    clear();
}

void DeviceTree::beginRebuild() {
    clearNodes();
    m_rebuilding = true;
}

void DeviceTree::endRebuild() {
    m_rebuilding = false;
    addTopLevelItems(m_heldBack);
    m_heldBack.clear();
}

QTreeWidgetItem* DeviceTree::addNode(const QString& parentKey, const QString& key,
                                     const QString& text, int image) {
    return addNode(parentKey.isEmpty() ? nullptr : node(parentKey), key, text, image);
}

QTreeWidgetItem* DeviceTree::addNode(QTreeWidgetItem* parentNode, const QString& key,
                                     const QString& text, int image) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, KeyRole, key);
    setImage(item, image);
    if (parentNode)
        parentNode->addChild(item);
    else if (m_rebuilding)
        m_heldBack << item;
    else
        addTopLevelItem(item);
    if (!parentNode && key == RootKey && !m_root)
        m_root = item;
    m_nodes.insert(key, item);
    return item;
}

void DeviceTree::removeNode(const QString& key) {
    QTreeWidgetItem* item = node(key);
    if (!item)
        return;
    forget(item);
    if (item == m_root)
        m_root = nullptr;
    delete item;
}

void DeviceTree::forget(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
    // Only this node's own entry: another node may share its key.
    if (m_nodes.value(keyOf(item)) == item)
        m_nodes.remove(keyOf(item));
}

QString DeviceTree::keyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, KeyRole).toString() : QString();
}

int DeviceTree::imageOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, ImageRole).toInt() : 0;
}

void DeviceTree::setImage(QTreeWidgetItem* item, int image) {
    if (imageOf(item) == image)
        return;
    item->setData(0, ImageRole, image);
    item->setIcon(0, MainImages::icon(image));
}

QList<QTreeWidgetItem*> DeviceTree::deviceNodes() const {
    QList<QTreeWidgetItem*> result;
    if (QTreeWidgetItem* r = root()) {
        result.reserve(r->childCount());
        for (int i = 0; i < r->childCount(); ++i)
            result << r->child(i);
    }
    return result;
}

QTreeWidgetItem* DeviceTree::selectedNode() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void DeviceTree::selectNode(QTreeWidgetItem* item) {
    if (!item)
        return;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
}

void DeviceTree::setAllExpanded(bool expanded) {
    deferLayout();
    for (QTreeWidgetItem* item : std::as_const(m_nodes)) {
        if (item != root())
            item->setExpanded(expanded);
    }
}

void DeviceTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightButtonPressed(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void DeviceTree::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->ignore(); // the right-button press has opened it already
        return;
    }
    popUpAtSelection();
    event->accept();
}

void DeviceTree::keyPressEvent(QKeyEvent* event) {
    // The desktop turns only the menu key into a context-menu request.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        popUpAtSelection();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DeviceTree::popUpAtSelection() {
    const QRect row = visualItemRect(selectedNode());
    emit rightButtonPressed(
        viewport()->mapToGlobal(row.isValid() ? row.center() : viewport()->rect().topLeft()));
}
