#include "ui/main/DetailListModel.h"

#include "ui/dialogs/DialogText.h"
#include "ui/main/MainImages.h"

#include <algorithm>

DetailListModel::DetailListModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void DetailListModel::reset(QVector<DetailColumn> columns, QVector<DetailRow> rows) {
    beginResetModel();
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    endResetModel();
}

QString DetailListModel::cell(int row, int column) const {
    if (row < 0 || row >= m_rows.size())
        return {};
    const DetailRow& r = m_rows.at(row);
    if (column == 0)
        return r.text;
    return r.subItems.value(column - 1);
}

int DetailListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DetailListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DetailListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const DetailRow& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column());
    case Qt::ToolTipRole:
        return DialogText::plainTip(cell(index.row(), index.column()));
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(MainImages::icon(row.image)) : QVariant();
    case KeyRole:
        return row.key;
    default:
        return {};
    }
}

QVariant DetailListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.size())
        return {};
    return m_columns.at(section).caption;
}

void DetailListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const auto textOf = [column](const DetailRow& r) {
        return column == 0 ? r.text : r.subItems.value(column - 1);
    };
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const DetailRow& a, const DetailRow& b) {
        const int c = textOf(a).compare(textOf(b), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
