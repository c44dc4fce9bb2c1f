#include "character/AgentControl.h"
#include "character/CharacterWindow.h"
#include "character/WordBalloon.h"
#include "core/AppInfo.h"
#include "MouseEvents.h"
#include "report/Assistant.h"

#include "TestContext.h"
#include "TestMain.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

const QString Shipped = QStringLiteral(ORVEX_SOURCE_DIR "/data/characters");
constexpr int Long = 15000;

// One line per queued request, for comparing what MSAgentSpeak asked of the character.
QStringList requests(const AgentCharacter* character) {
    QStringList lines;
    for (const AgentRequest& request : character->pendingRequests()) {
        switch (request.kind) {
        case AgentRequest::Kind::Show:
            lines << "Show";
            break;
        case AgentRequest::Kind::Hide:
            lines << "Hide";
            break;
        case AgentRequest::Kind::Play:
            lines << "Play " + request.text;
            break;
        case AgentRequest::Kind::Speak:
            lines << "Speak " + request.text;
            break;
        case AgentRequest::Kind::MoveTo:
            lines << QStringLiteral("MoveTo %1,%2")
                         .arg(request.position.x())
                         .arg(request.position.y());
            break;
        }
    }
    return lines;
}

} // namespace

class TestAssistant : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_context = std::make_unique<TestContext>();
        m_assistant = std::make_unique<Assistant>(**m_context);
        (*m_context)->setAssistant(m_assistant.get());
    }
    void cleanup() {
        (*m_context)->setAssistant(nullptr);
        m_assistant.reset();
        m_context.reset();
    }

    void characterPath_isProgramFoldersChars() {
        QCOMPARE(m_assistant->CharacterPath(), m_context->programFile("chars"));
    }

    void loadMSAgent_fallsBackInOrderAndStoresWhatLoaded_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("damaged");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("storedAfter");

        const QStringList all{"merlin", "peedy", "robby", "genie"};
        QTest::newRow("stored character loads") << "genie" << all << QStringList{} << "Genie"
                                                << "genie";
        QTest::newRow("nothing stored") << "" << all << QStringList{} << "Merlin"
                                        << "";
        QTest::newRow("stored missing, first fallback")
            << "nobody" << all << QStringList{} << "Merlin"
            << "merlin";
        QTest::newRow("stored missing, later fallback")
            << "nobody" << QStringList{"genie", "peedy"} << QStringList{} << "Peedy"
            << "peedy";
        QTest::newRow("stored and first fallbacks damaged")
            << "peedy" << QStringList{"robby"} << QStringList{"peedy", "merlin"} << "Robby"
            << "robby";
    }
    void loadMSAgent_fallsBackInOrderAndStoresWhatLoaded() {
        QFETCH(QString, stored);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, damaged);
        QFETCH(QString, loaded);
        QFETCH(QString, storedAfter);
        install(installed);
        for (const QString& name : damaged)
            writeFile(charFile(name + ".acs"), "{\"format\": 1, \"name\": \"" + name.toUtf8());
        if (!stored.isEmpty())
            (*m_context)->settings().SaveSetting("MSAgent", "Character", stored);

        m_assistant->LoadMSAgent();

        QVERIFY(m_assistant->character());
        QCOMPARE(m_assistant->character()->name(), loaded);
        QCOMPARE((*m_context)->settings().GetSetting("MSAgent", "Character", ""), storedAfter);
        QVERIFY(m_context->dialogs.messages.isEmpty());
        QVERIFY(m_context->end.codes.isEmpty());
        QCOMPARE(m_assistant->character()->Commands().count(), 7);
    }

    void loadMSAgent_noLoadableCharacter_saysSoAndEnds() {
        install({});
        writeFile(charFile("merlin.acs"), "not a character");
        QSignalSpy unavailable(m_assistant.get(), &Assistant::agentUnavailable);

        m_assistant->LoadMSAgent();

        QVERIFY(!m_assistant->character());
        QCOMPARE(m_context->dialogs.messages.size(), 1);
        const ShownMessage& message = m_context->dialogs.messages.first();
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(message.caption, AppInfo::Title);
        QVERIFY(message.text.startsWith(
            AppInfo::Title +
            " was unable to load one of the following Microsoft Agent 2.0 "
            "characters.\r\n\r\n\t- Merlin\r\n\t- Peedy\r\n\t- Robby\r\n\t- Genie\r\n\r\n"
            "Please download a Microsoft Agent 2.0 character from "));
        QVERIFY(message.text.endsWith(
            ".\r\nThis program can not function without the required Microsoft Agent components."));
        QCOMPARE(unavailable.count(), 1);
        QCOMPARE(m_context->end.codes, QVector<int>{1});
    }

    void msAgentSpeak_queuesMoveShowPlaySpeakAndBlinks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stayInPlace");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one part, moved to the stored place")
            << "Monitoring Started." << false
            << QStringList{"MoveTo 300,200", "Show",
                           "Play Explain",   "Speak Monitoring Started.",
                           "Play Blink",     "Play Blink"};
        QTest::newRow("two parts, staying")
            << "First part.<BREAK>Second part." << true
            << QStringList{"Show",       "Play Explain",       "Speak First part.",
                           "Play Blink", "Speak Second part.", "Play Blink"};
        QTest::newRow("third part dropped")
            << "One<BREAK>Two<BREAK>Three" << true
            << QStringList{"Show",       "Play Explain", "Speak One",
                           "Play Blink", "Speak Two",    "Play Blink"};
        QTest::newRow("empty text")
            << "" << true
            << QStringList{"Show", "Play Explain", "Speak ", "Play Blink", "Play Blink"};
    }
    void msAgentSpeak_queuesMoveShowPlaySpeakAndBlinks() {
        QFETCH(QString, text);
        QFETCH(bool, stayInPlace);
        QFETCH(QStringList, expected);
        loadMerlin();
        (*m_context)->settings().SaveSetting("MSAgent", "Agent-X", "300");
        (*m_context)->settings().SaveSetting("MSAgent", "Agent-Y", "200");

        (*m_context)->speak(text, "Explain", stayInPlace);

        QCOMPARE(requests(m_assistant->character()), expected);
        QCOMPARE((*m_context)->state().SpeechText, text);
    }

    void msAgentSpeak_withoutCharacter_doesNothing() {
        (*m_context)->speak("Nobody listens.", "Explain", false);
        QVERIFY(m_context->end.codes.isEmpty());
        QVERIFY(m_context->dialogs.messages.isEmpty());
    }

    // A stored position that is no number is reported once; the report's own notice must not
    // read it again and report without end.
    void msAgentSpeak_badStoredPosition_isReportedOnce() {
        loadMerlin();
        (*m_context)->settings().SaveSetting("MSAgent", "Agent-X", "left");

        (*m_context)->speak("Hello.", "Explain", false);

        QCOMPARE(m_context->end.codes, QVector<int>{1});
        QCOMPARE(m_context->dialogs.messages.size(), 1);
        QVERIFY(m_context->dialogs.messages.first().text.contains("MSAgentSpeak"));
        QVERIFY(m_context->dialogs.messages.first().text.contains("Type mismatch"));
        // The report halts the program, so the character says nothing more, not even the
        // report's own notice.
        QVERIFY(!requests(m_assistant->character()).join(';').contains("Speak"));
    }

    void dragComplete_storesPosition_andNextSpeakReturnsThere() {
        loadMerlin();
        AgentCharacter* character = m_assistant->character();
        character->MoveTo(100, 100);
        character->Show();
        QTRY_VERIFY_WITH_TIMEOUT(!character->isBusy(), Long);

        QWidget* window = character->window();
        const QPoint grab(140, 150);
        sendMouse(window, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseMove, grab + QPoint(200, 100), Qt::NoButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseButtonRelease, grab + QPoint(200, 100), Qt::LeftButton,
                  Qt::NoButton);

        QCOMPARE((*m_context)->settings().GetSetting("MSAgent", "Agent-X", ""),
                 QStringLiteral("300"));
        QCOMPARE((*m_context)->settings().GetSetting("MSAgent", "Agent-Y", ""),
                 QStringLiteral("200"));

        character->MoveTo(20, 30);
        QTRY_VERIFY_WITH_TIMEOUT(!character->isBusy(), Long);
        (*m_context)->speak("Back again.", "Greet", false);
        QCOMPARE(requests(character).first(), QStringLiteral("MoveTo 300,200"));
        QTRY_VERIFY_WITH_TIMEOUT(!character->isBusy(), Long);
        QCOMPARE(QPoint(character->Left(), character->Top()), QPoint(300, 200));
    }

    // What a new announcement or the end of monitoring leaves of the speech still waiting.
    void unsaidSpeech_isDropped_data() {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<bool>("oldOneBegun");
        QTest::addColumn<QStringList>("spokenAfter");
        QTest::newRow("new announcement")
            << false << false
            << QStringList{"Speak Monitoring is on.", "Speak Now two devices fail."};
        QTest::newRow("new announcement while the old one is spoken")
            << false << true
            << QStringList{"Speak One device fails.", "Speak Now two devices fail."};
        QTest::newRow("monitoring stops")
            << true << false << QStringList{"Speak Monitoring is off."};
    }
    void unsaidSpeech_isDropped() {
        QFETCH(bool, stop);
        QFETCH(bool, oldOneBegun);
        QFETCH(QStringList, spokenAfter);
        loadMerlin();
        AgentCharacter* character = m_assistant->character();
        (*m_context)->speak("Monitoring is on.", "Explain", false);
        m_assistant->beginAnnouncement();
        (*m_context)->speak("One device fails.", "Surprised", false);
        if (oldOneBegun)
            QTRY_COMPARE_WITH_TIMEOUT(requests(character).value(0),
                                      QStringLiteral("Speak One device fails."), Long);

        if (stop) {
            m_assistant->dropUnspoken();
            (*m_context)->speak("Monitoring is off.", "Sad", false);
        } else {
            m_assistant->beginAnnouncement();
            (*m_context)->speak("Now two devices fail.", "Surprised", false);
        }
        QCOMPARE(requests(character).filter(QRegularExpression("^Speak ")), spokenAfter);
    }

    // "Monitoring Off" from the character: its acknowledgement still plays, the notices that
    // were waiting do not.
    void monitoringOffCommand_keepsItsAcknowledgement() {
        loadMerlin();
        connect(m_assistant.get(), &Assistant::monitoringOffRequested, this, [this] {
            m_assistant->dropUnspoken();
            (*m_context)->speak("Monitoring is off.", "Sad", false);
        });
        (*m_context)->speak("One device fails.", "Surprised", false);
        m_assistant->Agent1_Command("Monitoring Off");
        const QStringList queued = requests(m_assistant->character());
        QCOMPARE(queued.first(), QStringLiteral("Play Acknowledge"));
        QCOMPARE(queued.filter(QRegularExpression("^Speak ")),
                 QStringList{"Speak Monitoring is off."});
    }

    void command_actions_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<QString>("opened");

        QTest::newRow("Restore") << "Restore" << false << 0 << "restore" << QStringList{} << "";
        QTest::newRow("Minimize") << "Minimize" << false << 0 << "minimize" << QStringList{} << "";
        QTest::newRow("Monitoring On")
            << "Monitoring On" << false << 0 << "on" << QStringList{"Play Acknowledge"} << "";
        QTest::newRow("Monitoring Off")
            << "Monitoring Off" << true << 0 << "off" << QStringList{"Play Acknowledge"} << "";
        QTest::newRow("status, no problems")
            << "Monitoring Status" << true << 0 << ""
            << QStringList{"Show", "Play Pleased", "Speak There are currently 0 problems detected.",
                           "Play Blink", "Play Blink"}
            << "";
        QTest::newRow("status, problems")
            << "Monitoring Status" << true << 3 << ""
            << QStringList{"Show", "Play Sad", "Speak There are currently 3 problems detected.",
                           "Play Blink", "Play Blink"}
            << "";
        QTest::newRow("status while off")
            << "Monitoring Status" << false << 3 << ""
            << QStringList{"Show", "Play Decline",
                           "Speak No status is available because monitoring is currently off.",
                           "Play Blink", "Play Blink"}
            << "";
        QTest::newRow("Show HTML Output")
            << "Show HTML Output" << false << 0 << "" << QStringList{"Play Acknowledge"} << "html";
        QTest::newRow("Show Log File")
            << "Show Log File" << false << 0 << "" << QStringList{"Play Acknowledge"} << "log";
        QTest::newRow("unknown") << "Dance" << true << 0 << "" << QStringList{} << "";
    }
    void command_actions() {
        QFETCH(QString, command);
        QFETCH(bool, monitoring);
        QFETCH(int, problems);
        QFETCH(QString, signal);
        QFETCH(QStringList, queued);
        QFETCH(QString, opened);
        loadMerlin();
        (*m_context)->state().MonitoringOn = monitoring;
        m_assistant->setProblemCounter([problems] { return problems; });
        const QString log = m_context->programFile("OrvexMonitor.txt");
        writeFile(log, "a line\r\n");
        QSignalSpy restore(m_assistant.get(), &Assistant::restoreRequested);
        QSignalSpy minimize(m_assistant.get(), &Assistant::minimizeRequested);
        QSignalSpy on(m_assistant.get(), &Assistant::monitoringOnRequested);
        QSignalSpy off(m_assistant.get(), &Assistant::monitoringOffRequested);

        // Chosen from the character's menu, as the person at the screen would.
        emit m_assistant->character()->Command(command);

        QCOMPARE(restore.count(), signal == "restore" ? 1 : 0);
        QCOMPARE(minimize.count(), signal == "minimize" ? 1 : 0);
        QCOMPARE(on.count(), signal == "on" ? 1 : 0);
        QCOMPARE(off.count(), signal == "off" ? 1 : 0);
        QCOMPARE(requests(m_assistant->character()), queued);
        QStringList expectedOpened;
        if (opened == "html")
            expectedOpened << m_context->programFile("OrvexMonitor.html");
        else if (opened == "log")
            expectedOpened << "file://" + log;
        QCOMPARE(m_context->shell.opened, expectedOpened);
        QVERIFY(m_context->end.codes.isEmpty());
    }

    void command_showLogFile_missingFileIsExplained() {
        loadMerlin();
        emit m_assistant->character()->Command("Show Log File");
        QVERIFY(m_context->shell.opened.isEmpty());
        QCOMPARE(m_context->dialogs.messages.size(), 1);
        QCOMPARE(m_context->dialogs.messages.first().text,
                 QStringLiteral("The Log Files you specified does not exist or is corrupt .\r\n"
                                "Please re-define a log file from the options menu."));
        QCOMPARE(m_context->dialogs.messages.first().icon, MessageIcon::Information);
    }

    void idleStart_hidesOnlyWhenConfigured_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("hides");
        QTest::newRow("default") << "" << true;
        QTest::newRow("on") << "1" << true;
        QTest::newRow("off") << "0" << false;
    }
    void idleStart_hidesOnlyWhenConfigured() {
        QFETCH(QString, setting);
        QFETCH(bool, hides);
        if (!setting.isEmpty())
            (*m_context)->settings().SaveSetting("MSAgent", "HideCharacterOnIdle", setting);
        loadMerlin();
        AgentCharacter* character = m_assistant->character();
        QSignalSpy idle(character, &AgentCharacter::IdleStart);
        m_assistant->Agent1().setIdleTimeout(150);
        (*m_context)->speak("Hi.", "Explain", true);
        QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 1, Long);
        if (hides)
            QTRY_VERIFY_WITH_TIMEOUT(!character->Visible(), Long);
        else
            QVERIFY(!QTest::qWaitFor([&] { return !character->Visible(); }, 1500));
    }

    void changeCharacter_greetsByNameWithFreshCommands() {
        loadMerlin();
        (*m_context)->state().SpeechText = "earlier notice";
        install({"peedy"});

        m_assistant->ChangeCharacter("peedy");

        AgentCharacter* character = m_assistant->character();
        QVERIFY(character);
        QCOMPARE(character->name(), QStringLiteral("Peedy"));
        QCOMPARE(requests(character).mid(0, 4), (QStringList{"MoveTo 0,0", "Show", "Play Greet",
                                                             "Speak Hello, my name is peedy."}));
        QCOMPARE((*m_context)->state().SpeechText, QStringLiteral("earlier notice"));
        checkCommandTable(character, false);
        QVERIFY(m_context->dialogs.messages.isEmpty());
    }

    void changeCharacter_toBrokenFile_keepsTheCharacterItHad() {
        loadMerlin();
        writeFile(charFile("broken.acs"), "{");
        m_assistant->ChangeCharacter("broken");
        QVERIFY(m_assistant->character());
        QCOMPARE(m_assistant->character()->name(), QStringLiteral("Merlin"));
        QCOMPARE(m_assistant->character()->Commands().count(), 7);
    }

    void addAgentCommands_matchesTableAndMonitoringState_data() {
        QTest::addColumn<bool>("monitoring");
        QTest::newRow("monitoring off") << false;
        QTest::newRow("monitoring on") << true;
    }
    void addAgentCommands_matchesTableAndMonitoringState() {
        QFETCH(bool, monitoring);
        loadMerlin();
        (*m_context)->state().MonitoringOn = monitoring;
        m_assistant->AddAgentCommands();
        checkCommandTable(m_assistant->character(), monitoring);
    }

    void loadCharacter_findsTheFileInEitherFolderWhateverItsCase() {
        install({"merlin"});
        QVERIFY(QFile::rename(charFile("merlin.acs"), charFile("Merlin.ACS")));
        const QString userFolder = Assistant::userCharacterPath();
        QDir().mkpath(userFolder);
        QVERIFY(QFile::copy(Shipped + "/genie.acs", userFolder + "/genie.acs"));
        QVERIFY(QFile::copy(Shipped + "/genie.svg", userFolder + "/genie.svg"));

        QCOMPARE(m_assistant->availableCharacters(), (QStringList{"genie", "merlin"}));
        QVERIFY(m_assistant->LoadCharacter("merlin"));
        QCOMPARE(m_assistant->character()->name(), QStringLiteral("Merlin"));
        m_assistant->ChangeCharacter("genie");
        QCOMPARE(m_assistant->character()->name(), QStringLiteral("Genie"));
        QDir(userFolder).removeRecursively();
    }

    // An error report halts the program: the character stops talking at once, its balloon
    // goes, and nothing is said while the report is up.
    void errorReport_silencesTheCharacter() {
        loadMerlin();
        AgentCharacter* character = m_assistant->character();
        (*m_context)
            ->speak("A notice long enough to be under way when the error comes.", "Explain");
        QTRY_VERIFY_WITH_TIMEOUT(character->balloon()->isVisible(), Long);
        (*m_context)->errors().ReportError(13, "Type mismatch", "Timer1_Timer");
        (*m_context)->speak("Anything more.", "Explain");
        QVERIFY(!character->balloon()->isVisible() && !character->speechPlayer().isPlaying());
        QVERIFY(!requests(character).join(';').contains("Speak"));
    }

    void unloadCharacter_leavesSpeakingHarmless() {
        loadMerlin();
        m_assistant->UnloadCharacter();
        QVERIFY(!m_assistant->character());
        QVERIFY(!m_assistant->Agent1().contains("Character"));
        (*m_context)->speak("Anyone there?", "Explain", false);
        QVERIFY(m_context->end.codes.isEmpty());
    }

private:
    QString charFile(const QString& name) const {
        return QDir(m_assistant->CharacterPath()).filePath(name);
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void install(const QStringList& names) {
        QDir().mkpath(m_assistant->CharacterPath());
        for (const QString& name : names) {
            QFile::copy(Shipped + "/" + name + ".acs", charFile(name + ".acs"));
            QFile::copy(Shipped + "/" + name + ".svg", charFile(name + ".svg"));
        }
    }
    void loadMerlin() {
        install({"merlin"});
        QVERIFY(m_assistant->LoadCharacter("merlin"));
    }
    static void checkCommandTable(AgentCharacter* character, bool monitoring) {
        const AgentCommands& commands = character->Commands();
        QCOMPARE(commands.caption(), AppInfo::Title);
        QCOMPARE(commands.voice(), AppInfo::Title);
        struct Row {
            const char* name;
            const char* caption;
            const char* voice;
            bool enabled;
        };
        const Row rows[] = {
            {"Monitoring On", "Monitoring &On", "(Monitoring On|On)", !monitoring},
            {"Monitoring Off", "Monitoring O&ff", "(Monitoring Off|Off)", monitoring},
            {"Monitoring Status", "Monitoring &Status", "Monitoring Status", true},
            {"Show Log File", "Show &Log File", "(show|display) log file", true},
            {"Show HTML Output", "Show &HTML Output", "(show|display) HTML", true},
            {"Restore", "&Restore Program", "(Restore|Restore Program)", false},
            {"Minimize", "&Minimize Program", "(Minimize|Minimize Program)", false},
        };
        QCOMPARE(commands.count(), 7);
        for (int i = 0; i < 7; ++i) {
            const AgentCommand& command = commands.all().at(i);
            QCOMPARE(command.name, QString(rows[i].name));
            QCOMPARE(command.caption, QString(rows[i].caption));
            QCOMPARE(command.voice, QString(rows[i].voice));
            QCOMPARE(command.enabled, rows[i].enabled);
        }
    }

    std::unique_ptr<TestContext> m_context;
    std::unique_ptr<Assistant> m_assistant;
};

ORVEX_TEST_MAIN(TestAssistant)
#include "tst_assistant.moc"
