#pragma once

#include "ui/main/DetailListModel.h"

#include <QStackedWidget>

class QListView;
class QTreeView;

// The detail list in its four presentations: large icons, small icons, list and details.
// The three icon presentations share one list view, the details a table with headers; both
// show the same rows and the same selection.
class DetailList final : public QStackedWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DetailList)

public:
    explicit DetailList(QWidget* parent = nullptr);

    DetailListModel& model() { return *m_model; }
    const DetailListModel& model() const { return *m_model; }

    // Replaces columns and rows; a list that is sorted stays sorted.
    void fill(QVector<DetailColumn> columns, QVector<DetailRow> rows);
    void clearAll();

    int view() const { return m_view; }
    void setView(int mode);

    // A header click: sort by that column with the order flipped from the last sort.
    void sortByColumnClick(int column);
    bool isSorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    QString selectedKey() const;
    void selectRow(int row);

    void setTwipsPerPixel(double twipsPerPixel);
    QTreeView* detailsView() const { return m_details; }
    QListView* iconsView() const { return m_icons; }

signals:
    void rowClicked(const QString& key);
    void doubleClicked();
    void rightButtonPressed(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumnWidths();
    void applySort();

    DetailListModel* m_model;
    QListView* m_icons;
    QTreeView* m_details;
    int m_view = 0;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    double m_twipsPerPixel = 15;
};
