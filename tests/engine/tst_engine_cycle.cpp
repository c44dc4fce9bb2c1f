#include "CycleTestSupport.h"
#include "engine/NotificationDispatch.h"
#include "EngineTestSupport.h"
#include "report/HtmlPage.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QFile>

namespace {
QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

// The monitoring cycle and the end-of-cycle dispatch on a real database, with check passes
// that record scripted outcomes and a stand-in for the mail control.
class CycleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void targetLists_pingRowExactlyOthersArePorts();
    void initialize_withoutDevicesRefusesAndLogsNothing();
    void cycle_runsAtOnceThenCountsDown_data();
    void cycle_runsAtOnceThenCountsDown();
    void minutesStored_countdownRestartsFromThem_data();
    void minutesStored_countdownRestartsFromThem();
    void stop_betweenCyclesStopsTimer();
    void stop_duringCycleCompletesCycleAndStaysOff();
    void offAndOnDuringCycle_noSecondCycleInside();
    void offAndOnDuringMailWait_noSecondCycleInside();
    void failingSixCycles_loggedSixTimesMailedOnce();
    void failingTwiceThenRecovering_noMail();
    void recoveryAfterMail_mailsAndClearsMailStatus();
    void sendOnFailureOff_noMailNoMailStatus();
    void showCharacterOff_noAnnouncement();
    void quietCycle_saysAndSendsNothing();
    void mailError_lineBreaksInReply_oneLogLine_data();
    void mailError_lineBreaksInReply_oneLogLine();
    void twoRecipients_sentOneAfterTheOther();
    void announce_spellsAddressesWithMapTags();
    void recoveredCount_countsDownThenResets();
    void errorReport_nothingRunsBehindItsBox();
    void desktopNotification_onePerCycleWithChanges_data();
    void desktopNotification_onePerCycleWithChanges();

private:
    void failCycles(const QString& device, int cycles);
    QStringList logLines(const QString& kind) const;
    // Whether a ping pass starts, or a mail is finished, within the time given.
    bool pingedWithin(int ms);
    bool mailedWithin(int ms);
    // Whether the countdown shows a new text or starts a pass within so many minutes.
    bool tickedWithin(int minutes);

    std::unique_ptr<TestContext> t;
    std::unique_ptr<ScratchDatabase> s;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<RecordingMonitorView> monitorView;
    std::unique_ptr<ResultRecording> recording;
    std::unique_ptr<HtmlPage> page;
    std::unique_ptr<NotificationDispatch> dispatch;
    std::unique_ptr<ScriptedChecks> checks;
    std::unique_ptr<MonitorCycle> cycle;
    std::unique_ptr<FakeMailControl> mail;
};

void CycleTest::initTestCase() {
    qputenv("ORVEX_MINUTE_MS", "40");
}

void CycleTest::init() {
    t = std::make_unique<TestContext>();
    QFile log(t->programFile("OrvexMonitor.txt"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    s = std::make_unique<ScratchDatabase>();
    view = std::make_unique<RecordingView>();
    monitorView = std::make_unique<RecordingMonitorView>();
    recording = std::make_unique<ResultRecording>(**t, s->db, *view);
    page = std::make_unique<HtmlPage>(**t, s->db);
    dispatch = std::make_unique<NotificationDispatch>(**t, s->db, *monitorView, *recording, *page);
    checks = std::make_unique<ScriptedChecks>(*recording);
    cycle = std::make_unique<MonitorCycle>(**t, s->db, *view, *monitorView, *checks, *dispatch);
    mail = std::make_unique<FakeMailControl>();
    dispatch->setMailControl(mail.get());
    (*t)->settings().SaveSetting("Mail Options", "MailTo", "ops@example.com");
}

void CycleTest::cleanup() {
    cycle.reset();
    dispatch.reset();
}

QStringList CycleTest::logLines(const QString& kind) const {
    return readFile(t->programFile("OrvexMonitor.txt"))
        .split("\r\n")
        .filter(QStringLiteral(" ") + kind + QStringLiteral("..."));
}

bool CycleTest::pingedWithin(int ms) {
    return QSignalSpy(checks.get(), &ScriptedChecks::pinged).wait(ms);
}

bool CycleTest::tickedWithin(int minutes) {
    const qsizetype panels = view->panels.size();
    const qsizetype passes = checks->pingLists.size();
    return QTest::qWaitFor(
        [&] { return view->panels.size() > panels || checks->pingLists.size() > passes; },
        minutes * MonitorCycle::minuteMilliseconds());
}

bool CycleTest::mailedWithin(int ms) {
    QSignalSpy completions(mail.get(), &FakeMailControl::SendComplete);
    QSignalSpy errors(mail.get(), &FakeMailControl::SendError);
    return completions.wait(ms) || !errors.isEmpty();
}

void CycleTest::failCycles(const QString& device, int cycles) {
    checks->down.insert(device);
    for (int i = 0; i < cycles; ++i) {
        QStringList targets{device};
        checks->Check_Ping(targets);
        dispatch->Monitor_Finish();
    }
}

void CycleTest::targetLists_pingRowExactlyOthersArePorts() {
    s->addDevice("b-host");
    s->addItem("b-host", "Ping");
    s->addItem("b-host", "80");
    s->addItem("b-host", "25");
    s->addDevice("a-host");
    s->addItem("a-host", "ping");
    s->addDevice("lonely");
    (*t)->settings().SaveSetting("Options", "Min_Between_Checks", "5");
    cycle->Monitor_Initialize();
    QTRY_COMPARE(checks->portLists.size(), 1);
    QCOMPARE(checks->pingLists, QList<QStringList>{QStringList{"b-host"}});
    QStringList ports = checks->portLists.first();
    QCOMPARE(ports.first(), QString("a-host:ping"));
    ports.sort();
    QCOMPARE(ports, (QStringList{"a-host:ping", "b-host:25", "b-host:80"}));
    QTRY_VERIFY(cycle->DeviceList.isEmpty() && cycle->PortList.isEmpty());
}

void CycleTest::initialize_withoutDevicesRefusesAndLogsNothing() {
    monitorView->nodes = 1;
    cycle->Monitor_Initialize();
    QCOMPARE(t->assistant.texts(),
             (QStringList{"Monitoring can not be enabled at this time because there are no "
                          "devices to verify.",
                          "Right-click on 'Monitored Devices' and select 'Add Device' from the "
                          "popup menu."}));
    QCOMPARE(t->assistant.spoken.at(0).animation, QString("Decline"));
    QCOMPARE(t->assistant.spoken.at(1).animation, QString("Suggest"));
    QCOMPARE(monitorView->states, QList<MonitoringState>{MonitoringState::Off});
    QVERIFY(!(*t)->state().MonitoringOn);
    QVERIFY(!tickedWithin(3));
    QCOMPARE(readFile(t->programFile("OrvexMonitor.txt")), QString());
}

void CycleTest::cycle_runsAtOnceThenCountsDown_data() {
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QStringList>("panels");
    QTest::newRow("five") << "5"
                          << QStringList{"Next Check In 5 Minutes.", "Next Check In 4 Minutes.",
                                         "Next Check In 3 Minutes.", "Next Check In 2 Minutes.",
                                         "Next Check In 1 Minute.",  "Next Check In 5 Minutes."};
    QTest::newRow("one") << "1"
                         << QStringList{"Next Check In 1 Minute.", "Next Check In 1 Minute.",
                                        "Next Check In 1 Minute."};
}

void CycleTest::cycle_runsAtOnceThenCountsDown() {
    QFETCH(QString, minutes);
    QFETCH(QStringList, panels);
    (*t)->settings().SaveSetting("Options", "Min_Between_Checks", minutes);
    s->addDevice("host");
    s->addItem("host", "Ping");
    cycle->Monitor_Initialize();
    QVERIFY((*t)->state().MonitoringOn);
    QCOMPARE(monitorView->states, QList<MonitoringState>{MonitoringState::Waiting});
    QVERIFY(view->panels.contains("2:Monitoring is on."));
    QCOMPARE(logLines("Message").size(), 1);
    QVERIFY(logLines("Message").first().endsWith("Message...Monitoring Started."));

    QStringList countdown;
    QTRY_VERIFY_WITH_TIMEOUT(
        (countdown = view->panels.filter("1:Next Check In")).size() >= panels.size(), 5000);
    cycle->Monitor_Stop();
    for (QString& panel : countdown)
        panel.remove(0, 2);
    QCOMPARE(countdown.mid(0, panels.size()), panels);
    // Every cycle shows its progress and the check-in-progress tray picture.
    QVERIFY(view->panels.contains("1:Check in progress..."));
    QVERIFY(checks->pingLists.size() >= 2);
}

void CycleTest::minutesStored_countdownRestartsFromThem_data() {
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<QString>("next"); // empty: the countdown goes on
    QTest::newRow("a new interval") << qint64(12) << "Next Check In 12 Minutes.";
    QTest::newRow("the same interval again") << qint64(30) << "Next Check In 30 Minutes.";
    QTest::newRow("beyond what the cycle counts") << qint64(40000) << "";
}

void CycleTest::minutesStored_countdownRestartsFromThem() {
    QFETCH(qint64, stored);
    QFETCH(QString, next);
    (*t)->settings().SaveSetting("Options", "Min_Between_Checks", "30");
    s->addDevice("host");
    s->addItem("host", "Ping");
    cycle->Monitor_Initialize();
    QTRY_VERIFY_WITH_TIMEOUT(!view->panels.filter("1:Next Check In").isEmpty(), 5000);
    const QStringList before = view->panels.filter("1:Next Check In");

    (*t)->catalogue().set(Key::MinBetweenChecks, stored);

    QStringList after;
    QTRY_VERIFY_WITH_TIMEOUT(
        (after = view->panels.filter("1:Next Check In")).size() > before.size(), 5000);
    cycle->Monitor_Stop();
    const int left = before.last().split(' ').at(3).toInt();
    QCOMPARE(after.at(before.size()).mid(2),
             next.isEmpty() ? QString("Next Check In %1 Minutes.").arg(left - 1) : next);
}

void CycleTest::stop_betweenCyclesStopsTimer() {
    s->addDevice("host");
    s->addItem("host", "Ping");
    cycle->Monitor_Initialize();
    QTRY_COMPARE(checks->pingLists.size(), 1);
    cycle->Monitor_Stop();
    QVERIFY(!tickedWithin(3));
    QCOMPARE(monitorView->tray, TrayState::Idle);
    QCOMPARE(monitorView->trayTip, QString("IP Orvex Monitor 2.0 - Monitoring OFF."));
    QVERIFY(view->panels.endsWith("2:Monitoring is off."));
    QCOMPARE(t->assistant.spoken.last().animation, QString("Sad"));
    QVERIFY(logLines("Message").last().endsWith("Message...Monitoring Stopped."));
    QVERIFY(!pingedWithin(200));
    QCOMPARE(checks->pingLists.size(), 1);

    // On again: a new cycle starts at once.
    cycle->Monitor_Initialize();
    QTRY_COMPARE(checks->pingLists.size(), 2);
    cycle->Monitor_Stop();
}

void CycleTest::stop_duringCycleCompletesCycleAndStaysOff() {
    s->addDevice("host");
    s->addItem("host", "Ping");
    s->addItem("host", "22");
    checks->duringPing = [&] { cycle->Monitor_Stop(); };
    cycle->Monitor_Initialize();
    QTRY_COMPARE(checks->pingLists.size(), 1);
    QTRY_COMPARE(monitorView->iconPasses, 1); // the cycle ran to its end
    QVERIFY(!(*t)->state().CheckInProgress);
    QVERIFY(!pingedWithin(200));
    QVERIFY(!tickedWithin(3));
    QCOMPARE(checks->pingLists.size(), 1);
}

void CycleTest::offAndOnDuringCycle_noSecondCycleInside() {
    s->addDevice("host");
    s->addItem("host", "Ping");
    int depth = 0;
    int deepest = 0;
    checks->duringPing = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (checks->pingLists.size() == 1) {
            // Off and on again from the assistant while the first cycle is still running.
            cycle->Monitor_Stop();
            cycle->Monitor_Initialize();
            pingedWithin(100); // the pass goes on meanwhile; deepest tells what ran inside
        }
        --depth;
    };
    cycle->Monitor_Initialize();
    QTRY_COMPARE(checks->pingLists.size(), 1);
    QTRY_COMPARE(monitorView->iconPasses, 1);
    QCOMPARE(deepest, 1);
    // The running cycle re-armed the countdown at the full minute, not at the 1 ms start.
    QTRY_VERIFY(view->panels.last().startsWith("1:Next Check In"));
    QVERIFY(!pingedWithin(100));
    QCOMPARE(checks->pingLists.size(), 1);
    cycle->Monitor_Stop();
}

void CycleTest::offAndOnDuringMailWait_noSecondCycleInside() {
    // The end of a cycle waits for the mail control between recipients; by then the cycle's
    // Stop is enabled again, so monitoring can be switched off and on during that wait.
    (*t)->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    (*t)->settings().SaveSetting("Mail Options", "SendOnConsecutiveFailure", "1");
    (*t)->settings().SaveSetting("Mail Options", "MailTo", "a@example.com;b@example.com");
    s->addDevice("host");
    s->addItem("host", "Ping");
    checks->down.insert("host");
    int cyclesInsideWait = -1;
    bool switched = false;
    connect(mail.get(), &FakeMailControl::SendComplete, this, [&] {
        if (switched)
            return;
        switched = true;
        cycle->Monitor_Stop();
        cycle->Monitor_Initialize();
        const qsizetype before = checks->pingLists.size();
        pingedWithin(150);
        cyclesInsideWait = int(checks->pingLists.size() - before);
    });
    cycle->Monitor_Initialize();
    QTRY_VERIFY(switched);
    QTRY_VERIFY(cyclesInsideWait >= 0);
    QCOMPARE(cyclesInsideWait, 0);
    QTRY_COMPARE(mail->sent.size(), 2);
    cycle->Monitor_Stop();
}

void CycleTest::failingSixCycles_loggedSixTimesMailedOnce() {
    (*t)->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    s->addDevice("web1");
    s->addItem("web1", "Ping");
    failCycles("web1", 6);
    QTRY_COMPARE(mail->sent.size(), 1);
    QCOMPARE(logLines("Failure").size(), 6);
    QVERIFY(logLines("Failure").first().endsWith(
        "Failure...WEB1 port Ping because request timed out."));
    const auto surprised = std::count_if(
        t->assistant.spoken.cbegin(), t->assistant.spoken.cend(),
        [](const SpokenText& s) { return s.animation == QLatin1String("Surprised"); });
    QCOMPARE(surprised, 6);
    QVERIFY(s->item("web1", "Ping", "Mail_Status").toString().startsWith("Sent "));
    QCOMPARE(mail->subjects.first(), QString("IP Orvex Monitor 2.0 Message: Activity Detected"));
    const QStringList body = mail->bodies.first().split("\r\n");
    QCOMPARE(body.at(0), QString());
    QVERIFY(body.at(1).startsWith("Summary:  1 devices failed, 0 devices recovered on "));
    QCOMPARE(body.at(3), QString("The following devices have failed 5 consecutive times:"));
    QCOMPARE(body.at(5), QString("WEB1 port Ping because request timed out"));
    QCOMPARE(body.at(7),
             QString("Device failure notification is currently set at 5 consecutive failures."));
    QTRY_COMPARE(logLines("Message").size(), 1);
    QVERIFY(logLines("Message").first().endsWith(
        "Message...A mail message was sent because device activity was detected."));
}

void CycleTest::failingTwiceThenRecovering_noMail() {
    (*t)->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    s->addDevice("db", "Database Server");
    s->addItem("db", "Ping");
    failCycles("db", 2);
    checks->down.clear();
    QStringList targets{"db"};
    checks->Check_Ping(targets);
    dispatch->Monitor_Finish();
    QCOMPARE(logLines("Failure").size(), 2);
    QCOMPARE(logLines("Recovery").size(), 1);
    QVERIFY(
        logLines("Recovery").first().endsWith("Recovery...DATABASE SERVER port Ping recovered."));
    QVERIFY(!mailedWithin(100));
    QVERIFY(mail->sent.isEmpty());
    QCOMPARE(t->assistant.spoken.last().animation, QString("Pleased"));
}

void CycleTest::recoveryAfterMail_mailsAndClearsMailStatus() {
    (*t)->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    (*t)->settings().SaveSetting("Mail Options", "SendOnConsecutiveFailure", "2");
    s->addDevice("10.0.0.9");
    s->addItem("10.0.0.9", "Ping");
    failCycles("10.0.0.9", 2);
    QTRY_COMPARE(mail->sent.size(), 1);
    checks->down.clear();
    QStringList targets{"10.0.0.9"};
    checks->Check_Ping(targets);
    dispatch->Monitor_Finish();
    QTRY_COMPARE(mail->sent.size(), 2);
    QVERIFY(mail->bodies.last().contains("The following devices have recovered:\r\n\r\n"
                                         "10.0.0.9 port Ping\r\n"));
    QCOMPARE(s->item("10.0.0.9", "Ping", "Mail_Status").toString(), QString("N/A"));
    QCOMPARE(s->item("10.0.0.9", "Ping", "Count").toInt(), -1);
}

void CycleTest::sendOnFailureOff_noMailNoMailStatus() {
    s->addDevice("web1");
    s->addItem("web1", "Ping");
    failCycles("web1", 6);
    QVERIFY(!mailedWithin(100));
    QVERIFY(mail->sent.isEmpty());
    QCOMPARE(s->item("web1", "Ping", "Mail_Status").toString(), QString("N/A"));
    QCOMPARE(logLines("Failure").size(), 6);
}

void CycleTest::showCharacterOff_noAnnouncement() {
    (*t)->settings().SaveSetting("MSAgent", "ShowCharacter", "0");
    (*t)->settings().SaveSetting("MSAgent", "AnnounceDate", "1");
    s->addDevice("web1");
    s->addItem("web1", "Ping");
    failCycles("web1", 1);
    QVERIFY(t->assistant.spoken.isEmpty());
    QCOMPARE(logLines("Failure").size(), 1);
}

void CycleTest::quietCycle_saysAndSendsNothing() {
    (*t)->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    s->addDevice("web1");
    s->addItem("web1", "Ping");
    QStringList targets{"web1"};
    checks->Check_Ping(targets);
    dispatch->Monitor_Finish();
    QVERIFY(!mailedWithin(100));
    QVERIFY(t->assistant.spoken.isEmpty());
    QVERIFY(mail->sent.isEmpty());
    QCOMPARE(monitorView->iconPasses, 1);
    QCOMPARE(monitorView->listRefreshes, 1);
    // With monitoring off the end of the check leaves the commands of monitoring off.
    QCOMPARE(monitorView->states, QList<MonitoringState>{MonitoringState::Off});
}

void CycleTest::mailError_lineBreaksInReply_oneLogLine_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("logged");
    QTest::newRow("reply with its line break")
        << "550 Mailbox unavailable\r\n"
        << "The mail message was not sent because 550 mailbox unavailable.";
    QTest::newRow("multi-line reply")
        << "550-Relaying denied\r\n550 Policy rejection\r\n"
        << "The mail message was not sent because 550-relaying denied 550 policy rejection.";
    QTest::newRow("switch to the secondary server")
        << "554 Transaction failed\r\n. Trying Secondary Mail Server"
        << "The mail message was not sent because 554 transaction failed. trying secondary "
           "mail server.";
    QTest::newRow("one line") << "Connection refused"
                              << "The mail message was not sent because connection refused.";
}

void CycleTest::mailError_lineBreaksInReply_oneLogLine() {
    QFETCH(QString, description);
    QFETCH(QString, logged);
    dispatch->OrvexSMTP1_SendError(description);
    const QStringList file = readFile(t->programFile("OrvexMonitor.txt")).split("\r\n");
    QCOMPARE(file.size(), 2);
    QVERIFY2(file.first().endsWith(QStringLiteral(" Message...") + logged),
             qPrintable(file.first()));
    QCOMPARE(file.last(), QString());
    QCOMPARE((*t)->messageWindow().text(), file.join("\r\n"));
    QCOMPARE(t->assistant.texts().last(), logged);
}

void CycleTest::twoRecipients_sentOneAfterTheOther() {
    (*t)->settings().SaveSetting("Mail Options", "MailTo", "a@example.com;; b@example.com;");
    dispatch->SendMail("body", "subject");
    QTRY_COMPARE(mail->sent, (QStringList{"a@example.com", "b@example.com"}));
    QVERIFY(!mail->overlapped);

    mail->failWith = "Mail From Email can not be zero length";
    dispatch->SendMail("body", "subject");
    QTRY_VERIFY(logLines("Message").size() >= 3);
    QVERIFY(logLines("Message").last().endsWith(
        "The mail message was not sent because mail from email can not be zero length."));
    QCOMPARE(t->assistant.spoken.last().animation, QString("Confused"));
}

void CycleTest::announce_spellsAddressesWithMapTags() {
    FailureList failures{{"10.0.0.1", "80", "the attempt to connect timed out"}};
    QCOMPARE(NotificationDispatch::failureSpeech(failures),
             QString("There was a problem connecting to the following devices:  "
                     "\\map=\"10\\pau=50\\ dot \\pau=25\\0\\pau=50\\ dot \\pau=25\\0\\pau=50\\ "
                     "dot \\pau=25\\1\"=\"10.0.0.1\"\\ port 80 because the attempt to connect "
                     "timed out.\\pau=800\\"));
    RecoveryList recoveries{{"web", "Ping"}};
    QCOMPARE(NotificationDispatch::recoverySpeech(recoveries),
             QString("The following devices have recovered:  \\map=\"web\"=\"web\"\\ port "
                     "Ping.\\pau=800\\"));
}

void CycleTest::recoveredCount_countsDownThenResets() {
    (*t)->settings().SaveSetting("Options", "ResetIcon", "2");
    s->addDevice("h");
    s->addItem("h", "Ping");
    failCycles("h", 1);
    checks->down.clear();
    QList<int> counts;
    for (int i = 0; i < 5; ++i) {
        QStringList targets{"h"};
        checks->Check_Ping(targets);
        dispatch->Monitor_Finish();
        counts << s->item("h", "Ping", "Count").toInt();
    }
    QCOMPARE(counts, (QList<int>{-1, -2, -3, 0, 0}));
    QCOMPARE(logLines("Recovery").size(), 1);
}

namespace {
// The error report's box as a person meets it: it stays open for a while, and the event loop
// runs meanwhile. A box opened while another is up closes at once, so a fault shows as a count.
class LingeringBox final : public UserDialogs {
public:
    void message(const QString& text, MessageIcon, const QString&) override {
        texts << text;
        if (++depth == 1)
            QTest::qWait(10 * MonitorCycle::minuteMilliseconds());
        --depth;
    }
    bool askYesNo(const QString&, const QString&, MessageIcon) override { return false; }
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QStringList texts;
    int depth = 0;
};
} // namespace

// A countdown that is no number ends the program after the first cycle. While the report is
// up, no minute ticks, no further cycle runs and no second report opens.
void CycleTest::errorReport_nothingRunsBehindItsBox() {
    LingeringBox box;
    (*t)->setDialogs(&box);
    const auto restore = qScopeGuard([&] { (*t)->setDialogs(&t->dialogs); });
    (*t)->settings().SaveSetting("Options", "Min_Between_Checks", "abc");
    s->addDevice("host");
    s->addItem("host", "Ping");
    cycle->Monitor_Initialize();
    QTRY_COMPARE(t->end.codes, QVector<int>{1});
    QCOMPARE(box.texts.size(), 1);
    QVERIFY(box.texts.first().contains("An error has occured in the Timer1_Timer subroutine."));
    QCOMPARE(checks->pingLists.size(), 1);
    QVERIFY(!tickedWithin(3));
    QVERIFY(!(*t)->state().MonitoringOn);
}

// One notification a cycle, summing up its failures and recoveries; none for a quiet cycle or
// when switched off.
void CycleTest::desktopNotification_onePerCycleWithChanges_data() {
    QTest::addColumn<int>("devices");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("lastTextLines");
    const QString title = "IP Orvex Monitor 2.0: ";
    QTest::newRow("one failure, then its recovery")
        << 1 << "" << QStringList{title + "1 failed", title + "1 recovered"} << 1;
    QTest::newRow("seven failures shown as five lines")
        << 7 << "1" << QStringList{title + "7 failed", title + "7 recovered"} << 5;
    QTest::newRow("switched off") << 1 << "0" << QStringList{} << 0;
    QTest::newRow("quiet cycles") << 0 << "1" << QStringList{} << 0;
}

void CycleTest::desktopNotification_onePerCycleWithChanges() {
    QFETCH(int, devices);
    QFETCH(QString, setting);
    QFETCH(QStringList, titles);
    QFETCH(int, lastTextLines);
    if (!setting.isEmpty())
        (*t)->settings().SaveSetting("Options", "DesktopNotify", setting);
    QStringList targets{"quiet"};
    s->addDevice("quiet");
    s->addItem("quiet", "Ping");
    for (int i = 0; i < devices; ++i) {
        const QString name = QString("host%1").arg(i);
        s->addDevice(name);
        s->addItem(name, "Ping");
        targets << name;
        checks->down.insert(name);
    }
    for (int cycle = 0; cycle < 2; ++cycle) {
        QStringList list = targets;
        checks->Check_Ping(list);
        dispatch->Monitor_Finish();
        checks->down.clear();
    }
    QStringList shownTitles;
    for (const QString& n : monitorView->notifications)
        shownTitles << n.section('|', 0, 0);
    QCOMPARE(shownTitles, titles);
    if (titles.isEmpty())
        return;
    const QStringList first = monitorView->notifications.first().section('|', 1).split('\n');
    QCOMPARE(first.first().section(": ", 0, 0), QString("HOST0 port Ping failed"));
    const QStringList last = monitorView->notifications.last().section('|', 1).split('\n');
    QCOMPARE(last.size(), lastTextLines);
    QCOMPARE(last.last(), devices > 5 ? QString("and %1 more").arg(devices - 4)
                                      : QString("HOST0 port Ping recovered"));
}

ORVEX_TEST_GUILESS_MAIN(CycleTest)
#include "tst_engine_cycle.moc"
