#include "CycleTestSupport.h"
#include "engine/NotificationDispatch.h"
#include "EngineTestSupport.h"
#include "report/HtmlPage.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QFile>

// When the cycle and the dispatch let the assistant drop what is no longer worth saying: the
// rest of the previous announcement when a new one begins, everything unsaid when monitoring
// stops.
class AnnounceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("ORVEX_MINUTE_MS", "40"); }
    void init() {
        t = std::make_unique<TestContext>();
        QFile log(t->programFile("OrvexMonitor.txt")); // a missing log file is spoken of
        QVERIFY(log.open(QIODevice::WriteOnly));
        s = std::make_unique<ScratchDatabase>();
        view = std::make_unique<RecordingView>();
        monitorView = std::make_unique<RecordingMonitorView>();
        recording = std::make_unique<ResultRecording>(**t, s->db, *view);
        page = std::make_unique<HtmlPage>(**t, s->db);
        dispatch =
            std::make_unique<NotificationDispatch>(**t, s->db, *monitorView, *recording, *page);
        checks = std::make_unique<ScriptedChecks>(*recording);
        cycle = std::make_unique<MonitorCycle>(**t, s->db, *view, *monitorView, *checks, *dispatch);
        s->addDevice("web1");
        s->addItem("web1", "Ping");
    }
    void cleanup() {
        cycle.reset();
        dispatch.reset();
    }

    void announcement_dropsThePreviousOneBeforeItsFirstWords_data() {
        QTest::addColumn<bool>("failing");
        QTest::addColumn<bool>("recovering");
        QTest::addColumn<QString>("showCharacter");
        QTest::addColumn<QString>("announceDate");
        QTest::addColumn<QString>("firstWords");

        QTest::newRow("failure") << true << false << "1"
                                 << "0"
                                 << "There was a problem connecting";
        QTest::newRow("failure after the date") << true << false << "1"
                                                << "1"
                                                << "The date is";
        QTest::newRow("recovery") << false << true << "1"
                                  << "0"
                                  << "The following devices have recovered";
        QTest::newRow("nothing to say") << false << false << "1"
                                        << "1"
                                        << "";
        QTest::newRow("character not shown") << true << false << "0"
                                             << "0"
                                             << "";
    }
    void announcement_dropsThePreviousOneBeforeItsFirstWords() {
        QFETCH(bool, failing);
        QFETCH(bool, recovering);
        QFETCH(QString, showCharacter);
        QFETCH(QString, announceDate);
        QFETCH(QString, firstWords);
        if (recovering) {
            runCycle(true);
            t->assistant.spoken.clear();
            t->assistant.announcements.clear();
        }
        (*t)->settings().SaveSetting("MSAgent", "ShowCharacter", showCharacter);
        (*t)->settings().SaveSetting("MSAgent", "AnnounceDate", announceDate);
        t->assistant.spoken.append({"Said before.", "Explain", false});

        runCycle(failing);

        if (firstWords.isEmpty()) {
            QVERIFY(t->assistant.announcements.isEmpty());
            QCOMPARE(t->assistant.spoken.size(), 1);
            return;
        }
        // Once per announcement, after what was said before it and before its first words.
        QCOMPARE(t->assistant.announcements, QVector<qsizetype>{1});
        QVERIFY(t->assistant.spoken.size() > 1);
        QVERIFY(t->assistant.spoken.at(1).text.startsWith(firstWords));
        QVERIFY(t->assistant.drops.isEmpty());
    }

    void stop_dropsWhatIsUnsaidBeforeSayingSo() {
        cycle->Monitor_Initialize();
        QTRY_COMPARE(checks->pingLists.size(), 1);
        cycle->Monitor_Stop();
        QCOMPARE(t->assistant.spoken.last().text, QString("Monitoring is off."));
        QCOMPARE(t->assistant.drops, QVector<qsizetype>{t->assistant.spoken.size() - 1});
    }

private:
    void runCycle(bool failing) {
        checks->down.clear();
        if (failing)
            checks->down.insert("web1");
        QStringList targets{"web1"};
        checks->Check_Ping(targets);
        dispatch->Monitor_Finish();
    }

    std::unique_ptr<TestContext> t;
    std::unique_ptr<ScratchDatabase> s;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<RecordingMonitorView> monitorView;
    std::unique_ptr<ResultRecording> recording;
    std::unique_ptr<HtmlPage> page;
    std::unique_ptr<NotificationDispatch> dispatch;
    std::unique_ptr<ScriptedChecks> checks;
    std::unique_ptr<MonitorCycle> cycle;
};

ORVEX_TEST_GUILESS_MAIN(AnnounceTest)
#include "tst_engine_announce.moc"
