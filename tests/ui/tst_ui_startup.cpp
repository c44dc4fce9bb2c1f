#include "app/MainStartup.h"
#include "core/AppInfo.h"
#include "core/RuntimeError.h"
#include "report/frmSplash.h"
#include "SeededDatabase.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"
#include "ui/main/MainClientArea.h"
#include "ui/main/TrayIcon.h"

class UiStartupTest : public QObject {
    Q_OBJECT

private slots:
    void show_namesPlacesAndShowsTheWindow();
    void autoStart_switchesMonitoringOnAfterTheWindowShows();
    void geometryNotANumber_isAStartupError();
};

namespace {
struct Started {
    explicit Started(TestContext& t)
        : data(t.programFile("OrvexMonitor.mdb"))
        , splash(new frmSplash)
        , startup(*t, data.db, splash) {
        t->state().DatabasePath = t.programFile("OrvexMonitor.mdb");
        splash->show();
    }
    ~Started() { delete splash; }

    SeededDatabase data;
    QPointer<frmSplash> splash; // closing deletes it
    MainStartup startup;
};
} // namespace

void UiStartupTest::show_namesPlacesAndShowsTheWindow() {
    TestContext t;
    t->settings().SaveSetting("Settings", "MainLeft", "1500");
    t->settings().SaveSetting("Settings", "MainTop", "1200");
    t->settings().SaveSetting("Settings", "MainWidth", "9000");
    t->settings().SaveSetting("Settings", "MainHeight", "7500");
    Started s(t);

    std::unique_ptr<frmMain> w = s.startup.createMainForm();
    QCOMPARE(s.splash->progress(), QString("Updating Devices"));
    QCOMPARE(t->state().StartupComplete, qint16(0));
    QVERIFY(!w->isVisible());

    s.startup.show(*w);
    QCOMPARE(w->windowTitle(), QString("IP Orvex Monitor 2.0 - OrvexMonitor.mdb"));
    QVERIFY(!s.splash->isVisible());
    QCOMPARE(t->state().StartupComplete, qint16(1));
    QVERIFY(w->isVisible());
    const double tpp = w->clientArea().twipsPerPixel();
    QVERIFY(qAbs(w->width() * tpp - 9000) <= tpp);
    QVERIFY(qAbs(w->height() * tpp - 7500) <= tpp);
    QVERIFY(w->face().tray().isInTray());
    QCOMPARE(w->face().tray().tip(), AppInfo::Title + " - Monitoring OFF.");
    QVERIFY(w->face().engine());
}

void UiStartupTest::autoStart_switchesMonitoringOnAfterTheWindowShows() {
    TestContext t;
    t->settings().SaveSetting("Options", "AutoStart", "1");
    Started s(t);
    std::unique_ptr<frmMain> w = s.startup.createMainForm();
    s.startup.show(*w);
    // Nothing yet: the switch comes once the window has been up for a moment. With an empty
    // tree the cycle refuses, which shows that it was asked.
    QVERIFY(t.assistant.spoken.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(t.assistant.spoken.size(), 2, 10000);
    QCOMPARE(t.assistant.spoken.at(0).text,
             QString("Monitoring can not be enabled at this time because there are no devices "
                     "to verify."));
}

void UiStartupTest::geometryNotANumber_isAStartupError() {
    TestContext t;
    t->settings().SaveSetting("Settings", "MainWidth", "wide");
    Started s(t);
    std::unique_ptr<frmMain> w = s.startup.createMainForm();
    QVERIFY_THROWS_EXCEPTION(RuntimeError, s.startup.show(*w));
    QCOMPARE(t->state().StartupComplete, qint16(0));
    QVERIFY(!w->isVisible());
}

ORVEX_TEST_MAIN(UiStartupTest)
#include "tst_ui_startup.moc"
