#include "core/AppInfo.h"
#include "core/WidgetDialogs.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorEngine.h"
#include "ModalSteps.h"
#include "platform/ComponentRegistry.h"
#include "store/Database.h"
#include "store/History.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/CheckBar.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/frmMain.h"
#include "ui/main/HistoryPane.h"
#include "ui/main/MainImages.h"
#include "ui/main/TrayIcon.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

namespace {
// A main window with its engine on a database of one loopback device with a ping item.
struct LoopbackWindow {
    LoopbackWindow() {
        const QString path = t.programFile("OrvexMonitor.mdb");
        Database::create(path);
        db.open(path);
        db.execute({"Insert into Devices (Device) values (?)", {"127.0.0.1"}});
        db.execute({"Insert into Main_Data (Device, Port) values (?, ?)", {"127.0.0.1", "Ping"}});
        window = std::make_unique<frmMain>(*t, db);
        window->Form_Load();
    }

    frmMain& w() { return *window; }
    QTabBar& tabs() { return *w().findChild<QTabBar*>("TabStrip1"); }

    TestContext t;
    Database db;
    std::unique_ptr<frmMain> window;
};

const QDateTime CheckedAt(QDate(2026, 5, 6), QTime(12, 0));

// A window on the device "host" whose alias, description and last ping error are one text.
struct NamedWindow {
    explicit NamedWindow(const QString& text) {
        const QString path = t.programFile("OrvexMonitor.mdb");
        Database::create(path);
        db.open(path);
        db.execute({"Insert into Devices (Device, Device_Alias, Device_Description) "
                    "values ('host', ?, ?)",
                    {text, text}});
        db.execute({"Insert into Main_Data (Device, Port) values ('host', 'Ping')", {}});
        History::append(db, {"host", "Ping", CheckedAt.toMSecsSinceEpoch(), false, -1, text});
        window = std::make_unique<frmMain>(*t, db);
        window->show();
    }
    frmMain& w() { return *window; }
    void select(const QString& key) {
        w().tvTreeView_NodeClick(key.isEmpty() ? w().tvTreeView().root()
                                               : w().tvTreeView().node(key));
    }

    TestContext t;
    Database db;
    std::unique_ptr<frmMain> window;
};

// What a label or a tip shows of a text: a text Qt takes for markup shows as markup.
QString shown(const QString& text, Qt::TextFormat format = Qt::AutoText) {
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument page;
    page.setHtml(text);
    return page.toPlainText();
}
} // namespace

// Faults met by trying the running window: each test drives it the way a person would.
class UiHardeningTest : public QObject {
    Q_OBJECT

private slots:
    void stopDuringCycle_endShowsMonitoringOff();
    void tabs_allInViewAtTheFirstSize();
    void tabChange_byKeyOrWheel_switchesPane_data();
    void tabChange_byKeyOrWheel_switchesPane();
    void restore_bringsMaximisedWindowBackNormal_data();
    void restore_bringsMaximisedWindowBackNormal();
    void formLoad_failure_reportedAsMainFormLoad();
    void errorReport_statusBarSaysStopped();
    void names_showAsTheyAre_data();
    void names_showAsTheyAre();
};

// The character's "Monitoring Off" reaches the window's Monitor_Stop while a cycle runs; the
// cycle then goes on to its end, which must not bring back the states of a running monitor.
void UiHardeningTest::stopDuringCycle_endShowsMonitoringOff() {
    LoopbackWindow f;
    bool stopped = false;
    QTimer character;
    connect(&character, &QTimer::timeout, this, [&] {
        if (!stopped && f.w().statusPanel(1).startsWith("Check in progress")) {
            stopped = true;
            f.w().Monitor_Stop();
        }
    });
    character.start(1);
    f.w().Monitor_Initialize();
    QTRY_VERIFY(stopped);
    QTRY_VERIFY(!f.t->state().CheckInProgress);
    character.stop();

    QVERIFY(!f.t->state().MonitoringOn);
    QVERIFY(!f.w().engine()->cycle().minuteTimerActive());
    QCOMPARE(f.w().statusPanel(1), QString("Ready"));
    QCOMPARE(f.w().statusPanel(2), QString("Monitoring is off."));
    QCOMPARE(f.w().tray().tip(), AppInfo::Title + " - Monitoring OFF.");
    QCOMPARE(f.w().tray().picture(), int(MainImages::TrayIdle));
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"}) {
        QVERIFY2(!f.w().action(name)->isEnabled(), name);
        QVERIFY2(f.w().action(name)->isChecked(), name);
    }
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"})
        QVERIFY2(f.w().action(name)->isEnabled(), name);
    QVERIFY(f.w().action("tbStop")->isChecked());
}

// At the size a first start gives the window, every tab is in view whole and answers a click.
void UiHardeningTest::tabs_allInViewAtTheFirstSize() {
    LoopbackWindow f;
    f.t->state().StartupComplete = 1;
    f.w().placeWindow(1000, 1000, 6500, 6500);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    QTabBar& tabs = f.tabs();
    // The tabs at their full widths fit, so none is cut short.
    QVERIFY2(tabs.sizeHint().width() <= tabs.width(),
             qPrintable(QString("%1 > %2").arg(tabs.sizeHint().width()).arg(tabs.width())));
    for (int i = 0; i < tabs.count(); ++i) {
        QStyleOptionTab tab;
        tab.initFrom(&tabs);
        tab.rect = tabs.tabRect(i);
        tab.text = tabs.tabText(i);
        tab.shape = tabs.shape();
        QVERIFY2(tab.rect.left() >= 0 && tab.rect.right() < tabs.width(), qPrintable(tab.text));
        // The caption is elided where it is wider than the room the style gives it.
        const QRect caption = tabs.style()->subElementRect(QStyle::SE_TabBarTabText, &tab, &tabs);
        QVERIFY2(caption.width() >= tabs.fontMetrics().size(Qt::TextShowMnemonic, tab.text).width(),
                 qPrintable(tab.text));
    }
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(2).center());
    QCOMPARE(f.w().selectedTab(), 3);
}

void UiHardeningTest::tabChange_byKeyOrWheel_switchesPane_data() {
    QTest::addColumn<int>("startTab");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("expectedTab");
    QTest::newRow("right arrow") << 1 << "right" << 2;
    QTest::newRow("left arrow") << 2 << "left" << 1;
    QTest::newRow("wheel down") << 1 << "wheel down" << 2;
    QTest::newRow("wheel up") << 2 << "wheel up" << 1;
}

void UiHardeningTest::tabChange_byKeyOrWheel_switchesPane() {
    QFETCH(int, startTab);
    QFETCH(QString, input);
    QFETCH(int, expectedTab);
    LoopbackWindow f;
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.w().TabStrip1_Click(startTab);
    QTabBar& tabs = f.tabs();
    if (input == "right" || input == "left") {
        QTest::keyClick(&tabs, input == "right" ? Qt::Key_Right : Qt::Key_Left);
    } else {
        const QPoint at = tabs.tabRect(startTab - 1).center();
        const int delta = input == "wheel down" ? -120 : 120;
        QWheelEvent wheel(at, tabs.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&tabs, &wheel);
    }
    QCOMPARE(f.w().selectedTab(), expectedTab);
    QCOMPARE(f.w().lvListView().isHidden(), expectedTab != 1);
    QCOMPARE(f.w().txtMessageWindow().isHidden(), expectedTab != 2);
}

void UiHardeningTest::restore_bringsMaximisedWindowBackNormal_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("hiddenInTray");
    QTest::newRow("tray, from the notification area") << "tray" << true;
    QTest::newRow("character, minimised") << "character" << false;
}

void UiHardeningTest::restore_bringsMaximisedWindowBackNormal() {
    QFETCH(QString, entry);
    QFETCH(bool, hiddenInTray);
    LoopbackWindow f;
    f.t->state().StartupComplete = 1;
    f.w().placeWindow(1500, 1500, 9000, 7000);
    f.w().showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    QTRY_VERIFY(f.w().isMaximized());
    f.w().Minimize();
    QTRY_VERIFY(f.w().isMinimized() || f.w().isHidden());
    if (hiddenInTray)
        f.w().hide();
    if (entry == "tray")
        f.w().action("mnuSysTrayRestore")->trigger();
    else
        f.w().Restore(); // what the character's "Restore" command reaches
    QTRY_VERIFY(f.w().isVisible());
    QVERIFY(!f.w().isMinimized());
    QVERIFY(!f.w().isMaximized());
    QVERIFY(!f.w().isFullScreen());
}

void UiHardeningTest::formLoad_failure_reportedAsMainFormLoad() {
    const QString classId = "OrvexSMTPControl.OrvexSMTP";
    ComponentRegistry registry;
    QVERIFY(registry.registerClass(classId, FAILING_CONTROL_LIBRARY));
    const auto unregister = qScopeGuard([&] { registry.unregisterClass(classId); });
    LoopbackWindow f;
    QCOMPARE(f.t.end.codes, QVector<int>{1});
    QCOMPARE(f.t.dialogs.messages.size(), 1);
    const QString& text = f.t.dialogs.messages.first().text;
    QVERIFY2(text.contains("An error has occured in the Main_Form_Load subroutine."),
             qPrintable(text));
    QVERIFY(text.contains("The control could not be started."));
}

// Behind an error report the status bar says the program has stopped, and a check pass still
// unwinding cannot bring its progress texts back.
void UiHardeningTest::errorReport_statusBarSaysStopped() {
    LoopbackWindow f;
    f.w().setStatusPanel(1, "Check in progress...");
    f.t->errors().ReportError(13, "Type mismatch", "Timer1_Timer");
    QCOMPARE(f.t.dialogs.messages.size(), 1);
    f.w().setStatusPanel(1, "Check in progress...(Closing Ping Sockets)");
    QCOMPARE(f.w().statusPanel(1), QString("Stopped by an error."));
    QCOMPARE(f.w().statusPanel(2), QString("Monitoring is off."));
    QTRY_COMPARE(f.w().findChild<QLabel*>("Ready")->text(), QString("Stopped by an error."));
}

void UiHardeningTest::names_showAsTheyAre_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("name");
    const QList<QPair<QString, QString>> names = {{"markup", R"(<b>x</b>&"')"},
                                                  {"entities", "&lt;i&gt; a &amp; b"},
                                                  {"line break", "two\nlines"}};
    for (const QString place :
         {"history title", "status text", "status tip", "list tip", "check bar tip", "question"})
        for (const auto& [kind, name] : names)
            QTest::newRow(qPrintable(place + ", " + kind)) << place << name;
}

// Aliases, descriptions and error texts are data: whatever they hold shows letter for letter.
void UiHardeningTest::names_showAsTheyAre() {
    QFETCH(QString, place);
    QFETCH(QString, name);
    NamedWindow f(name);
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    QString expected = name;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    if (place == "history title") {
        f.select("host");
        f.w().TabStrip1_Click(3);
        const auto* title = f.w().findChild<QLabel*>("lblHistoryTitle");
        text = title->text();
        format = title->textFormat();
    } else if (place.startsWith("status")) {
        expected = "Check in progress... (" + name + ")";
        f.w().setStatusPanel(1, expected);
        const auto* panel = f.w().findChild<QLabel*>("Ready");
        QTRY_COMPARE(panel->text(), expected);
        text = place == "status text" ? panel->text() : panel->toolTip();
        format = place == "status text" ? panel->textFormat() : Qt::AutoText;
    } else if (place == "list tip") {
        f.select({});
        const DetailListModel& list = f.w().lvListView().model();
        text = list.data(list.index(0, 0), Qt::ToolTipRole).toString();
    } else if (place == "check bar tip") {
        f.select("host:Ping");
        f.w().TabStrip1_Click(3);
        auto& bar = const_cast<CheckBar&>(f.w().historyPane().checkBar());
        QTRY_VERIFY(bar.isVisible());
        const QPoint at = bar.slotRect(bar.slotCount() - 1).center().toPoint();
        QHelpEvent help(QEvent::ToolTip, at, bar.mapToGlobal(at));
        QApplication::sendEvent(&bar, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        text = QToolTip::text();
        expected = Clock::generalDate(CheckedAt) + "  Failed: " + name;
    } else {
        WidgetDialogs boxes;
        boxes.setParentWindow(&f.w());
        f.t->setDialogs(&boxes);
        f.select("host");
        ModalSteps steps;
        steps.on<QMessageBox>([&](QMessageBox& box) {
            text = box.text();
            format = box.textFormat();
        });
        steps.run([&] { f.w().mnutvDeleteDevice_Click(); });
        f.t->setDialogs(&f.t.dialogs);
        QVERIFY(steps.allRan());
        expected = "You are about to delete " + name + ".\nAre you sure?";
    }
    QCOMPARE(shown(text, format), expected);
}

ORVEX_TEST_MAIN(UiHardeningTest)
#include "tst_ui_hardening.moc"
