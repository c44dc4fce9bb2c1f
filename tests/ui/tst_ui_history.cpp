#include "MainWindowFixture.h"
#include "store/History.h"
#include "TestMain.h"
#include "ui/main/CheckBar.h"
#include "ui/main/DeviceCommands.h"
#include "ui/main/HistoryPane.h"

#include <QCategoryAxis>
#include <QComboBox>
#include <QLineSeries>
#include <QTabBar>
#include <QTreeWidget>

namespace {
constexpr qint64 Minute = 60 * 1000;
const QDateTime Now(QDate(2026, 5, 6), QTime(12, 0), Qt::UTC);

// A window on two devices: "web" (alias Web) with Ping and 80, and "mail" with Ping. Web's
// ping answered 40 times in the last day, failing every tenth time, with round trips 10 to
// 49 ms; its port answered once four days ago.
struct Fixture : MainWindowFixture {
    static void seed(SeededDatabase& data) {
        Database& db = data.db;
        data.addDevice("web", "Web");
        data.addDevice("mail");
        data.addItems("web", {"Ping", "80"}).addItems("mail", {"Ping"});
        const qint64 now = Now.toMSecsSinceEpoch();
        for (int i = 0; i < 40; ++i) {
            const bool good = i % 10 != 9;
            History::append(db, {"web", "Ping", now - (40 - i) * 5 * Minute, good,
                                 good ? 10 + i : -1, good ? QString() : "request timed out"});
        }
        History::append(db, {"web", "80", now - 4 * History::DayMs, true, 3, {}});
    }
    Fixture()
        : MainWindowFixture(seed) {
        // The history reads the clock only once it shows.
        t->setClock(&clock);
        window->placeWindow(600, 600, 12000, 8000);
        window->show();
    }

    HistoryPane& pane() { return client().historyPane(); }
    QTabBar& tabs() { return *w().findChild<QTabBar*>("TabStrip1"); }
    void clickTab(int index) {
        QTest::mouseClick(&tabs(), Qt::LeftButton, {}, tabs().tabRect(index).center());
    }
    void clickNode(const QString& key) {
        DeviceTree& tree = w().tvTreeView();
        QTreeWidgetItem* node = tree.node(key);
        tree.scrollToItem(node);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(node).center());
    }

    FixedClock clock{Now};
};
} // namespace

class UiHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void tab_followsSelectionAndKeepsItsPlace();
    void item_availabilityBarAndRoundTrips();
    void ranges_data();
    void ranges();
    void root_listsEveryDeviceWithItsDay();
    void endOfCycle_refreshesTheShownHistory();
    void deletePort_removesItsHistory();
};

void UiHistoryTest::tab_followsSelectionAndKeepsItsPlace() {
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    QCOMPARE(f.tabs().count(), 3);
    QCOMPARE(f.tabs().tabText(2), QString("History"));
    f.clickNode("web");
    f.clickTab(2);
    QCOMPARE(f.client().selectedTab(), 3);
    QVERIFY(f.pane().isVisible());
    QVERIFY(!f.w().lvListView().isVisible());
    QCOMPARE(f.pane().title(), QString("Web"));

    // Choosing another node keeps the history in front and shows that node's.
    f.clickNode("web:Ping");
    QCOMPARE(f.client().selectedTab(), 3);
    QCOMPARE(f.pane().title(), QString("Web - Port:Ping"));
    f.clickNode("mail");
    QCOMPARE(f.pane().title(), QString("mail"));
    QVERIFY(f.pane().availabilityText(HistoryPane::Day).endsWith("no checks"));

    // From the list tab a node click stays on the list, as before.
    f.clickTab(0);
    QVERIFY(!f.pane().isVisible());
    f.clickNode("web");
    QCOMPARE(f.client().selectedTab(), 1);
    QVERIFY(f.w().lvListView().isVisible());
}

void UiHistoryTest::item_availabilityBarAndRoundTrips() {
    Fixture f;
    f.clickNode("web:Ping");
    f.clickTab(2);
    // 36 good of 40 in the last day; the port's check four days back counts only for the
    // device over a week.
    QVERIFY2(f.pane()
                 .availabilityText(HistoryPane::Day)
                 .contains(QLocale::system().toString(90.0, 'f', 2) + "% of 40 checks"),
             qPrintable(f.pane().availabilityText(HistoryPane::Day)));
    CheckBar& bar = const_cast<CheckBar&>(f.pane().checkBar());
    QCOMPARE(bar.marks().size(), 40);
    QVERIFY(!bar.marks().at(9).connected);
    QCOMPARE(bar.marks().at(9).error, QString("request timed out"));
    QVERIFY(bar.marks().last().connected == false);
    QCOMPARE(bar.slotCount(), HistoryPane::BarChecks);
    // The newest check is drawn in the right-most slot.
    const QImage shot = bar.grab().toImage();
    const QPoint newest = bar.slotRect(bar.slotCount() - 1).center().toPoint();
    const QPoint older = bar.slotRect(bar.slotCount() - 2).center().toPoint();
    QCOMPARE(QColor(shot.pixel(newest)), CheckBar::Bad);
    QCOMPARE(QColor(shot.pixel(older)), CheckBar::Good);

    // Round trips 10 to 48 ms, failures left out.
    QVERIFY2(f.pane().roundTripText().contains("minimum 10 ms"),
             qPrintable(f.pane().roundTripText()));
    QVERIFY(f.pane().roundTripText().contains("maximum 48 ms"));
    QCOMPARE(f.pane().series(0).count(), 36);

    f.clickNode("web");
    QVERIFY(f.pane().availabilityText(HistoryPane::Week).contains("% of 41 checks"));
    QVERIFY(f.pane().availabilityText(HistoryPane::Day).contains("% of 40 checks"));
}

void UiHistoryTest::ranges_data() {
    QTest::addColumn<int>("range"); // its place in the list
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<qint64>("step"); // between two labels of the time axis
    // Each range groups the checks into its own spans: a minute, 5 minutes, an hour, 6 hours.
    // The last hour holds the checks from 38 ms on.
    const qint64 hour = 60 * Minute;
    const qint64 day = History::DayMs;
    QTest::newRow("1 hour") << 0 << "1 hour" << 10 << "minimum 38 ms" << 10 * Minute;
    QTest::newRow("6 hours") << 1 << "6 hours" << 36 << "minimum 10 ms" << hour;
    QTest::newRow("24 hours") << 2 << "24 hours" << 36 << "minimum 10 ms" << 3 * hour;
    QTest::newRow("7 days") << 3 << "7 days" << 5 << "minimum 3 ms" << day;
    QTest::newRow("30 days") << 4 << "30 days" << 2 << "minimum 3 ms" << 5 * day;
}

void UiHistoryTest::ranges() {
    QFETCH(int, range);
    QFETCH(QString, caption);
    QFETCH(int, points);
    QFETCH(QString, minimum);
    QFETCH(qint64, step);
    Fixture f;
    f.clickNode("web");
    f.clickTab(2);
    QComboBox* box = f.pane().findChild<QComboBox*>("cboHistoryRange");
    QVERIFY(box);
    box->setFocus();
    for (int i = 0; i < box->count(); ++i)
        QTest::keyClick(box, Qt::Key_Up);
    for (int i = 0; i < range; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentText(), caption);
    QCOMPARE(f.pane().series(1).count(), points);
    QVERIFY2(f.pane().roundTripText().startsWith(minimum), qPrintable(f.pane().roundTripText()));
    // The time axis ends at now; its labels stand on round times of the local clock.
    auto* axis = qobject_cast<QCategoryAxis*>(
        const_cast<QLineSeries&>(f.pane().series(1)).attachedAxes().value(0));
    QVERIFY(axis);
    QCOMPARE(qint64(axis->max()), Now.toMSecsSinceEpoch());
    QVERIFY(axis->categoriesLabels().size() >= 4);
    qint64 previous = 0;
    for (const QString& label : axis->categoriesLabels()) {
        const qint64 ms = qint64(axis->endValue(label));
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms);
        QCOMPARE(at.time().msecsSinceStartOfDay() % qMin(step, History::DayMs), 0);
        QVERIFY(!previous || ms - previous == step);
        previous = ms;
    }
    // The range stays when the selection changes.
    f.clickNode("web:Ping");
    QCOMPARE(box->currentText(), caption);
}

void UiHistoryTest::root_listsEveryDeviceWithItsDay() {
    Fixture f;
    f.clickTab(2);
    f.clickNode("Root");
    QVERIFY(f.pane().showsDevices());
    const QTreeWidget& list = f.pane().deviceList();
    QCOMPARE(list.topLevelItemCount(), 2);
    QCOMPARE(list.topLevelItem(0)->text(0), QString("mail"));
    QCOMPARE(list.topLevelItem(0)->text(1), QString("no checks"));
    QCOMPARE(list.topLevelItem(1)->text(0), QString("Web"));
    QVERIFY(list.topLevelItem(1)->text(1).contains("% of 40 checks"));
}

void UiHistoryTest::endOfCycle_refreshesTheShownHistory() {
    Fixture f;
    f.clickNode("mail:Ping");
    f.clickTab(2);
    QCOMPARE(f.pane().checkBar().marks().size(), 0);
    History::append(f.db, {"mail", "Ping", Now.toMSecsSinceEpoch(), false, -1, "unreachable"});
    f.face().refreshDetailList();
    QCOMPARE(f.pane().checkBar().marks().size(), 1);
    QVERIFY(f.pane()
                .availabilityText(HistoryPane::Day)
                .contains(QLocale::system().toString(0.0, 'f', 2) + "% of 1 check"));
    QCOMPARE(f.pane().roundTripText(), QString("no round trips measured"));
}

void UiHistoryTest::deletePort_removesItsHistory() {
    Fixture f;
    f.clickNode("web:Ping");
    f.t.dialogs.answers << true;
    f.commands().devices().mnutvDeletePort_Click();
    QCOMPARE(History::lastChecks(f.db, {"web", "Ping"}, 60).size(), 0);
    QCOMPARE(History::lastChecks(f.db, {"web", "80"}, 60).size(), 1);
    History::append(f.db, {"mail", "Ping", Now.toMSecsSinceEpoch(), true, 1, {}});
    f.clickNode("mail");
    f.t.dialogs.answers << true;
    f.commands().devices().mnutvDeleteDevice_Click();
    QCOMPARE(History::lastChecks(f.db, {"web", {}}, 60).size(), 1);
    QCOMPARE(f.db.openRecordset({"Select * from History where Device = 'mail'", {}}).count(), 0);
}

ORVEX_TEST_MAIN(UiHistoryTest)
#include "tst_ui_history.moc"
