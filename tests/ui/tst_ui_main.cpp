#include "core/AppInfo.h"
#include "MainWindowFixture.h"
#include "ModalSteps.h"
#include "TestMain.h"
#include "ui/dialogs/frmModifyPort.h"
#include "ui/main/DeviceCommands.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DocumentCommands.h"
#include "ui/main/MainImages.h"
#include "ui/main/TrayIcon.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeView>

namespace {

const QString CRLF = QStringLiteral("\r\n");

struct Item {
    QString port;
    QString type;
};

// A device with items of the given ports, each described after its type.
void addDevice(SeededDatabase& db, const QString& device, const QString& alias,
               const QString& description, const QList<Item>& items) {
    db.addDevice(device, alias, description);
    for (const Item& item : items)
        db.addItem(device, item.port,
                   {{"Port_Type", item.type}, {"Port_Description", item.type + " check"}});
}

void setItem(Database& db, const QString& device, const QString& port, const QString& assignments,
             const QVariantList& values) {
    QVariantList params = values;
    params << device << port;
    db.execute({"Update Main_Data set " + assignments + " where Device = ? and Port = ?", params});
}

int countRows(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.openRecordset({sql, params}).count();
}

QString storedDeviceStatus(Database& db, const QString& device) {
    return db.openRecordset({"Select * from Devices where Device = ?", {device}})
        .text("Device_Status");
}

// A window on a database of three devices: 10.0.0.5 (alias web) with Ping, 25 and 80;
// mail.example with Ping and 110; printer without items.
struct Fixture : MainWindowFixture {
    Fixture()
        : MainWindowFixture(seed) {}

    static void seed(SeededDatabase& db) {
        addDevice(db, "10.0.0.5", "web", "Web server",
                  {{"25", "Port"}, {"80", "Port"}, {"Ping", "Ping"}});
        addDevice(db, "mail.example", "", "Mail", {{"110", "Port"}, {"Ping", "Ping"}});
        addDevice(db, "printer", "", "Printer", {});
        setItem(db.db, "10.0.0.5", "80", "Connect = ?, Error = ?, Count = ?", {3, 1, 2});
    }

    QString storedViewMode() { return t->settings().GetSetting("Settings", "ViewMode", "unset"); }
};

QStringList captions(const DetailList& list) {
    QStringList result;
    for (const DetailColumn& c : list.model().columns())
        result << c.caption;
    return result;
}

QStringList rowTexts(const DetailList& list, int row) {
    QStringList result;
    for (int c = 0; c < list.model().columnCount(); ++c)
        result << list.model().cell(row, c);
    return result;
}

} // namespace

class UiMainTest : public QObject {
    Q_OBJECT

private slots:
    void loadData_buildsTreeAndResetsCounters();
    void loadData_emptyDatabase_rootOnly();
    void deviceNamedLikeTheRootKey_isAnOrdinaryDevice();
    void lists_forRootDeviceAndItem();
    void nodeClick_selectsStatusTabAndFillsList();
    void listClicks_selectTreeNodeAndDoubleClickRefills();
    void listDoubleClick_withoutRow_suggests();
    void columnClick_flipsOrderEveryTime();
    void checkTVIcons_data();
    void checkTVIcons();
    void checkTVIcons_trayFollowsProblemCount();
    void monitoringStates_data();
    void monitoringStates();
    void monitorButton_withoutDevices_isRefusedAndStopStaysPressed();
    void sameCommand_fromMenuToolbarAndTray_data();
    void sameCommand_fromMenuToolbarAndTray();
    void treeMenu_data();
    void treeMenu();
    void deleteDevice_yesRemovesExactlyItsRows();
    void deletePort_yesRemovesExactlyItsRow();
    void deletes_noChangesNothing();
    void refresh_duringCheckDoesNothing();
    void viewMode_entryPoints_data();
    void viewMode_entryPoints();
    void viewMode_viewsButtonCyclesAndStores();
    void viewMode_invalidStoredFallsBack();
    void expandCollapse_leavesRootAlone();
    void layout_barsAndWidthFloor();
    void splitterDrag_clampsAndLaysOut();
    void logFile_missingShowsMessageExistingOpens();
    void documents_openFromProgramFolder();
    void documents_nothingOnTheDesktopOpensThem_data();
    void documents_nothingOnTheDesktopOpensThem();
    void messageWindow_keepsCrlfText();
    void messageWindow_writeLogAppendsWithoutRewriting();
    void close_noKeepsEverything();
    void close_yesSavesGeometryAndViewMode();
    void close_minimisedKeepsStoredGeometry();
    void selectedKey_isTheKeyOfTheDialogItOpens();
    void trayRestore_bringsHiddenWindowBackWhereItWas();
};

void UiMainTest::loadData_buildsTreeAndResetsCounters() {
    Fixture f;
    QTreeWidgetItem* root = f.tree().root();
    QVERIFY(root);
    QCOMPARE(root->text(0), QString("Monitored Devices"));
    QCOMPARE(root->childCount(), 3);
    QVERIFY(root->isExpanded());
    QCOMPARE(f.tree().selectedNode(), root);
    // Sorted by device; the alias stands in for the name but the key is the name.
    QCOMPARE(root->child(0)->text(0), QString("web"));
    QCOMPARE(DeviceTree::keyOf(root->child(0)), QString("10.0.0.5"));
    QCOMPARE(root->child(1)->text(0), QString("mail.example"));
    QCOMPARE(DeviceTree::imageOf(root->child(0)), MainImages::DeviceHealthy);
    QTreeWidgetItem* port80 = f.node("10.0.0.5:80");
    QVERIFY(port80);
    QCOMPARE(port80->text(0), QString("Port:80"));
    QCOMPARE(DeviceTree::imageOf(port80), MainImages::ItemHealthy);
    QCOMPARE(f.node("10.0.0.5:Ping")->text(0), QString("Ping:Ping"));
    QCOMPARE(f.node("printer")->childCount(), 0);
    QCOMPARE(countRows(f.db, "Select * from Main_Data where Count <> 0 or Connect <> 0"), 0);
    QCOMPARE(countRows(f.db, "Select * from Devices where Device_Status = 'Not Checked'"), 3);
}

void UiMainTest::loadData_emptyDatabase_rootOnly() {
    MainWindowFixture f({}, "empty.mdb");
    frmMain& w = f.w();
    QCOMPARE(w.tvTreeView().nodeCount(), 1);
    QCOMPARE(captions(w.lvListView()), QStringList({"Name", "Type", "Description", "Status"}));
    QCOMPARE(w.lvListView().model().rowCount(), 0);
}

// The root's key is no name a device may not have.
void UiMainTest::deviceNamedLikeTheRootKey_isAnOrdinaryDevice() {
    MainWindowFixture f(
        [](SeededDatabase& data) {
            addDevice(data, "Root", "", "Named like the root", {{"80", "Port"}});
            addDevice(data, "server", "", "Sorted after it", {{"Ping", "Ping"}});
        },
        "root.mdb");
    auto [t, w] = std::tie(f.t, f.w());
    DeviceTree& tree = w.tvTreeView();

    QCOMPARE(tree.root()->text(0), QString("Monitored Devices"));
    QCOMPARE(tree.root()->childCount(), 2);
    QVERIFY(tree.isDevice(tree.node("Root")));
    QVERIFY(tree.isDevice(tree.node("server")));
    QCOMPARE(tree.node("Root:80")->parent(), tree.node("Root"));
    QCOMPARE(tree.nodeCount(), 5);
    QCOMPARE(w.lvListView().model().rowCount(), 2);

    tree.selectNode(tree.node("Root"));
    t.dialogs.answers.enqueue(true);
    f.commands().devices().mnutvDeleteDevice_Click();
    QCOMPARE(tree.root()->childCount(), 1);
    QVERIFY(tree.isDevice(tree.node("server")));
    QCOMPARE(countRows(f.db, "Select * from Main_Data"), 1);
    QVERIFY(t.end.codes.isEmpty());
}

void UiMainTest::lists_forRootDeviceAndItem() {
    Fixture f;
    QCOMPARE(f.list().model().rowCount(), 3);
    QCOMPARE(rowTexts(f.list(), 0), QStringList({"web", "Device", "Web server", "Not Checked"}));
    QCOMPARE(f.list().model().rows().at(0).key, QString("10.0.0.5"));

    setItem(f.db, "10.0.0.5", "80", "Connect = ?, Error = ?, Status = ?, Failed_On = ?",
            {3, 1, "Failed", "02/03/2026 10:00:00"});
    setItem(f.db, "10.0.0.5", "Ping",
            "Connect = ?, Error = ?, Ping_Min = ?, Ping_Max = ?, "
            "Ping_Average = ?",
            {10, 2, 15, 120, 41});
    f.select("10.0.0.5");
    f.w().panes().Update_Ports();
    QCOMPARE(captions(f.list()),
             QStringList({"Name", "Type", "Description", "Status", "Last Error", "Summary"}));
    QCOMPARE(f.list().model().rowCount(), 4);
    QCOMPARE(rowTexts(f.list(), 0),
             QStringList({"web", "Device", "Web server", "Not Checked", "", ""}));
    QCOMPARE(rowTexts(f.list(), 1),
             QStringList({"Port:25", "Port", "Port check", "Not Checked", "N/A", "0/0 (0.00%)"}));
    QCOMPARE(rowTexts(f.list(), 2),
             QStringList({"Port:80", "Port", "Port check", "Failed since 02/03/2026 10:00:00",
                          "N/A", "3/4 (75.00%)"}));
    QCOMPARE(f.list().model().cell(3, 5), QString("10/12 (83.33%) 15 min/120 max/41 average"));

    f.select("10.0.0.5:80");
    f.w().panes().Update_Port();
    QCOMPARE(f.list().model().rowCount(), 1);
    QCOMPARE(f.list().model().rows().at(0).key, QString("10.0.0.5:80"));
    QCOMPARE(f.list().model().cell(0, 5), QString("3/4 (75.00%)"));
}

void UiMainTest::nodeClick_selectsStatusTabAndFillsList() {
    Fixture f;
    f.client().TabStrip1_Click(2);
    QCOMPARE(f.client().selectedTab(), 2);
    f.client().tvTreeView_NodeClick(f.node("mail.example"));
    QCOMPARE(f.client().selectedTab(), 1);
    QVERIFY(!f.list().isHidden());
    QVERIFY(f.client().txtMessageWindow().isHidden());
    QCOMPARE(DeviceTree::keyOf(f.tree().selectedNode()), QString("mail.example"));
    QCOMPARE(f.list().model().rowCount(), 3); // the device and its two items
    f.client().tvTreeView_NodeClick(f.node("mail.example:110"));
    QCOMPARE(f.list().model().rowCount(), 1);
    QCOMPARE(f.list().model().rows().at(0).text, QString("Port:110"));
}

void UiMainTest::listClicks_selectTreeNodeAndDoubleClickRefills() {
    Fixture f;
    f.client().lvListView_ItemClick("mail.example");
    QCOMPARE(DeviceTree::keyOf(f.tree().selectedNode()), QString("mail.example"));
    QCOMPARE(f.list().model().rowCount(), 3); // the click alone does not refill
    f.list().selectRow(1);
    f.client().lvListView_DblClick();
    QCOMPARE(f.list().model().rows().at(0).key, QString("mail.example"));
    QCOMPARE(f.list().model().rowCount(), 3);

    f.list().selectRow(1);
    f.client().lvListView_ItemClick(f.list().selectedKey());
    f.client().lvListView_DblClick();
    QCOMPARE(f.list().model().rowCount(), 1);
    QCOMPARE(f.list().model().rows().at(0).key, QString("mail.example:110"));
    QVERIFY(f.t.assistant.spoken.isEmpty());
}

void UiMainTest::listDoubleClick_withoutRow_suggests() {
    Fixture f;
    f.client().lvListView_DblClick();
    QCOMPARE(f.t.assistant.spoken.size(), 1);
    QCOMPARE(f.t.assistant.spoken.at(0).text,
             QString("Right-click on 'Monitored Devices' to add a device."));
    QCOMPARE(f.t.assistant.spoken.at(0).animation, QString("Suggest"));
    QCOMPARE(f.t.assistant.spoken.at(0).stayInPlace, false);
    QCOMPARE(f.t->state().SpeechText, f.t.assistant.spoken.at(0).text);
    QCOMPARE(f.list().model().rowCount(), 3);
}

void UiMainTest::columnClick_flipsOrderEveryTime() {
    Fixture f;
    const auto names = [&] {
        QStringList n;
        for (int r = 0; r < f.list().model().rowCount(); ++r)
            n << f.list().model().cell(r, 0);
        return n;
    };
    f.list().sortByColumnClick(0);
    QCOMPARE(names(), QStringList({"web", "printer", "mail.example"}));
    QCOMPARE(f.list().sortOrder(), Qt::DescendingOrder);
    f.list().sortByColumnClick(2); // another column: the order still flips
    QCOMPARE(f.list().sortOrder(), Qt::AscendingOrder);
    QCOMPARE(names(), QStringList({"mail.example", "printer", "web"})); // Mail, Printer, Web server
    f.list().sortByColumnClick(2);
    QCOMPARE(names(), QStringList({"web", "printer", "mail.example"}));
    // A refill keeps the list sorted.
    f.client().mnuViewRefresh_Click();
    QCOMPARE(names(), QStringList({"web", "printer", "mail.example"}));
}

void UiMainTest::checkTVIcons_data() {
    QTest::addColumn<QList<int>>("counters"); // for the items 25, 80 and Ping of 10.0.0.5
    QTest::addColumn<QString>("storedStatus");
    QTest::addColumn<int>("deviceImage");
    QTest::addColumn<QString>("deviceStatus");
    QTest::addColumn<QList<int>>("itemImages");
    QTest::addColumn<int>("problems");
    QTest::addColumn<bool>("expanded");

    QTest::newRow("mixed 0, -2, 3") << QList<int>{0, -2, 3} << "Not Checked" << 4
                                    << "Problems Detected" << QList<int>{5, 6, 7} << 1 << true;
    QTest::newRow("failing first") << QList<int>{3, 0, -2} << "Not Checked" << 4
                                   << "Problems Detected" << QList<int>{7, 5, 6} << 1 << true;
    QTest::newRow("two failing") << QList<int>{1, 5, 0} << "OK" << 4 << "Problems Detected"
                                 << QList<int>{7, 7, 5} << 2 << true;
    QTest::newRow("recovered over healthy")
        << QList<int>{0, -1, 0} << "OK" << 3 << "Recovered" << QList<int>{5, 6, 5} << 0 << true;
    QTest::newRow("all healthy") << QList<int>{0, 0, 0} << "Problems Detected" << 2 << "OK"
                                 << QList<int>{5, 5, 5} << 0 << false;
    QTest::newRow("healthy again keeps Recovered text")
        << QList<int>{0, 0, 0} << "Recovered" << 2 << "Recovered" << QList<int>{5, 5, 5} << 0
        << false;
}

void UiMainTest::checkTVIcons() {
    QFETCH(QList<int>, counters);
    QFETCH(QString, storedStatus);
    QFETCH(int, deviceImage);
    QFETCH(QString, deviceStatus);
    QFETCH(QList<int>, itemImages);
    QFETCH(int, problems);
    QFETCH(bool, expanded);

    Fixture f;
    const QStringList ports{"25", "80", "Ping"};
    for (int i = 0; i < ports.size(); ++i)
        setItem(f.db, "10.0.0.5", ports.at(i), "Count = ?", {counters.at(i)});
    f.db.execute({"Update Devices set Device_Status = ?", {storedStatus}});
    f.node("10.0.0.5")->setExpanded(!expanded);

    f.face().Check_TVIcons();

    QTreeWidgetItem* device = f.node("10.0.0.5");
    QCOMPARE(DeviceTree::imageOf(device), deviceImage);
    QCOMPARE(storedDeviceStatus(f.db, "10.0.0.5"), deviceStatus);
    for (int i = 0; i < ports.size(); ++i)
        QCOMPARE(DeviceTree::imageOf(f.node("10.0.0.5:" + ports.at(i))), itemImages.at(i));
    QCOMPARE(device->isExpanded(), expanded);
    QCOMPARE(f.w().panes().problemCount(), problems);
    // A device without items keeps its picture and its status.
    QCOMPARE(DeviceTree::imageOf(f.node("printer")), MainImages::DeviceHealthy);
    QCOMPARE(storedDeviceStatus(f.db, "printer"), storedStatus);
}

void UiMainTest::checkTVIcons_trayFollowsProblemCount() {
    Fixture f;
    f.face().Form_Load();
    QCOMPARE(f.face().tray().picture(), MainImages::TrayIdle);
    QCOMPARE(f.face().tray().tip(), AppInfo::Title + " - Monitoring OFF.");
    QVERIFY(f.face().tray().isInTray());

    setItem(f.db, "10.0.0.5", "80", "Count = ?", {2});
    setItem(f.db, "mail.example", "Ping", "Count = ?", {1});
    f.face().Check_TVIcons();
    QCOMPARE(f.face().tray().picture(), MainImages::TrayProblems);
    QCOMPARE(f.face().tray().tip(), AppInfo::Title + " - 2 problems detected.");

    f.db.execute({"Update Main_Data set Count = 0", {}});
    f.face().Check_TVIcons();
    QCOMPARE(f.face().tray().picture(), MainImages::TrayIdle);
    QCOMPARE(f.face().tray().tip(), AppInfo::Title + " - 0 problems detected.");

    // A cycle under way shows a picture of its own.
    f.face().setTrayIcon(TrayState::Checking, "a tip");
    QCOMPARE(f.face().tray().picture(), MainImages::TrayChecking);
    QCOMPARE(f.face().tray().tip(), QString("a tip"));
}

void UiMainTest::monitoringStates_data() {
    QTest::addColumn<int>("state"); // 0 off, 1 on and waiting, 2 check in progress
    QTest::addColumn<bool>("monitorPressed");
    QTest::addColumn<bool>("stopEnabled");
    QTest::addColumn<bool>("fileCommands");
    QTest::addColumn<bool>("onEnabled");
    QTest::addColumn<bool>("offEnabled");

    QTest::newRow("off") << 0 << false << true << true << true << false;
    QTest::newRow("on, waiting") << 1 << true << true << false << false << true;
    QTest::newRow("check in progress") << 2 << true << false << false << false << false;
}

// The states as the monitoring cycle switches them.
void UiMainTest::monitoringStates() {
    QFETCH(int, state);
    QFETCH(bool, monitorPressed);
    QFETCH(bool, stopEnabled);
    QFETCH(bool, fileCommands);
    QFETCH(bool, onEnabled);
    QFETCH(bool, offEnabled);

    Fixture f;
    f.face().setMonitoringState(MonitoringState(state));
    QCOMPARE(f.w().action("tbMonitor")->isChecked(), monitorPressed);
    QCOMPARE(f.w().action("tbStop")->isChecked(), !monitorPressed);
    QCOMPARE(f.w().action("tbStop")->isEnabled(), stopEnabled);
    for (const char* name : {"tbNew", "tbOpen", "mnuFileNew", "mnuFileSaveAs", "mnuFileOpen"})
        QCOMPARE(f.w().action(name)->isEnabled(), fileCommands);
    QCOMPARE(f.w().menu("mnuDatabase")->isEnabled(), fileCommands);
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"}) {
        QCOMPARE(f.w().action(name)->isEnabled(), onEnabled);
        QCOMPARE(f.w().action(name)->isChecked(), state != 0);
    }
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"}) {
        QCOMPARE(f.w().action(name)->isEnabled(), offEnabled);
        QCOMPARE(f.w().action(name)->isChecked(), state == 0);
    }
}

void UiMainTest::monitorButton_withoutDevices_isRefusedAndStopStaysPressed() {
    MainWindowFixture f({}, "empty.mdb");
    auto [t, w] = std::tie(f.t, f.w());
    f.face().Form_Load();
    QVERIFY(f.face().engine());
    w.action("tbMonitor")->trigger(); // a click presses the button before the cycle decides
    QCOMPARE(t.assistant.spoken.size(), 2);
    QCOMPARE(t.assistant.spoken.at(0).animation, QString("Decline"));
    QCOMPARE(t.assistant.spoken.at(1).animation, QString("Suggest"));
    QVERIFY(!t->state().MonitoringOn);
    QVERIFY(!w.action("tbMonitor")->isChecked());
    QVERIFY(w.action("tbStop")->isChecked());
    QVERIFY(w.action("mnuMonitoringOn")->isEnabled());
    QCOMPARE(f.face().tray().tip(), AppInfo::Title + " - Monitoring OFF.");
    QCOMPARE(f.face().statusPanel(2), QString("Monitoring is off."));
}

void UiMainTest::sameCommand_fromMenuToolbarAndTray_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("monitoring");
    QTest::addColumn<QString>("spoken"); // the first text spoken
    const QString refused = "Monitoring can not be enabled at this time because there are no "
                            "devices to verify.";
    for (const char* item : {"mnuMonitoringOn", "tbMonitor", "mnuSysTrayMonitoringOn"})
        QTest::newRow(item) << item << false << refused;
    for (const char* item : {"mnuMonitoringOff", "tbStop", "mnuSysTrayMonitoringOff"})
        QTest::newRow(item) << item << true << "Monitoring is off.";
}

// A button or a tray item runs the same routine as the menu item of its command (the file
// commands' are in the database commands' tests).
void UiMainTest::sameCommand_fromMenuToolbarAndTray() {
    QFETCH(QString, item);
    QFETCH(bool, monitoring);
    QFETCH(QString, spoken);
    MainWindowFixture f({}, "empty.mdb");
    f.face().Form_Load();
    if (monitoring)
        f.face().setMonitoringState(MonitoringState::Waiting);
    f.w().action(item)->trigger();
    QCOMPARE(f.t.assistant.texts().value(0), spoken);
}

void UiMainTest::treeMenu_data() {
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("monitoring");
    // Add Device, Modify Device, Delete Device, Modify Ports, Modify Port, Delete Port, Refresh
    QTest::addColumn<QList<bool>>("enabled");

    const QList<bool> none{false, false, false, false, false, false, false};
    QTest::newRow("root") << "Root" << false
                          << QList<bool>{true, false, false, false, false, false, true};
    QTest::newRow("device") << "10.0.0.5" << false
                            << QList<bool>{false, true, true, true, false, false, true};
    QTest::newRow("item") << "10.0.0.5:80" << false
                          << QList<bool>{false, false, false, false, true, true, true};
    QTest::newRow("root, monitoring") << "Root" << true << none;
    QTest::newRow("device, monitoring") << "10.0.0.5" << true << none;
    QTest::newRow("item, monitoring") << "10.0.0.5:80" << true << none;
}

void UiMainTest::treeMenu() {
    QFETCH(QString, selected);
    QFETCH(bool, monitoring);
    QFETCH(QList<bool>, enabled);

    Fixture f;
    f.select(selected);
    f.t->state().MonitoringOn = monitoring;
    f.commands().prepareTreeMenu();
    const QStringList items{"mnutvAddDevice", "mnutvModifyDeviceDesc", "mnutvDeleteDevice",
                            "mnutvAddPort",   "mnutvModifyPortDesc",   "mnutvDeletePort",
                            "mnutvRefresh"};
    for (int i = 0; i < items.size(); ++i)
        QVERIFY2(f.w().action(items.at(i))->isEnabled() == enabled.at(i), qPrintable(items.at(i)));
}

void UiMainTest::deleteDevice_yesRemovesExactlyItsRows() {
    Fixture f;
    f.select("10.0.0.5");
    f.t.dialogs.answers.enqueue(true);
    f.commands().devices().mnutvDeleteDevice_Click();

    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.at(0).text,
             "You are about to delete web." + CRLF + "Are you sure?");
    QCOMPARE(f.t.dialogs.questions.at(0).caption, AppInfo::Title);
    QVERIFY(!f.node("10.0.0.5"));
    QVERIFY(!f.node("10.0.0.5:80"));
    QCOMPARE(countRows(f.db, "Select * from Devices where Device = '10.0.0.5'"), 0);
    QCOMPARE(countRows(f.db, "Select * from Main_Data where Device = '10.0.0.5'"), 0);
    QCOMPARE(countRows(f.db, "Select * from Devices"), 2);
    QCOMPARE(countRows(f.db, "Select * from Main_Data"), 2);
    QCOMPARE(f.list().model().rowCount(), 2);
    QVERIFY(f.t.end.codes.isEmpty());
}

void UiMainTest::deletePort_yesRemovesExactlyItsRow() {
    Fixture f;
    f.select("10.0.0.5:80");
    f.t.dialogs.answers.enqueue(true);
    f.commands().devices().mnutvDeletePort_Click();

    QCOMPARE(f.t.dialogs.questions.at(0).text,
             "You are about to delete port 80 from web." + CRLF + "Are you sure?");
    QVERIFY(!f.node("10.0.0.5:80"));
    QVERIFY(f.node("10.0.0.5:25"));
    QCOMPARE(countRows(f.db, "Select * from Main_Data where Device = '10.0.0.5'"), 2);
    QCOMPARE(countRows(f.db, "Select * from Main_Data"), 4);
    QCOMPARE(countRows(f.db, "Select * from Devices"), 3);
    // The list shows the device and its remaining items.
    QCOMPARE(f.list().model().rowCount(), 3);
    QCOMPARE(f.list().model().rows().at(0).key, QString("10.0.0.5"));
    QVERIFY(f.t.end.codes.isEmpty());
}

void UiMainTest::deletes_noChangesNothing() {
    Fixture f;
    f.select("10.0.0.5");
    f.commands().devices().mnutvDeleteDevice_Click(); // no queued answer: No
    f.select("10.0.0.5:80");
    f.commands().devices().mnutvDeletePort_Click();
    QCOMPARE(f.t.dialogs.questions.size(), 2);
    QVERIFY(f.node("10.0.0.5"));
    QVERIFY(f.node("10.0.0.5:80"));
    QCOMPARE(countRows(f.db, "Select * from Devices"), 3);
    QCOMPARE(countRows(f.db, "Select * from Main_Data"), 5);
    QCOMPARE(f.list().model().rowCount(), 3);
}

void UiMainTest::refresh_duringCheckDoesNothing() {
    Fixture f;
    f.db.execute({"Update Devices set Device_Description = 'changed'", {}});
    f.t->state().CheckInProgress = true;
    f.client().mnuViewRefresh_Click();
    QCOMPARE(f.list().model().cell(0, 2), QString("Web server"));
    f.client().mnutvRefresh_Click(); // the tree pop-up's refresh has no such guard
    QCOMPARE(f.list().model().cell(0, 2), QString("changed"));
    f.db.execute({"Update Devices set Device_Description = 'again'", {}});
    f.t->state().CheckInProgress = false;
    f.client().mnuViewRefresh_Click();
    QCOMPARE(f.list().model().cell(0, 2), QString("again"));
}

void UiMainTest::viewMode_entryPoints_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("showsListTab");

    for (int mode = 0; mode < 4; ++mode) {
        QTest::addRow("View menu %d", mode) << "menu" << mode << true;
        QTest::addRow("list pop-up %d", mode) << "popup" << mode << false;
    }
    QTest::newRow("toolbar View Large Icons") << "View Large Icons" << 0 << true;
    QTest::newRow("toolbar View Small Icons") << "View Small Icons" << 1 << true;
    QTest::newRow("toolbar View List") << "View List" << 2 << true;
    QTest::newRow("toolbar View Details") << "View Details" << 3 << true;
}

void UiMainTest::viewMode_entryPoints() {
    QFETCH(QString, entry);
    QFETCH(int, mode);
    QFETCH(bool, showsListTab);

    Fixture f;
    f.client().setViewMode(mode == 2 ? 1 : 2); // start elsewhere
    f.client().TabStrip1_Click(2);
    if (entry == "menu")
        f.client().mnuListViewMode_Click(mode);
    else if (entry == "popup")
        f.client().mnulvRightClickMode_Click(mode);
    else
        f.w().action(entry)->trigger();

    QCOMPARE(f.list().view(), mode);
    QCOMPARE(f.storedViewMode(), QString::number(mode));
    QCOMPARE(f.client().selectedTab(), showsListTab ? 1 : 2);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(f.w().action(QString("mnuListViewMode(%1)").arg(i))->isChecked(), i == mode);
        QCOMPARE(f.w().action(QString("mnulvRightClickMode(%1)").arg(i))->isChecked(), i == mode);
    }
    // The next window starts in the stored mode.
    f.open();
    f.client().Form_Paint();
    QCOMPARE(f.list().view(), mode);
}

void UiMainTest::viewMode_viewsButtonCyclesAndStores() {
    Fixture f;
    f.client().setViewMode(2);
    QStringList stored;
    for (int i = 0; i < 4; ++i) {
        f.w().action("tbViews")->trigger();
        stored << f.storedViewMode();
    }
    QCOMPARE(stored, QStringList({"3", "0", "1", "2"}));
    QCOMPARE(f.list().view(), 2);
}

void UiMainTest::viewMode_invalidStoredFallsBack() {
    Fixture f;
    f.t->settings().SaveSetting("Settings", "ViewMode", "3");
    f.client().Form_Paint();
    QCOMPARE(f.list().view(), 3);
    QVERIFY(f.w().action("mnuListViewMode(3)")->isChecked());
    f.t->settings().SaveSetting("Settings", "ViewMode", "9");
    f.client().Form_Paint();
    QCOMPARE(f.list().view(), 0);
    QVERIFY(f.w().action("mnuListViewMode(0)")->isChecked());
    QVERIFY(!f.w().action("mnuListViewMode(3)")->isChecked());
}

void UiMainTest::expandCollapse_leavesRootAlone() {
    Fixture f;
    f.w().show();
    QTreeWidgetItem* root = f.tree().root();
    const auto devicesExpanded = [&](bool expanded) {
        for (QTreeWidgetItem* d : f.tree().deviceNodes()) {
            if (d->isExpanded() != expanded)
                return false;
        }
        return true;
    };
    QVERIFY(devicesExpanded(false));
    f.w().action("tbNode")->trigger(); // the first press expands everything
    QVERIFY(devicesExpanded(true));
    QVERIFY(root->isExpanded());
    f.w().action("Collapse Nodes")->trigger();
    QVERIFY(devicesExpanded(false));
    QVERIFY(root->isExpanded());
    f.w().action("Expand Nodes")->trigger();
    QVERIFY(devicesExpanded(true));
    // The drop-down items leave the button's own toggle where it was: the next press collapses.
    f.w().action("tbNode")->trigger();
    QVERIFY(devicesExpanded(false));
    root->setExpanded(false);
    f.w().action("tbNode")->trigger();
    QVERIFY(!root->isExpanded());
    QVERIFY(devicesExpanded(true));
}

void UiMainTest::layout_barsAndWidthFloor() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.w().placeWindow(1000, 1000, 9000, 7000);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    const int treeTop = f.tree().y();
    const int treeHeight = f.tree().height();
    const MainLayout::Frame frame = f.client().layoutFrame();

    f.w().action("mnuViewToolbar")->trigger();
    QVERIFY(!f.w().action("mnuViewToolbar")->isChecked());
    QCOMPARE(f.tree().y(), treeTop - qRound(frame.toolbarHeight / f.client().twipsPerPixel()));
    f.w().action("mnuViewStatusBar")->trigger();
    QVERIFY(!f.w().action("mnuViewStatusBar")->isChecked());
    QVERIFY(f.tree().height() > treeHeight);
    f.w().action("mnuViewToolbar")->trigger();
    f.w().action("mnuViewStatusBar")->trigger();
    QCOMPARE(f.tree().y(), treeTop);
    QCOMPARE(f.tree().height(), treeHeight);

    const int floor = qRound(3000 / f.client().twipsPerPixel());
    f.w().resize(floor / 2, f.w().height());
    QTRY_COMPARE(f.w().width(), floor);
}

void UiMainTest::splitterDrag_clampsAndLaysOut() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.w().placeWindow(1000, 1000, 9000, 7000);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    const double tpp = f.client().twipsPerPixel();
    const float width = f.client().layoutFrame().windowWidth;
    QCOMPARE(f.client().splitterLeft(), 2500.f);

    // Nothing moves without a press first.
    f.client().imgSplitter_MouseMove(1000);
    QVERIFY(!f.client().splitterBarVisible());

    f.client().imgSplitter_MouseDown();
    QVERIFY(f.client().splitterBarVisible());
    f.client().imgSplitter_MouseMove(-2300); // 200 from the left edge
    QVERIFY(qAbs(f.client().splitterBarLeft() - 1500) <= tpp);
    QCOMPARE(f.tree().width(), qRound(2500 / tpp)); // the panes wait for the release
    f.client().imgSplitter_MouseUp();
    QVERIFY(!f.client().splitterBarVisible());
    QVERIFY(qAbs(f.client().splitterLeft() - 1500) <= tpp);
    QCOMPARE(f.tree().width(), qRound(f.client().splitterLeft() / tpp));

    f.client().imgSplitter_MouseDown();
    f.client().imgSplitter_MouseMove(width); // far past the right edge
    f.client().imgSplitter_MouseUp();
    QVERIFY(qAbs(f.client().splitterLeft() - (width - 1500)) <= 2 * tpp);
}

void UiMainTest::logFile_missingShowsMessageExistingOpens() {
    Fixture f;
    const QString log = f.t.programFile("activity.txt");
    f.t->settings().SaveSetting("Options", "LogFile", log);
    f.commands().documents().mnuViewLog_Click();
    QCOMPARE(f.t.dialogs.messages.size(), 1);
    QCOMPARE(f.t.dialogs.messages.at(0).text,
             "The Log Files you specified does not exist or is corrupt ." + CRLF +
                 "Please re-define a log file from the options menu.");
    QCOMPARE(f.t.dialogs.messages.at(0).icon, MessageIcon::Information);
    QVERIFY(f.t.shell.opened.isEmpty());

    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    f.commands().documents().mnuViewLog_Click();
    QCOMPARE(f.t.shell.opened, QStringList({"file://" + log}));
    QCOMPARE(f.t.dialogs.messages.size(), 1);
}

void UiMainTest::documents_openFromProgramFolder() {
    Fixture f;
    f.w().action("mnuAboutIssues")->trigger();
    f.w().action("mnuAboutReadme")->trigger();
    f.w().action("mnuAboutHalvikWebSite")->trigger();
    QCOMPARE(f.t.shell.opened,
             QStringList({"file://" + f.t.programFile("issues.txt"),
                          "file://" + f.t.programFile("readme.txt"), AppInfo::WebSite}));
}

void UiMainTest::documents_nothingOnTheDesktopOpensThem_data() {
    QTest::addColumn<QString>("item"); // empty: the file is navigated to, as the assistant does
    QTest::addColumn<bool>("viewed");
    QTest::addColumn<QString>("file");
    QTest::newRow("readme") << "mnuAboutReadme" << true << "readme.txt";
    QTest::newRow("log file of any name") << "mnuViewLog" << true << "monitor.out";
    QTest::newRow("status page") << "" << false << "OrvexMonitor.html";
}

// A local text file nothing on the desktop opens shows in a window of the program, one window
// however often asked; a page or an address is still reported.
void UiMainTest::documents_nothingOnTheDesktopOpensThem() {
    QFETCH(QString, item);
    QFETCH(bool, viewed);
    QFETCH(QString, file);
    Fixture f;
    f.t.shell.opens = false;
    f.t->settings().SaveSetting("Options", "LogFile", f.t.programFile("monitor.out"));
    QFile text(f.t.programFile(file));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("one\r\n<b>two</b>"));
    text.close();
    for (int i = 0; i < 2; ++i)
        item.isEmpty() ? f.t->errors().Navigate(text.fileName()) : f.w().action(item)->trigger();
    const auto viewers = f.w().findChildren<QPlainTextEdit*>("txtFile");
    QCOMPARE(f.t.dialogs.messages.size(), viewed ? 0 : 2);
    QCOMPARE(viewers.size(), viewed ? 1 : 0);
    if (viewed) {
        QCOMPARE(viewers.first()->window()->windowTitle(), file);
        QVERIFY(viewers.first()->isReadOnly());
        QCOMPARE(viewers.first()->toPlainText(), QString("one\n<b>two</b>"));
    }
}

void UiMainTest::messageWindow_keepsCrlfText() {
    Fixture f;
    f.t->settings().SaveSetting("Options", "LogFailures", "0");
    f.t->log().WriteLog("first", "Message");
    f.t->log().WriteLog("second", "Failure");
    QCOMPARE(&f.t->messageWindow(), static_cast<MessageWindow*>(&f.face()));
    const QStringList lines = f.face().text().split(CRLF);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(" Message...first"));
    QVERIFY(lines.at(1).endsWith(" Failure...second"));
    QCOMPARE(lines.at(2), QString());
    QCOMPARE(f.client().txtMessageWindow().toPlainText(), lines.at(0) + "\n" + lines.at(1));
}

void UiMainTest::messageWindow_writeLogAppendsWithoutRewriting() {
    Fixture f;
    f.t->settings().SaveSetting("Options", "LogFailures", "0");
    QPlainTextEdit& box = f.client().txtMessageWindow();
    auto shown = [&] {
        QString text = f.face().text();
        text.replace(CRLF, "\n");
        text.chop(1);
        return text;
    };
    for (int i = 1; i <= 3; ++i)
        f.t->log().WriteLog(QStringLiteral("line %1").arg(i), "Message");
    QSignalSpy changes(box.document(), &QTextDocument::contentsChange);
    f.t->log().WriteLog("line 4", "Failure");
    // The lines shown before stay as they are; only the new one is added after them.
    QVERIFY(!changes.isEmpty());
    for (const QVariantList& change : std::as_const(changes))
        QCOMPARE(change.at(1).toInt(), 0);
    QCOMPARE(box.toPlainText(), shown());

    f.t->log().WriteLog("a text of\r\ntwo lines", "Message");
    for (int i = 6; i <= 150; ++i)
        f.t->log().WriteLog(QStringLiteral("line %1").arg(i), "Message");
    QCOMPARE(box.toPlainText(), shown());
    QCOMPARE(box.document()->blockCount(), 101);
    QVERIFY(box.toPlainText().endsWith("Message...line 150"));
}

void UiMainTest::close_noKeepsEverything() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.face().Form_Load();
    f.w().show();
    f.face().setMonitoringState(MonitoringState::Waiting);
    f.w().setStatusPanel(2, "Monitoring is on.");
    f.t->state().MonitoringOn = true;
    QVERIFY(!f.w().close());
    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.at(0).text,
             QString("You are about to exit the program.  Are you sure?"));
    QVERIFY(f.w().isVisible());
    QVERIFY(f.face().tray().isInTray());
    QVERIFY(f.t->state().MonitoringOn);
    QCOMPARE(f.face().statusPanel(2), QString("Monitoring is on."));
    QCOMPARE(f.t->settings().GetSetting("Settings", "MainWidth", "unset"), QString("unset"));
    QVERIFY(f.t.end.codes.isEmpty());
}

void UiMainTest::close_yesSavesGeometryAndViewMode() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.face().Form_Load();
    f.w().placeWindow(1500, 1200, 9000, 7500);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.client().setViewMode(3);
    f.t->settings().SaveSetting("Settings", "ViewMode", "1"); // the close writes the list's mode
    QSignalSpy unloading(&f.w(), &frmMain::unloading);
    f.t.dialogs.answers.enqueue(true);
    QVERIFY(f.w().close());
    QCOMPARE(unloading.size(), 1);
    QVERIFY(!f.face().tray().isInTray());
    QCOMPARE(f.t.end.codes, QVector<int>({0}));
    const double tpp = f.client().twipsPerPixel();
    QVERIFY(qAbs(f.t->settings().GetSetting("Settings", "MainWidth", "0").toDouble() - 9000) <=
            tpp);
    QVERIFY(qAbs(f.t->settings().GetSetting("Settings", "MainHeight", "0").toDouble() - 7500) <=
            tpp);
    QVERIFY(!f.t->settings().GetSetting("Settings", "MainLeft", "").isEmpty());
    QCOMPARE(f.storedViewMode(), QString("3"));
}

void UiMainTest::close_minimisedKeepsStoredGeometry() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.t->settings().SaveSetting("Settings", "MainWidth", "7777");
    f.face().Form_Load();
    f.w().show();
    f.w().setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(f.w().isMinimized());
    // Without a notification area the window stays reachable in the task bar.
    if (!TrayIcon::desktopHasTray())
        QVERIFY(!f.w().isHidden());
    f.t.dialogs.answers.enqueue(true);
    f.w().close();
    QCOMPARE(f.t.end.codes, QVector<int>({0}));
    QCOMPARE(f.t->settings().GetSetting("Settings", "MainWidth", ""), QString("7777"));
    QCOMPARE(f.t->settings().GetSetting("Settings", "MainLeft", "unset"), QString("unset"));
}

void UiMainTest::selectedKey_isTheKeyOfTheDialogItOpens() {
    Fixture f;
    f.select("10.0.0.5:80");
    ModalSteps steps;
    steps.on<frmModifyPort>([&](frmModifyPort& dialog) {
        QCOMPARE(dialog.txtArray(0)->text(), QString("10.0.0.5"));
        QCOMPARE(dialog.txtArray(1)->text(), QString("80"));
        dialog.reject();
    });
    steps.run([&] { f.w().action("mnutvModifyPortDesc")->trigger(); });
    QVERIFY(steps.allRan());
}

void UiMainTest::trayRestore_bringsHiddenWindowBackWhereItWas() {
    Fixture f;
    f.t->state().StartupComplete = 1;
    f.face().Form_Load();
    f.w().placeWindow(1500, 1500, 9000, 7000);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    const QRect before = f.w().geometry();
    QSignalSpy restoreAvailable(&f.w(), &frmMain::restoreAvailableChanged);
    f.w().Minimize();
    QTRY_VERIFY(!restoreAvailable.isEmpty());
    QCOMPARE(restoreAvailable.last().at(0).toBool(), true);
    f.w().hide(); // as it would be with a notification area
    f.w().action("mnuSysTrayRestore")->trigger();
    QTRY_VERIFY(f.w().isVisible());
    QVERIFY(!f.w().isMinimized());
    QCOMPARE(f.w().geometry(), before);
}

ORVEX_TEST_MAIN(UiMainTest)
#include "tst_ui_main.moc"
