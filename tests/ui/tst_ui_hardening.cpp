#include "core/AppInfo.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorEngine.h"
#include "MainWindowFixture.h"
#include "platform/ComponentRegistry.h"
#include "TestMain.h"
#include "ui/main/MainImages.h"
#include "ui/main/TrayIcon.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>

namespace {
// A main window with its engine on a database of one loopback device with a ping item.
struct LoopbackWindow : MainWindowFixture {
    explicit LoopbackWindow(const QString& alias = {})
        : MainWindowFixture([alias](SeededDatabase& data) {
            data.addDevice("127.0.0.1", alias);
            data.addItem("127.0.0.1", "Ping");
        }) {
        face().Form_Load();
    }

    QTabBar& tabs() { return *w().findChild<QTabBar*>("TabStrip1"); }
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
        if (!stopped && f.face().statusPanel(1).startsWith("Check in progress")) {
            stopped = true;
            f.face().Monitor_Stop();
        }
    });
    character.start(1);
    f.face().Monitor_Initialize();
    QTRY_VERIFY(stopped);
    QTRY_VERIFY(!f.t->state().CheckInProgress);
    character.stop();

    QVERIFY(!f.t->state().MonitoringOn);
    QVERIFY(!f.face().engine()->cycle().minuteTimerActive());
    QCOMPARE(f.face().statusPanel(1), QString("Ready"));
    QCOMPARE(f.face().statusPanel(2), QString("Monitoring is off."));
    QCOMPARE(f.face().tray().tip(), AppInfo::Title + " - Monitoring OFF.");
    QCOMPARE(f.face().tray().picture(), int(MainImages::TrayIdle));
    for (const char* name : {"mnuMonitoringOff", "mnuSysTrayMonitoringOff"}) {
        QVERIFY2(!f.w().action(name)->isEnabled(), name);
        QVERIFY2(f.w().action(name)->isChecked(), name);
    }
    for (const char* name : {"mnuMonitoringOn", "mnuSysTrayMonitoringOn"})
        QVERIFY2(f.w().action(name)->isEnabled(), name);
    QVERIFY(f.w().action("tbStop")->isChecked());
}

// At the size a first start gives the window, every tab shows its whole caption.
void UiHardeningTest::tabs_allInViewAtTheFirstSize() {
    LoopbackWindow f;
    f.t->state().StartupComplete = 1;
    f.w().placeWindow(1000, 1000, 6500, 6500);
    f.w().show();
    QTabBar& tabs = f.tabs();
    QStyleOptionTab tab;
    tab.initFrom(&tabs);
    for (int i = 0; i < tabs.count(); ++i) {
        std::tie(tab.rect, tab.text) = std::pair(tabs.tabRect(i), tabs.tabText(i));
        const QRect room = tabs.style()->subElementRect(QStyle::SE_TabBarTabText, &tab, &tabs);
        QVERIFY(tab.rect.right() < tabs.width());
        QVERIFY(room.width() >= tabs.fontMetrics().size(Qt::TextShowMnemonic, tab.text).width());
    }
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
    f.client().TabStrip1_Click(startTab);
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
    QCOMPARE(f.client().selectedTab(), expectedTab);
    QCOMPARE(f.w().lvListView().isHidden(), expectedTab != 1);
    QCOMPARE(f.client().txtMessageWindow().isHidden(), expectedTab != 2);
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

void UiHardeningTest::names_showAsTheyAre_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("name");
    for (const QString place : {"history title", "status bar"})
        for (const QString name : {R"(<b>x</b>&"')", "&lt;i&gt; a &amp; b", "two\nlines"})
            QTest::newRow(qPrintable(place + ": " + name)) << place << name;
}

// Aliases and descriptions are data: whatever they hold shows letter for letter.
void UiHardeningTest::names_showAsTheyAre() {
    QFETCH(QString, place);
    QFETCH(QString, name);
    LoopbackWindow f(name);
    f.client().tvTreeView_NodeClick(f.tree().node("127.0.0.1"));
    f.client().TabStrip1_Click(3);
    const auto* label =
        f.w().findChild<QLabel*>(place == "status bar" ? "Ready" : "lblHistoryTitle");
    QString expected = place == "status bar" ? "Check in progress... (" + name + ")" : name;
    f.face().setStatusPanel(1, expected);
    QTRY_COMPARE(label->text(), expected);
    QCOMPARE(shown(label->text(), label->textFormat()), expected);
    QCOMPARE(shown(label->toolTip()), place == "status bar" ? expected : QString());
}

ORVEX_TEST_MAIN(UiHardeningTest)
#include "tst_ui_hardening.moc"
