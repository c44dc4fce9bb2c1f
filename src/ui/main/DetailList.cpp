#include "ui/main/DetailList.h"

#include "ui/main/ViewMode.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QTreeView>

DetailList::DetailList(QWidget* parent)
    : QStackedWidget(parent)
    , m_model(new DetailListModel(this))
    , m_icons(new QListView(this))
    , m_details(new QTreeView(this)) {
    setObjectName(QStringLiteral("lvListView"));
    m_icons->setModel(m_model);
    m_details->setModel(m_model);
    m_details->setSelectionModel(m_icons->selectionModel());
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setMovement(QListView::Static);
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setItemsExpandable(false);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->setIconSize(QSize(16, 16));
    m_details->header()->setSectionsClickable(true);
    m_details->header()->setStretchLastSection(false);
    addWidget(m_icons);
    addWidget(m_details);

    connect(m_details->header(), &QHeaderView::sectionClicked, this,
            &DetailList::sortByColumnClick);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_icons), static_cast<QAbstractItemView*>(m_details)}) {
        connect(view, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
            emit rowClicked(index.data(DetailListModel::KeyRole).toString());
        });
        view->viewport()->installEventFilter(this);
    }
    setView(ViewMode::LargeIcons);
}

void DetailList::fill(QVector<DetailColumn> columns, QVector<DetailRow> rows) {
    m_model->reset(std::move(columns), std::move(rows));
    if (m_sorted)
        applySort();
    applyColumnWidths();
}

void DetailList::clearAll() {
    m_model->reset({}, {});
}

void DetailList::setView(int mode) {
    m_view = ViewMode::valid(mode);
    if (m_view == ViewMode::Details) {
        setCurrentWidget(m_details);
        return;
    }
    m_icons->setUpdatesEnabled(false);
    if (m_view == ViewMode::LargeIcons) {
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(104, 64));
        m_icons->setWordWrap(true);
    } else {
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize());
        m_icons->setWordWrap(false);
        m_icons->setWrapping(true);
        m_icons->setFlow(m_view == ViewMode::SmallIcons ? QListView::LeftToRight
                                                        : QListView::TopToBottom);
        if (m_view == ViewMode::SmallIcons)
            m_icons->setGridSize(QSize(200, 20));
    }
    m_icons->setMovement(QListView::Static);
    m_icons->setUpdatesEnabled(true);
    setCurrentWidget(m_icons);
}

void DetailList::sortByColumnClick(int column) {
    m_sorted = true;
    m_sortKey = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    applySort();
}

void DetailList::applySort() {
    m_icons->selectionModel()->clear();
    m_model->sort(m_sortKey, m_sortOrder);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setSortIndicator(m_sortKey, m_sortOrder);
}

QString DetailList::selectedKey() const {
    const QModelIndexList rows = m_icons->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? QString() : rows.first().data(DetailListModel::KeyRole).toString();
}

void DetailList::selectRow(int row) {
    const QModelIndex index = m_model->index(row, 0);
    m_icons->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
}

void DetailList::setTwipsPerPixel(double twipsPerPixel) {
    m_twipsPerPixel = twipsPerPixel > 0 ? twipsPerPixel : 15;
    applyColumnWidths();
}

void DetailList::applyColumnWidths() {
    const QVector<DetailColumn>& columns = m_model->columns();
    for (int i = 0; i < columns.size(); ++i)
        m_details->setColumnWidth(i, qRound(columns.at(i).widthTwips / m_twipsPerPixel));
}

bool DetailList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            emit rightButtonPressed(mouse->globalPosition().toPoint());
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // The click that came first has already selected the row and its tree node. The
            // list is refilled later, once the view has finished with this event.
            QMetaObject::invokeMethod(this, &DetailList::doubleClicked, Qt::QueuedConnection);
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}
