#include "core/AppInfo.h"
#include "MainWindowFixture.h"
#include "ModalSteps.h"
#include "TestMain.h"
#include "ui/dialogs/frmAddDevice.h"
#include "ui/dialogs/frmAddPort.h"
#include "ui/dialogs/frmModifyDevice.h"
#include "ui/dialogs/frmModifyPort.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceCommands.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/MainImages.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <sqlite3.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// A window on a database of two devices: host with a ping item, and 10.0.0.5 (alias web,
// "Web server") with Ping and 80.
struct Fixture : MainWindowFixture {
    static void seed(SeededDatabase& db) {
        const QList<QPair<int, QString>> ports = {{0, "Ping (ICMP echo)"}, {21, "FTP control"},
                                                  {25, "SMTP mail"},       {80, "HTTP web"},
                                                  {443, "HTTPS web"},      {8080, "HTTP proxy"}};
        for (const auto& [number, description] : ports)
            db.addPort(number, description);
        db.addDevice("host");
        db.addDevice("10.0.0.5", "web", "Web server");
        for (const auto& [device, port, type] : {std::tuple{"host", "Ping", "Ping"},
                                                 {"10.0.0.5", "Ping", "Ping"},
                                                 {"10.0.0.5", "80", "Port"}})
            db.addItem(device, port, {{"Port_Type", type}, {"Port_Description", "as stored"}});
    }
    Fixture()
        : MainWindowFixture(seed) {
        before = dump();
        changesBefore = sqlite3_total_changes(db.handle());
    }

    void run(ModalSteps& steps, const char* item) {
        steps.run([&] { window->action(item)->trigger(); });
    }
    QString setting(const QString& key) {
        return t->settings().GetSetting("Startup", key, "unset");
    }

    // Every row of every table, and the tree's nodes.
    QStringList dump() {
        QStringList rows;
        const QList<QPair<QString, QStringList>> tables = {
            {"Devices", {"Device", "Device_Alias", "Device_Description", "Device_Status"}},
            {"Main_Data", {"Device", "Port", "Port_Type", "Port_Description", "Status"}},
            {"TCP_Ports", {"Port_Number", "Description"}}};
        for (const auto& [table, columns] : tables) {
            Recordset rs = db.openRecordset({"Select * from " + table, {}});
            for (; !rs.atEnd(); rs.moveNext()) {
                QStringList fields;
                for (const QString& column : columns)
                    fields << (rs.field(column).isNull() ? "null" : rs.text(column));
                rows << table + ": " + fields.join('|');
            }
        }
        for (QTreeWidgetItemIterator it(&tree()); *it; ++it)
            rows << "node: " + DeviceTree::keyOf(*it) + "=" + (*it)->text(0);
        return rows;
    }
    QStringList portsOf(const QString& device) {
        QStringList result;
        Recordset rs = db.openRecordset(
            {"Select Port, Port_Type, Port_Description from Main_Data where Device = ? order by "
             "Port",
             {device}});
        for (; !rs.atEnd(); rs.moveNext())
            result << rs.text("Port") + "/" + rs.text("Port_Type") + "/" +
                          rs.text("Port_Description");
        return result;
    }
    bool unchanged() {
        return dump() == before && sqlite3_total_changes(db.handle()) == changesBefore;
    }

    QStringList before;
    int changesBefore = 0;
};

void click(QPushButton* button) {
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// Ticks or unticks a port row the way a person does with the keyboard.
void toggle(frmAddPort& w, const QString& row) {
    QTreeWidgetItem* item = w.row(row);
    QVERIFY2(item, qPrintable(row));
    w.lvListView()->setCurrentItem(item);
    QTest::keyClick(w.lvListView(), Qt::Key_Space);
}

QStringList texts(const QListWidget* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

QStringList ticked(const frmAddPort& w) {
    QStringList result;
    for (int i = 0; i < w.lvListView()->topLevelItemCount(); ++i) {
        if (w.lvListView()->topLevelItem(i)->checkState(0) == Qt::Checked)
            result << w.lvListView()->topLevelItem(i)->text(0);
    }
    return result;
}

QStringList columnTexts(const QTreeWidget* list, int column) {
    QStringList result;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        result << list->topLevelItem(i)->text(column);
    return result;
}

QString refusedName(const QString& name) {
    return name + " is not a valid device name or IP address." + CRLF +
           "Please make you corrections before pressing the next button.";
}

QString existingName(const QString& name) {
    return name + " already exists as a monitored device." + CRLF +
           "You must specify a different device name.";
}

} // namespace

class UiDevicesTest : public QObject {
    Q_OBJECT

private slots:
    void deviceName_data();
    void deviceName();
    void addDevice_throughPortWizard_data();
    void addDevice_throughPortWizard();
    void addDevice_moreInfoSpeaksAndTabWalksThePage();
    void addDevice_introSettingSkipsAndBackShowsIt();
    void addPort_commits_data();
    void addPort_commits();
    void addPort_introSettingAndBack();
    void addPort_longNameWrapsOnTheIntroduction();
    void addPort_listSortsByNumberAndDescriptionAndSearches();
    void cancel_onEveryPage_changesNothing_data();
    void cancel_onEveryPage_changesNothing();
    void modifyDevice_data();
    void modifyDevice();
    void modifyPort_data();
    void modifyPort();
    void commands_refusedWhileMonitoring();
    void treePopUp_openedByKeyboardAtSelection();
};

void UiDevicesTest::deviceName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal"); // empty: the name passes

    QTest::newRow("empty") << "" << refusedName("NULL");
    QTest::newRow("blanks only") << "   " << refusedName("NULL");
    QTest::newRow("one character") << "a" << refusedName("a");
    QTest::newRow("two characters") << "ab"
                                    << "";
    QTest::newRow("with a blank") << "my host"
                                  << "";
    QTest::newRow("part above 255") << "256.1.1.1"
                                    << "";
    QTest::newRow("IPv4") << "10.0.0.1"
                          << "";
    QTest::newRow("bare number") << "12345" << refusedName("12345");
    QTest::newRow("number with a dot") << "1.5"
                                       << "";
    QTest::newRow("quote") << "o'brien.example"
                           << "";
    QTest::newRow("typed NULL") << "NULL" << refusedName("NULL");
    QTest::newRow("duplicate with blanks") << "  host  " << existingName("host");
    QTest::newRow("duplicate other case") << "HOST" << existingName("HOST");
    QTest::newRow("item key other case") << "10.0.0.5:PING" << existingName("10.0.0.5:PING");
    QTest::newRow("record separator") << "a;b.example" << refusedName("a;b.example");
    QTest::newRow("tab") << "a\tb.example" << refusedName("a\tb.example");
    QTest::newRow("line break") << "a\nb.example" << refusedName("a\nb.example");
}

void UiDevicesTest::deviceName() {
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    Fixture f;
    f.select("");
    ModalSteps steps;
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        QCOMPARE(w.page(), 0);
        click(w.cmdArray(3));
        QCOMPARE(w.page(), 1);
        QLineEdit* name = w.txtIPRange(0);
        QCOMPARE(w.focusWidget(), name);
        // Tabs and line breaks cannot be typed into a one-line box; they arrive pasted.
        if (typed.contains('\t') || typed.contains('\n'))
            name->insert(typed);
        else
            QTest::keyClicks(name, typed);
        QCOMPARE(name->text(), typed);
        click(w.cmdArray(3));
        if (refusal.isEmpty()) {
            QCOMPARE(w.page(), 2);
            QCOMPARE(f.t.dialogs.messages.size(), 0);
            QCOMPARE(w.focusWidget(), w.txtIPRange(1));
        } else {
            QCOMPARE(w.page(), 1);
            QCOMPARE(f.t.dialogs.messages.size(), 1);
            QCOMPARE(f.t.dialogs.messages[0].text, refusal);
            QCOMPARE(f.t.dialogs.messages[0].caption, AppInfo::Title);
            QCOMPARE(f.t.dialogs.messages[0].icon, MessageIcon::Information);
            QCOMPARE(w.focusWidget(), name);
            QCOMPARE(name->selectedText(), typed);
        }
        click(w.cmdArray(1));
    });
    f.run(steps, "mnutvAddDevice");
    QVERIFY(steps.allRan());
    QVERIFY(f.unchanged());
}

void UiDevicesTest::addDevice_throughPortWizard_data() {
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("nodeText");
    QTest::newRow("without alias") << ""
                                   << "server1.example";
    QTest::newRow("with alias") << "  files  "
                                << "files";
}

void UiDevicesTest::addDevice_throughPortWizard() {
    QFETCH(QString, alias);
    QFETCH(QString, nodeText);
    Fixture f;
    f.select("");
    ModalSteps steps;
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        click(w.cmdArray(3));
        QTest::keyClicks(w.txtIPRange(0), "  server1.example  ");
        QTest::keyClick(w.txtIPRange(0), Qt::Key_Return); // the default button: Next
        QCOMPARE(w.page(), 2);
        QTest::keyClicks(w.txtIPRange(1), alias);
        typeInto(w.txtIPRange(2), " File server ");
        click(w.cmdArray(3));
        QCOMPARE(w.page(), 3);
        QCOMPARE(w.cmdArray(3)->text(), QString("Finished"));
        QCOMPARE(w.txtIPRange(3)->text(), QString("  server1.example  "));
        QCOMPARE(w.txtIPRange(4)->text(), alias);
        QCOMPARE(w.txtIPRange(5)->text(), QString(" File server "));
        QVERIFY(w.txtIPRange(3)->isReadOnly() && w.txtIPRange(5)->isReadOnly());
        click(w.cmdArray(3));
    });
    steps.on<frmAddPort>([&](frmAddPort& w) {
        QCOMPARE(w.device(), QString("server1.example"));
        QCOMPARE(w.parentWidget(), f.window.get());
        // Stored and in the tree before the ports are chosen.
        QVERIFY(f.tree().node("server1.example"));
        QCOMPARE(ticked(w), QStringList());
        click(w.cmdArray(3));
        QCOMPARE(w.page(), 1);
        QTest::keyClick(w.lvListView(), Qt::Key_Home);
        QTest::keyClick(w.lvListView(), Qt::Key_Space);
        QTest::keyClicks(w.lvListView(), "80"); // found by typing
        QTest::keyClick(w.lvListView(), Qt::Key_Space);
        QCOMPARE(ticked(w), QStringList({"Ping", "80"}));
        click(w.cmdArray(3));
        QCOMPARE(w.page(), 2);
        QCOMPARE(texts(w.lstPortsAdd()), QStringList({"Ping\tPing (ICMP echo)", "80\tHTTP web"}));
        QCOMPARE(texts(w.lstPortDelete()), QStringList());
        QCOMPARE(w.cmdArray(3)->text(), QString("Finished >"));
        click(w.cmdArray(3));
    });
    f.run(steps, "mnutvAddDevice");
    QVERIFY(steps.allRan());
    QCOMPARE(steps.unexpected(), 0);

    Recordset device =
        f.db.openRecordset({"Select * from Devices where Device = ?", {"server1.example"}});
    QCOMPARE(device.count(), 1);
    QCOMPARE(device.text("Device"), QString("server1.example"));
    QCOMPARE(device.text("Device_Alias"), alias.trimmed());
    QCOMPARE(device.text("Device_Description"), QString("File server"));
    QCOMPARE(f.portsOf("server1.example"),
             QStringList({"80/Port/HTTP web", "Ping/Port/Ping (ICMP echo)"}));
    QTreeWidgetItem* node = f.tree().node("server1.example");
    QCOMPARE(node->text(0), nodeText);
    QCOMPARE(node->parent(), f.tree().root());
    QCOMPARE(DeviceTree::imageOf(node), MainImages::DeviceHealthy);
    QCOMPARE(f.childTexts("server1.example"), QStringList({"Port:Ping", "Port:80"}));
    QCOMPARE(DeviceTree::imageOf(f.tree().node("server1.example:80")), MainImages::ItemHealthy);
    // The root is still selected: the list shows every device, the new one included.
    const DetailListModel& list = f.window->lvListView().model();
    QCOMPARE(list.rowCount(), 3);
    QCOMPARE(list.cell(2, 0), nodeText);
}

void UiDevicesTest::addDevice_moreInfoSpeaksAndTabWalksThePage() {
    Fixture f;
    f.t->settings().SaveSetting("Startup", "ShowIntro", "1");
    f.select("");
    ModalSteps steps;
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        QTest::keyClicks(w.txtIPRange(0), "new.example");
        click(w.cmdArray(3));
        click(w.cmdArray(0));
        QCOMPARE(w.page(), 2);
        const QVector<SpokenText>& spoken = f.t.assistant.spoken;
        QCOMPARE(spoken.size(), 2);
        QCOMPARE(spoken[0].animation, QString("Explain"));
        QVERIFY(spoken[0].text.contains("name or IP address.<BREAK>  In addition"));
        QCOMPARE(spoken[1].animation, QString("Suggest"));
        QCOMPARE(f.t->state().SpeechText, spoken[1].text);
        // Tab walks the page, then the button bar from left to right.
        w.txtIPRange(1)->setFocus();
        QWidget* expected[] = {w.txtIPRange(2), w.cmdArray(0), w.cmdArray(2),
                               w.cmdArray(3),   w.cmdArray(1), w.txtIPRange(1)};
        for (QWidget* next : expected) {
            QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
            QCOMPARE(w.focusWidget(), next);
        }
        click(w.cmdArray(1));
    });
    f.run(steps, "mnutvAddDevice");
    QVERIFY(steps.allRan());
    QVERIFY(f.unchanged());
}

void UiDevicesTest::addDevice_introSettingSkipsAndBackShowsIt() {
    Fixture f;
    f.t->settings().SaveSetting("Startup", "ShowIntro", "1");
    f.select("");
    ModalSteps steps;
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        QCOMPARE(w.page(), 1);
        QCOMPARE(w.focusWidget(), w.txtIPRange(0));
        QCOMPARE(f.t->state().SpeechText, w.introText()->text());
        click(w.cmdArray(2));
        QCOMPARE(w.page(), 0);
        QVERIFY(!w.cmdArray(2)->isEnabled());
        QVERIFY(w.chkShowIntro()->isChecked());
        QTest::mouseClick(w.chkShowIntro(), Qt::LeftButton);
        QCOMPARE(f.setting("ShowIntro"), QString("0"));
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        QCOMPARE(w.page(), 0);
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    f.run(steps, "mnutvAddDevice");
    f.run(steps, "mnutvAddDevice");
    QVERIFY(steps.allRan());
}

void UiDevicesTest::addPort_commits_data() {
    QTest::addColumn<QStringList>("toggled");
    QTest::addColumn<QStringList>("listedAdd");
    QTest::addColumn<QStringList>("listedDelete");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("nodes");

    // Dropped items are listed as stored, in the store's order.
    QTest::newRow("untick all") << QStringList{"Ping", "80"} << QStringList{}
                                << QStringList{"80", "Ping"} << QStringList{} << QStringList{};
    QTest::newRow("no change") << QStringList{}
                               << QStringList{"Ping\tPing (ICMP echo)", "80\tHTTP web"}
                               << QStringList{}
                               << QStringList{"80/Port/as stored", "Ping/Ping/as stored"}
                               << QStringList{"Port:80", "Ping:Ping"};
    QTest::newRow("swap a port") << QStringList{"80", "443", "8080"}
                                 << QStringList{"Ping\tPing (ICMP echo)", "443\tHTTPS web",
                                                "8080\tHTTP proxy"}
                                 << QStringList{"80"}
                                 << QStringList{"443/Port/HTTPS web", "8080/Port/HTTP proxy",
                                                "Ping/Ping/as stored"}
                                 << QStringList{"Ping:Ping", "Port:443", "Port:8080"};
    // The store refuses port 25: the change is one write, so 80 stays and 21 is not added.
    QTest::newRow("a step fails") << QStringList{"80", "21", "25"}
                                  << QStringList{"Ping\tPing (ICMP echo)", "21\tFTP control",
                                                 "25\tSMTP mail"}
                                  << QStringList{"80"}
                                  << QStringList{"80/Port/as stored", "Ping/Ping/as stored"}
                                  << QStringList{};
}

void UiDevicesTest::addPort_commits() {
    QFETCH(QStringList, toggled);
    QFETCH(QStringList, listedAdd);
    QFETCH(QStringList, listedDelete);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, nodes);
    Fixture f;
    f.db.execute({"Create trigger Refuse25 before insert on Main_Data when new.Port = '25' "
                  "begin select raise(abort, 'refused'); end",
                  {}});
    f.t->settings().SaveSetting("Startup", "ShowPortScanIntro", "1");
    f.select("10.0.0.5");
    ModalSteps steps;
    steps.on<frmAddPort>([&](frmAddPort& w) {
        QCOMPARE(w.page(), 1);
        QCOMPARE(ticked(w), QStringList({"Ping", "80"}));
        for (const QString& row : toggled)
            toggle(w, row);
        click(w.cmdArray(3));
        QCOMPARE(texts(w.lstPortsAdd()), listedAdd);
        QCOMPARE(texts(w.lstPortDelete()), listedDelete);
        click(w.cmdArray(3));
    });
    f.run(steps, "mnutvAddPort");
    QVERIFY(steps.allRan());
    QCOMPARE(f.portsOf("10.0.0.5"), stored);
    QCOMPARE(f.t.end.codes.size(), toggled.contains("25") ? 1 : 0); // to the error report
    QVERIFY(!f.db.inTransaction());
    if (toggled.contains("25"))
        return; // the report ends the program; the tree is not looked at
    QCOMPARE(f.childTexts("10.0.0.5"), nodes);
    if (toggled.isEmpty()) {
        QVERIFY(f.unchanged());
        return;
    }
    // The device stays selected; the list shows it and its items.
    const DetailListModel& list = f.window->lvListView().model();
    QCOMPARE(list.rowCount(), 1 + stored.size());
    QCOMPARE(list.cell(0, 0), QString("web"));
}

void UiDevicesTest::addPort_introSettingAndBack() {
    Fixture f;
    f.select("host");
    ModalSteps steps;
    steps.on<frmAddPort>([&](frmAddPort& w) {
        QCOMPARE(w.page(), 0);
        QCOMPARE(w.introText()->text(),
                 QString("This wizard will assist you in selecting the TCP/IP ports to moniotor "
                         "on host.  Press the 'Next' button and make your selections from the "
                         "list provided."));
        QVERIFY(!w.cmdArray(2)->isEnabled());
        QTest::mouseClick(w.chkShowPortSelectIntro(), Qt::LeftButton);
        QCOMPARE(f.setting("ShowPortScanIntro"), QString("1"));
        click(w.cmdArray(1));
    });
    steps.on<frmAddPort>([&](frmAddPort& w) {
        QCOMPARE(w.page(), 1);
        QCOMPARE(w.cmdArray(3)->text(), QString("&Next >"));
        click(w.cmdArray(3));
        QCOMPARE(w.cmdArray(3)->text(), QString("Finished >"));
        click(w.cmdArray(2));
        QCOMPARE(w.page(), 1);
        QCOMPARE(w.cmdArray(3)->text(), QString("Next >"));
        click(w.cmdArray(2));
        QCOMPARE(w.page(), 0);
        QVERIFY(!w.cmdArray(2)->isEnabled());
        QVERIFY(w.introText()->text().contains("on host."));
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    f.run(steps, "mnutvAddPort");
    f.run(steps, "mnutvAddPort");
    QVERIFY(steps.allRan());
    QVERIFY(f.unchanged());
}

// A name of 255 characters without a space wraps within the page instead of running off it.
void UiDevicesTest::addPort_longNameWrapsOnTheIntroduction() {
    const QString name = QString(200, 'a') + ".example-host-" + QString(41, 'b');
    Fixture f;
    f.db.execute({"Insert into Devices (Device) values (?)", {name}});
    f.w().panes().Load_Data();
    f.select(name);
    ModalSteps steps;
    steps.on<frmAddPort>([&](frmAddPort& w) {
        const QLabel* intro = w.introText();
        const QRect room = intro->contentsRect();
        const QRect needed = intro->fontMetrics().boundingRect(
            QRect(room.topLeft(), QSize(room.width(), 1 << 20)), Qt::TextWordWrap, intro->text());
        QVERIFY(needed.width() <= room.width() && needed.height() <= room.height());
        QCOMPARE(QString(intro->text()).remove(QChar(0x200B)), f.t->state().SpeechText);
        w.reject();
    });
    f.run(steps, "mnutvAddPort");
    QVERIFY(steps.allRan());
}

void UiDevicesTest::addPort_listSortsByNumberAndDescriptionAndSearches() {
    Fixture f;
    f.select("host");
    ModalSteps steps;
    steps.on<frmAddPort>([&](frmAddPort& w) {
        click(w.cmdArray(3));
        QTreeWidget* list = w.lvListView();
        QCOMPARE(columnTexts(list, 0), QStringList({"Ping", "21", "25", "80", "443", "8080"}));
        QHeaderView* header = list->header();
        const auto clickHeader = [&](int column) {
            const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        };
        clickHeader(1);
        QCOMPARE(columnTexts(list, 1).first(), QString("FTP control"));
        QCOMPARE(columnTexts(list, 1).last(), QString("SMTP mail"));
        clickHeader(0);
        clickHeader(0);
        QCOMPARE(header->sortIndicatorSection(), 0);
        const QStringList numbers = columnTexts(list, 0);
        QCOMPARE(header->sortIndicatorOrder() == Qt::AscendingOrder
                     ? numbers
                     : QStringList(numbers.crbegin(), numbers.crend()),
                 QStringList({"Ping", "21", "25", "80", "443", "8080"}));
        list->setCurrentItem(w.row("Ping"));
        QTest::keyClicks(list, "44");
        QCOMPARE(list->currentItem()->text(0), QString("443"));
        // Ticks survive the sorting; the confirmation lists ports in number order.
        toggle(w, "8080");
        toggle(w, "21");
        click(w.cmdArray(3));
        QCOMPARE(texts(w.lstPortsAdd()),
                 QStringList({"Ping\tPing (ICMP echo)", "21\tFTP control", "8080\tHTTP proxy"}));
        click(w.cmdArray(1));
    });
    f.run(steps, "mnutvAddPort");
    QVERIFY(steps.allRan());
    QVERIFY(f.unchanged());
}

void UiDevicesTest::cancel_onEveryPage_changesNothing_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("escape");
    for (int page = 0; page < 4; ++page)
        QTest::addRow("add device, page %d", page) << "mnutvAddDevice"
                                                   << "" << page << false;
    QTest::addRow("add device, Esc") << "mnutvAddDevice"
                                     << "" << 3 << true;
    for (int page = 0; page < 3; ++page)
        QTest::addRow("add port, page %d", page) << "mnutvAddPort"
                                                 << "10.0.0.5" << page << false;
    QTest::addRow("add port, Esc") << "mnutvAddPort"
                                   << "10.0.0.5" << 2 << true;
    QTest::addRow("device properties") << "mnutvModifyDeviceDesc"
                                       << "10.0.0.5" << 0 << false;
    QTest::addRow("device properties, Esc") << "mnutvModifyDeviceDesc"
                                            << "10.0.0.5" << 0 << true;
    QTest::addRow("port properties") << "mnutvModifyPortDesc"
                                     << "10.0.0.5:80" << 0 << false;
    QTest::addRow("port properties, Esc") << "mnutvModifyPortDesc"
                                          << "10.0.0.5:80" << 0 << true;
}

void UiDevicesTest::cancel_onEveryPage_changesNothing() {
    QFETCH(QString, item);
    QFETCH(QString, node);
    QFETCH(int, page);
    QFETCH(bool, escape);
    Fixture f;
    f.select(node);
    const auto cancel = [&](QDialog& w, QPushButton* button) {
        if (escape)
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            click(button);
    };
    ModalSteps steps;
    steps.on<frmAddDevice>([&](frmAddDevice& w) {
        QTest::keyClicks(w.txtIPRange(0), "new.example");
        QTest::keyClicks(w.txtIPRange(1), "alias");
        while (w.page() < page)
            click(w.cmdArray(3));
        QCOMPARE(w.page(), page);
        cancel(w, w.cmdArray(1));
    });
    steps.on<frmAddPort>([&](frmAddPort& w) {
        toggle(w, "Ping");
        toggle(w, "443");
        while (w.page() < page)
            click(w.cmdArray(3));
        QCOMPARE(w.page(), page);
        cancel(w, w.cmdArray(1));
    });
    steps.on<frmModifyDevice>([&](frmModifyDevice& w) {
        typeInto(w.txtArray(1), "changed");
        typeInto(w.txtArray(2), "changed");
        cancel(w, w.cmdArray(1));
    });
    steps.on<frmModifyPort>([&](frmModifyPort& w) {
        typeInto(w.txtArray(2), "changed");
        cancel(w, w.cmdArray(1));
    });
    f.run(steps, qPrintable(item));
    QCOMPARE(steps.ran(), 1); // no other dialog followed
    QCOMPARE(steps.unexpected(), 0);
    QVERIFY(f.unchanged());
    QCOMPARE(f.t.dialogs.messages.size(), 0);
}

void UiDevicesTest::modifyDevice_data() {
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("storedAlias");
    QTest::addColumn<QString>("storedDescription");
    QTest::addColumn<QString>("nodeText");
    QTest::newRow("alias cleared") << ""
                                   << "Web server"
                                   << ""
                                   << "Web server"
                                   << "10.0.0.5";
    QTest::newRow("blanks trimmed") << "  www  "
                                    << "  Front end  "
                                    << "www"
                                    << "Front end"
                                    << "www";
    QTest::newRow("description cleared is kept") << "web"
                                                 << ""
                                                 << "web"
                                                 << "Web server"
                                                 << "web";
    QTest::newRow("quote") << "bob's box"
                           << "it's up"
                           << "bob's box"
                           << "it's up"
                           << "bob's box";
}

void UiDevicesTest::modifyDevice() {
    QFETCH(QString, alias);
    QFETCH(QString, description);
    QFETCH(QString, storedAlias);
    QFETCH(QString, storedDescription);
    QFETCH(QString, nodeText);
    Fixture f;
    f.select("10.0.0.5");
    ModalSteps steps;
    steps.on<frmModifyDevice>([&](frmModifyDevice& w) {
        QCOMPARE(w.windowTitle(), QString("IP Orvex Monitor - Device Properties"));
        QCOMPARE(w.txtArray(0)->text(), QString("10.0.0.5"));
        QVERIFY(!w.txtArray(0)->isEnabled());
        QCOMPARE(w.txtArray(1)->text(), QString("web"));
        QCOMPARE(w.txtArray(2)->text(), QString("Web server"));
        QCOMPARE(w.focusWidget(), w.txtArray(1));
        QCOMPARE(w.txtArray(1)->selectedText(), QString("web"));
        typeInto(w.txtArray(1), alias);
        typeInto(w.txtArray(2), description);
        QTest::keyClick(w.txtArray(2), Qt::Key_Return); // the default button: OK
    });
    f.run(steps, "mnutvModifyDeviceDesc");
    QVERIFY(steps.allRan());
    Recordset device = f.db.openRecordset({"Select * from Devices where Device = '10.0.0.5'", {}});
    QCOMPARE(device.text("Device_Alias"), storedAlias);
    QCOMPARE(device.text("Device_Description"), storedDescription);
    QCOMPARE(f.tree().node("10.0.0.5")->text(0), nodeText);
    // The list shows the devices with the new text.
    QCOMPARE(f.window->lvListView().model().cell(0, 0), nodeText);
}

void UiDevicesTest::modifyPort_data() {
    QTest::addColumn<QString>("description");
    QTest::newRow("blanks kept") << "  spaced out  ";
    QTest::newRow("cleared") << "";
    QTest::newRow("quote") << "it's the web";
}

void UiDevicesTest::modifyPort() {
    QFETCH(QString, description);
    Fixture f;
    f.select("10.0.0.5:80");
    ModalSteps steps;
    steps.on<frmModifyPort>([&](frmModifyPort& w) {
        QCOMPARE(w.windowTitle(), QString("IP Orvex Monitor - Port Properties"));
        QCOMPARE(w.txtArray(0)->text(), QString("10.0.0.5"));
        QCOMPARE(w.txtArray(1)->text(), QString("80"));
        QVERIFY(w.txtArray(0)->isReadOnly() && w.txtArray(1)->isReadOnly());
        QCOMPARE(w.txtArray(2)->text(), QString("as stored"));
        QCOMPARE(w.focusWidget(), w.txtArray(2));
        typeInto(w.txtArray(2), description);
        click(w.cmdArray(0));
    });
    f.run(steps, "mnutvModifyPortDesc");
    QVERIFY(steps.allRan());
    QCOMPARE(f.portsOf("10.0.0.5"), QStringList({"80/Port/" + description, "Ping/Ping/as stored"}));
    const DetailListModel& list = f.window->lvListView().model();
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.cell(0, 2), description);
}

void UiDevicesTest::commands_refusedWhileMonitoring() {
    Fixture f;
    f.t->state().MonitoringOn = true;
    f.commands().prepareTreeMenu();
    for (const char* item :
         {"mnutvAddDevice", "mnutvModifyDeviceDesc", "mnutvAddPort", "mnutvModifyPortDesc"})
        QVERIFY2(!f.window->action(item)->isEnabled(), item);
    ModalSteps steps;
    f.select("10.0.0.5");
    // What a shortcut or the assistant would reach past the disabled items.
    DeviceCommands& commands = f.commands().devices();
    steps.run([&] {
        commands.mnutvAddDevice_Click();
        commands.mnutvModifyDeviceDesc_Click();
        commands.mnutvAddPort_Click();
        f.select("10.0.0.5:80");
        commands.mnutvModifyPortDesc_Click();
    });
    QCOMPARE(steps.unexpected(), 0);
    QVERIFY(f.unchanged());
}

void UiDevicesTest::treePopUp_openedByKeyboardAtSelection() {
    Fixture f;
    f.select("10.0.0.5");
    QSignalSpy opened(&f.tree(), &DeviceTree::rightButtonPressed);
    QTest::keyClick(&f.tree(), Qt::Key_F10);
    QTest::keyClick(&f.tree(), Qt::Key_F10, Qt::ControlModifier);
    QCOMPARE(opened.size(), 0);
    QTest::keyClick(&f.tree(), Qt::Key_F10, Qt::ShiftModifier);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {});
    QApplication::sendEvent(&f.tree(), &menuKey);
    QCOMPARE(opened.size(), 2);
    const QRect row = f.tree().visualItemRect(f.tree().node("10.0.0.5"));
    for (const QList<QVariant>& at : opened)
        QVERIFY(row.contains(f.tree().viewport()->mapFromGlobal(at.at(0).toPoint())));
}

ORVEX_TEST_MAIN(UiDevicesTest)
#include "tst_ui_devices.moc"
