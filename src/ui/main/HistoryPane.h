#pragma once

#include "store/History.h"

#include <QWidget>

class AppContext;
class CheckBar;
class Database;
class DeviceTree;
class QCategoryAxis;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QValueAxis;

// The "History" tab of the right pane. For a device or an item: its availability over the
// last 24 hours, 7 days and 30 days, a bar of its last 60 checks, and a chart of the round
// trips over a chosen range (an hour to 30 days) with their minimum, mean and maximum. For the
// root: one row per device with its availability over the last 24 hours.
class HistoryPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryPane)

public:
    // Day, Week and Month are also the three availability rows.
    enum Range { Day, Week, Month, Hour, SixHours };
    static constexpr int BarChecks = 60;

    HistoryPane(AppContext& context, Database& db, QWidget* parent = nullptr);

    // Shows the history of a node of the tree; errors go to the error report.
    void showNode(const DeviceTree& tree, const QTreeWidgetItem* node);
    void setRange(Range range);
    Range range() const;

    // What the pane shows, for the tests that drive it.
    bool showsDevices() const;
    QString title() const;
    QString availabilityText(Range range) const;
    QString roundTripText() const;
    const CheckBar& checkBar() const { return *m_bar; }
    const QLineSeries& series(int which) const; // 0 minimum, 1 mean, 2 maximum
    const QTreeWidget& deviceList() const { return *m_devices; }

private:
    QWidget* buildItemPage();
    void showDevices(const DeviceTree& tree);
    void showScope(const QString& title, const HistoryScope& scope);
    void drawChart();
    void placeTimeLabels(qint64 from, qint64 to, qint64 step, const QString& format);
    qint64 now() const;

    AppContext& m_context;
    Database& m_db;
    HistoryScope m_scope;
    QStackedWidget* m_pages;
    QTreeWidget* m_devices;
    QLabel* m_title;
    QLabel* m_availability[3];
    CheckBar* m_bar;
    QComboBox* m_range;
    QChart* m_chart;
    QChartView* m_chartView;
    QLineSeries* m_series[3];
    QCategoryAxis* m_timeAxis;
    QValueAxis* m_msAxis;
    QLabel* m_roundTrips;
};
