#include "TestMain.h"
#include "ui/dialogs/DeviceName.h"
#include "ui/main/ItemCells.h"
#include "ui/main/MainLayout.h"
#include "ui/main/ViewMode.h"

using MainLayout::Frame;

Q_DECLARE_METATYPE(Frame)

class UiLogicTest : public QObject {
    Q_OBJECT

private slots:
    void sizeControls_data();
    void sizeControls();
    void sizeControls_panesFollowSplitter();
    void splitterDrag_data();
    void splitterDrag();
    void widthFloor_data();
    void widthFloor();
    void viewModes_data();
    void viewModes();
    void statusText_data();
    void statusText();
    void summary_data();
    void summary();
    void deviceName_bareNumberRefused_data();
    void deviceName_bareNumberRefused();
};

namespace {
Frame frame(float width, bool toolbar, bool status) {
    Frame f;
    f.windowWidth = width;
    f.innerHeight = 6000;
    f.toolbarVisible = toolbar;
    f.toolbarHeight = 420;
    f.titlesTop = toolbar ? 420 : 0;
    f.titlesHeight = 300;
    f.statusBarVisible = status;
    f.statusBarHeight = 330;
    return f;
}
} // namespace

void UiLogicTest::sizeControls_data() {
    QTest::addColumn<Frame>("frame");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("clampedX");
    QTest::addColumn<float>("treeTop");
    QTest::addColumn<float>("treeHeight");

    // Tree top is toolbar + title strip; height is what the title strip and status bar leave.
    QTest::newRow("inside limits")
        << frame(9000, true, true) << 2500.f << 2500.f << 720.f << 6000.f - (420 + 300 + 330);
    QTest::newRow("near left edge")
        << frame(9000, true, true) << 200.f << 1500.f << 720.f << 4950.f;
    QTest::newRow("near right edge")
        << frame(9000, true, true) << 8800.f << 7500.f << 720.f << 4950.f;
    QTest::newRow("at the left limit")
        << frame(9000, true, true) << 1500.f << 1500.f << 720.f << 4950.f;
    QTest::newRow("floor-width window")
        << frame(3000, true, true) << 2500.f << 1500.f << 720.f << 4950.f;
    QTest::newRow("toolbar hidden")
        << frame(9000, false, true) << 2500.f << 2500.f << 300.f << 6000.f - (300 + 330);
    QTest::newRow("status bar hidden")
        << frame(9000, true, false) << 2500.f << 2500.f << 720.f << 6000.f - (420 + 300);
    QTest::newRow("both bars hidden")
        << frame(9000, false, false) << 2500.f << 2500.f << 300.f << 5700.f;
}

void UiLogicTest::sizeControls() {
    QFETCH(Frame, frame);
    QFETCH(float, x);
    QFETCH(float, clampedX);
    QFETCH(float, treeTop);
    QFETCH(float, treeHeight);

    const MainLayout::Controls c = MainLayout::SizeControls(x, frame);
    QCOMPARE(x, clampedX);
    QCOMPARE(c.tree.width, clampedX);
    QCOMPARE(c.tree.top, treeTop);
    QCOMPARE(c.tree.height, treeHeight);
    QCOMPARE(c.tabs.top, treeTop);
    QCOMPARE(c.tabs.height, treeHeight);
    QCOMPARE(c.splitter.top, treeTop);
    QCOMPARE(c.splitter.height, treeHeight);
    // The tab headers take 350 of the right pane; list and message window share the rest.
    QCOMPARE(c.list.top, treeTop + 350);
    QCOMPARE(c.list.height, treeHeight - 350);
    QCOMPARE(c.messages.top, c.list.top);
    QCOMPARE(c.messages.height, c.list.height);
}

void UiLogicTest::sizeControls_panesFollowSplitter() {
    float x = 3000;
    const MainLayout::Controls c = MainLayout::SizeControls(x, frame(10000, true, true));
    QCOMPARE(c.splitter.left, 3000.f);
    QCOMPARE(c.tabs.left, 3040.f);
    QCOMPARE(c.tabs.width, 10000.f - (3000 + 140));
    QCOMPARE(c.title0Width, 3000.f);
    QCOMPARE(c.title1Left, 3060.f);
    QCOMPARE(c.title1Width, c.tabs.width - 40);
    QCOMPARE(c.list.left, c.tabs.left);
    QCOMPARE(c.list.width, c.tabs.width);
    QCOMPARE(c.messages.width, c.tabs.width);
}

void UiLogicTest::splitterDrag_data() {
    QTest::addColumn<float>("splitterLeft");
    QTest::addColumn<float>("X");
    QTest::addColumn<float>("barLeft");

    QTest::newRow("moves with the pointer") << 2500.f << 300.f << 2800.f;
    QTest::newRow("pointer left of the grab area") << 2500.f << -400.f << 2100.f;
    QTest::newRow("held at the left limit") << 2500.f << -2300.f << 1500.f;
    QTest::newRow("held at the right limit") << 2500.f << 6000.f << 7500.f;
}

void UiLogicTest::splitterDrag() {
    QFETCH(float, splitterLeft);
    QFETCH(float, X);
    QFETCH(float, barLeft);
    QCOMPARE(MainLayout::splitterDragLeft(splitterLeft, X, 9000), barLeft);
}

void UiLogicTest::widthFloor_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("floored");
    QTest::newRow("narrower") << 2000.f << 3000.f;
    QTest::newRow("exactly the floor") << 3000.f << 3000.f;
    QTest::newRow("wider") << 6500.f << 6500.f;
}

void UiLogicTest::widthFloor() {
    QFETCH(float, width);
    QFETCH(float, floored);
    QCOMPARE(MainLayout::floorWidth(width), floored);
}

void UiLogicTest::viewModes_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("valid");
    QTest::addColumn<int>("next");

    QTest::newRow("large icons") << 0 << 0 << 1;
    QTest::newRow("small icons") << 1 << 1 << 2;
    QTest::newRow("list") << 2 << 2 << 3;
    QTest::newRow("details wraps") << 3 << 3 << 0;
    QTest::newRow("out of range") << 7 << 0 << 1;
    QTest::newRow("negative") << -1 << 0 << 1;
}

void UiLogicTest::viewModes() {
    QFETCH(int, stored);
    QFETCH(int, valid);
    QFETCH(int, next);
    QCOMPARE(ViewMode::valid(stored), valid);
    QCOMPARE(ViewMode::next(stored), next);
}

void UiLogicTest::statusText_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("shown");

    QTest::newRow("failed") << "Failed"
                            << "Failed since 01/02/2026 10:00:00";
    QTest::newRow("recovered") << "Recovered"
                               << "Recovered on 03/02/2026 11:00:00";
    QTest::newRow("connected") << "Connected"
                               << "Connected";
    QTest::newRow("not checked") << "Not Checked"
                                 << "Not Checked";
    QTest::newRow("empty") << ""
                           << "";
}

void UiLogicTest::statusText() {
    QFETCH(QString, status);
    QFETCH(QString, shown);
    QCOMPARE(ItemCells::statusText(status, "01/02/2026 10:00:00", "03/02/2026 11:00:00"), shown);
}

void UiLogicTest::summary_data() {
    QTest::addColumn<qint64>("connects");
    QTest::addColumn<qint64>("errors");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("summary");

    QTest::newRow("never checked") << 0LL << 0LL << "80"
                                   << "0/0 (0.00%)";
    QTest::newRow("three of four") << 3LL << 1LL << "80"
                                   << "3/4 (75.00%)";
    QTest::newRow("all") << 12LL << 0LL << "25"
                         << "12/12 (100.00%)";
    QTest::newRow("rounded") << 1LL << 2LL << "25"
                             << "1/3 (33.33%)";
    QTest::newRow("two thirds rounds up") << 2LL << 1LL << "25"
                                          << "2/3 (66.67%)";
    QTest::newRow("none of five") << 0LL << 5LL << "443"
                                  << "0/5 (0.00%)";
    QTest::newRow("ping tail") << 10LL << 2LL << "Ping"
                               << "10/12 (83.33%) 15 min/120 max/41 average";
    QTest::newRow("ping never checked") << 0LL << 0LL << "Ping"
                                        << "0/0 (0.00%) 15 min/120 max/41 average";
    QTest::newRow("lower-case ping is a port") << 1LL << 0LL << "ping"
                                               << "1/1 (100.00%)";
}

void UiLogicTest::summary() {
    QFETCH(qint64, connects);
    QFETCH(qint64, errors);
    QFETCH(QString, port);
    QFETCH(QString, summary);
    QCOMPARE(ItemCells::summary(connects, errors, port, 15, 120, 41), summary);
}

// A device name that reads as a number is refused, by the rule every other reader of numbers
// follows: words such as "nan" are names, a number with group separators is a number.
void UiLogicTest::deviceName_bareNumberRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("signed") << "-12" << false;
    QTest::newRow("exponent") << "1e3" << false;
    QTest::newRow("group separator") << "1,000" << false;
    QTest::newRow("not a number") << "nan" << true;
}

void UiLogicTest::deviceName_bareNumberRefused() {
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(DeviceName::isValid(name), valid);
}

ORVEX_TEST_GUILESS_MAIN(UiLogicTest)
#include "tst_ui_logic.moc"
