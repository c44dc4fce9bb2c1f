#include "ui/main/HistoryPane.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/ItemKey.h"
#include "store/Database.h"
#include "ui/main/CheckBar.h"
#include "ui/main/DeviceTree.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {
struct RangeInfo {
    const char* caption;
    const char* label;
    qint64 length;
    qint64 span; // one point of the chart
    qint64 step; // from one label of the time axis to the next
    const char* timeFormat;
};

constexpr qint64 Minute = 60 * 1000;
constexpr qint64 HourMs = History::HourMs;
constexpr qint64 DayMs = History::DayMs;
// In the order of HistoryPane::Range.
const RangeInfo Ranges[] = {
    {"24 hours", "Last 24 hours", DayMs, 5 * Minute, 3 * HourMs, "HH:mm"},
    {"7 days", "Last 7 days", 7 * DayMs, HourMs, DayMs, "ddd d"},
    {"30 days", "Last 30 days", 30 * DayMs, 6 * HourMs, 5 * DayMs, "d MMM"},
    {"1 hour", "Last hour", HourMs, Minute, 10 * Minute, "HH:mm"},
    {"6 hours", "Last 6 hours", 6 * HourMs, 5 * Minute, HourMs, "HH:mm"},
};
// The order of the range list.
constexpr HistoryPane::Range Listed[] = {HistoryPane::Hour, HistoryPane::SixHours, HistoryPane::Day,
                                         HistoryPane::Week, HistoryPane::Month};

// The first round time on the local clock after `from`: a whole multiple of the step into
// the day, or a midnight for steps of a day or more.
qint64 firstRoundTime(qint64 from, qint64 step) {
    const QDateTime after = QDateTime::fromMSecsSinceEpoch(from + 1);
    if (step >= DayMs) {
        const QDateTime midnight = after.date().startOfDay();
        return (midnight < after ? after.date().addDays(1).startOfDay() : midnight)
            .toMSecsSinceEpoch();
    }
    const qint64 intoDay = after.time().msecsSinceStartOfDay();
    return from + 1 + (step - intoDay % step) % step;
}

QString percentText(const Availability& a) {
    if (!a.known())
        return QStringLiteral("no checks");
    QLocale locale = QLocale::system();
    return locale.toString(a.percent(), 'f', 2) + QStringLiteral("% of ") +
           locale.toString(a.checks) +
           (a.checks == 1 ? QStringLiteral(" check") : QStringLiteral(" checks"));
}

QString ms(double value) {
    return QLocale::system().toString(value, 'f', value == std::floor(value) ? 0 : 1) +
           QStringLiteral(" ms");
}
} // namespace

HistoryPane::HistoryPane(AppContext& context, Database& db, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_db(db)
    , m_pages(new QStackedWidget(this))
    , m_devices(new QTreeWidget(m_pages)) {
    setObjectName(QStringLiteral("picHistory"));
    m_devices->setObjectName(QStringLiteral("lvHistoryDevices"));
    m_devices->setRootIsDecorated(false);
    m_devices->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Last 24 Hours")});
    m_devices->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pages->addWidget(m_devices);
    m_pages->addWidget(buildItemPage());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
}

QWidget* HistoryPane::buildItemPage() {
    auto* page = new QWidget(m_pages);
    auto* layout = new QVBoxLayout(page);
    m_title = new QLabel(page);
    m_title->setObjectName(QStringLiteral("lblHistoryTitle"));
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);
    for (int r = Day; r <= Month; ++r) {
        m_availability[r] = new QLabel(page);
        m_availability[r]->setObjectName(QStringLiteral("lblAvailability%1").arg(r));
        layout->addWidget(m_availability[r]);
    }
    layout->addWidget(new QLabel(QStringLiteral("Last %1 checks:").arg(BarChecks), page));
    m_bar = new CheckBar(BarChecks, page);
    m_bar->setObjectName(QStringLiteral("picCheckBar"));
    layout->addWidget(m_bar);

    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(new QLabel(QStringLiteral("Round trip over:"), page));
    m_range = new QComboBox(page);
    m_range->setObjectName(QStringLiteral("cboHistoryRange"));
    for (const Range r : Listed)
        m_range->addItem(QLatin1String(Ranges[r].caption), int(r));
    m_range->setCurrentIndex(m_range->findData(int(Day)));
    rangeRow->addWidget(m_range);
    m_roundTrips = new QLabel(page);
    m_roundTrips->setObjectName(QStringLiteral("lblRoundTrip"));
    rangeRow->addWidget(m_roundTrips, 1);
    layout->addLayout(rangeRow);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis = new QCategoryAxis(m_chart);
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_msAxis = new QValueAxis(m_chart);
    m_msAxis->setTitleText(QStringLiteral("ms"));
    m_msAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_msAxis, Qt::AlignLeft);
    const char* names[] = {"Minimum", "Average", "Maximum"};
    const QColor colours[] = {QColor(0x1e, 0x8e, 0x3e), QColor(0x1a, 0x5f, 0xb4),
                              QColor(0xb0, 0x60, 0x00)};
    for (int i = 0; i < 3; ++i) {
        m_series[i] = new QLineSeries(m_chart);
        m_series[i]->setName(QLatin1String(names[i]));
        m_series[i]->setColor(colours[i]);
        // A span with a lone point between gaps would draw no line at all.
        m_series[i]->setPointsVisible(true);
        m_series[i]->setMarkerSize(5);
        m_chart->addSeries(m_series[i]);
        m_series[i]->attachAxis(m_timeAxis);
        m_series[i]->attachAxis(m_msAxis);
    }
    m_chartView = new QChartView(m_chart, page);
    m_chartView->setObjectName(QStringLiteral("chtRoundTrip"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumHeight(160);
    layout->addWidget(m_chartView, 1);

    connect(m_range, &QComboBox::currentIndexChanged, this,
            [this] { trapErrors(m_context, "HistoryPane_Range", [&] { drawChart(); }); });
    return page;
}

void HistoryPane::showNode(const DeviceTree& tree, const QTreeWidgetItem* node) {
    trapErrors(m_context, "HistoryPane_Show", [&] {
        if (!node || tree.isRoot(node)) {
            showDevices(tree);
        } else if (tree.isDevice(node)) {
            showScope(node->text(0), {DeviceTree::keyOf(node), {}});
        } else {
            const ItemKey key = ItemKey::split(DeviceTree::keyOf(node));
            const QString parent = node->parent() ? node->parent()->text(0) : key.device;
            showScope(parent + QStringLiteral(" - ") + node->text(0), {key.device, key.port});
        }
    });
}

void HistoryPane::showDevices(const DeviceTree& tree) {
    m_scope = {};
    m_pages->setCurrentWidget(m_devices);
    m_devices->setUpdatesEnabled(false);
    m_devices->clear();
    const qint64 to = now();
    QList<QTreeWidgetItem*> rows;
    for (const QTreeWidgetItem* device : tree.deviceNodes()) {
        const Availability a =
            History::availability(m_db, {DeviceTree::keyOf(device), {}}, to - History::DayMs, to);
        auto* row = new QTreeWidgetItem({device->text(0), percentText(a)});
        row->setIcon(0, device->icon(0));
        rows << row;
    }
    m_devices->addTopLevelItems(rows);
    m_devices->setUpdatesEnabled(true);
}

void HistoryPane::showScope(const QString& title, const HistoryScope& scope) {
    m_scope = scope;
    m_pages->setCurrentIndex(1);
    m_title->setText(title);
    const qint64 to = now();
    for (int r = Day; r <= Month; ++r) {
        const Availability a = History::availability(m_db, scope, to - Ranges[r].length, to);
        m_availability[r]->setText(QLatin1String(Ranges[r].label) + QStringLiteral(": ") +
                                   percentText(a));
    }
    m_bar->setMarks(History::lastChecks(m_db, scope, BarChecks));
    drawChart();
}

void HistoryPane::drawChart() {
    if (m_scope.device.isEmpty())
        return;
    const RangeInfo& info = Ranges[range()];
    const qint64 to = now();
    const qint64 from = to - info.length;
    const QVector<RoundTrips> spans = History::roundTrips(m_db, m_scope, from, to, info.span);
    QList<QPointF> points[3];
    double top = 0;
    for (const RoundTrips& s : spans) {
        // A span is drawn at its middle; the newest, still running, at now, and the oldest,
        // which began before the range, at its start.
        const double x = double(qBound(from, s.time + info.span / 2, to));
        points[0].append({x, s.minimum});
        points[1].append({x, s.average});
        points[2].append({x, s.maximum});
        top = qMax(top, s.maximum);
    }
    for (int i = 0; i < 3; ++i)
        m_series[i]->replace(points[i]);
    placeTimeLabels(from, to, info.step, QLatin1String(info.timeFormat));
    m_msAxis->setRange(0, top > 0 ? top * 1.15 : 1);
    m_msAxis->applyNiceNumbers();
    // Below ten milliseconds the ticks fall between whole numbers.
    m_msAxis->setLabelFormat(m_msAxis->max() < 10 ? QStringLiteral("%.1f")
                                                  : QStringLiteral("%.0f"));

    const RoundTrips all = History::roundTripSummary(m_db, m_scope, from, to);
    m_chartView->viewport()->update();
    m_roundTrips->setText(all.samples == 0
                              ? QStringLiteral("no round trips measured")
                              : QStringLiteral("minimum %1, average %2, maximum %3")
                                    .arg(ms(all.minimum), ms(all.average), ms(all.maximum)));
}

void HistoryPane::placeTimeLabels(qint64 from, qint64 to, qint64 step, const QString& format) {
    for (const QString& label : m_timeAxis->categoriesLabels())
        m_timeAxis->remove(label);
    m_timeAxis->setStartValue(double(from));
    const QLocale locale = QLocale::system();
    for (qint64 at = firstRoundTime(from, step); at <= to; at += step)
        m_timeAxis->append(locale.toString(QDateTime::fromMSecsSinceEpoch(at), format), double(at));
    m_timeAxis->setRange(double(from), double(to));
}

qint64 HistoryPane::now() const {
    return m_context.clock().now().toMSecsSinceEpoch();
}

void HistoryPane::setRange(Range range) {
    m_range->setCurrentIndex(m_range->findData(int(range)));
}

HistoryPane::Range HistoryPane::range() const {
    return Range(m_range->currentData().toInt());
}

bool HistoryPane::showsDevices() const {
    return m_pages->currentWidget() == m_devices;
}

QString HistoryPane::title() const {
    return m_title->text();
}

QString HistoryPane::availabilityText(Range range) const {
    return m_availability[range]->text();
}

QString HistoryPane::roundTripText() const {
    return m_roundTrips->text();
}

const QLineSeries& HistoryPane::series(int which) const {
    return *m_series[which];
}
