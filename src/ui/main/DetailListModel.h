#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

struct DetailRow {
    QString key;
    QString text;
    int image = 0;
    QStringList subItems; // columns 1 onwards
};

struct DetailColumn {
    QString caption;
    int widthTwips = 0;
};

// The rows of the detail list: a key, a text with its picture, and the texts of the further
// columns. Every presentation of the list shows this one model.
class DetailListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DetailListModel)

public:
    static constexpr int KeyRole = Qt::UserRole;

    explicit DetailListModel(QObject* parent = nullptr);

    void reset(QVector<DetailColumn> columns, QVector<DetailRow> rows);
    const QVector<DetailColumn>& columns() const { return m_columns; }
    const QVector<DetailRow>& rows() const { return m_rows; }
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    QVector<DetailColumn> m_columns;
    QVector<DetailRow> m_rows;
};
