#include "report/HtmlAgentScript.h"
#include "report/HtmlPage.h"
#include "report/HtmlSections.h"
#include "SeededDatabase.h"
#include "store/Database.h"
#include "store/History.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QFile>
#include <QLocale>

#include <ctime>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QDateTime CheckTime(QDate(2026, 3, 4), QTime(13, 5, 9));

// A percentage in the number format of the machine running the test.
QString percent(QString digits) {
    return digits.replace(QLatin1Char('.'), QLocale::system().decimalPoint()) + QLatin1Char('%');
}

QString itemRow(const QString& cls, const QString& port, const QString& status,
                const QString& error, const QString& summary) {
    return "<td valign='top' class='" + cls + "'>" + port + "</td>\r\n<td valign='top'>" + status +
           "</td>\r\n<td valign='top'>" + error + "</td>\r\n<td valign='top'>" + summary +
           "</td>\r\n</tr>\r\n";
}

// A program folder with its own database, log file and template, and a fixed clock.
struct PageFixture {
    PageFixture()
        : clock(CheckTime)
        , data(context.programFile("OrvexMonitor.mdb")) {
        context->setClock(&clock);
        context->settings().SaveSetting(Section::Options, Key::HTMLOutput, "1");
        QFile log(context.programFile("OrvexMonitor.txt"));
        QVERIFY(log.open(QIODevice::WriteOnly));
    }
    void addItem(const QString& device, const QString& port, const QString& status, int connects,
                 int errors, const QString& lastError = "N/A", const QString& date = "N/A") {
        db.execute({"Insert or ignore into Devices (Device) values (?)", {device}});
        data.addItem(device, port,
                     {{"Status", status},
                      {"Connect", connects},
                      {"Error", errors},
                      {"Last_Error", lastError},
                      {"Failed_On", date},
                      {"Recovered_On", date}});
    }
    QString output() const { return context.programFile("OrvexMonitor.html"); }
    QByteArray createPage(const QByteArray& templateText, const FailureList& failures = {},
                          const RecoveryList& recoveries = {}) {
        if (!templateText.isNull()) {
            QFile file(context.programFile("template.html"));
            if (!file.open(QIODevice::WriteOnly) || file.write(templateText) < 0)
                return "template not written";
        }
        HtmlPage(*context, db).Create_HTML(usedPath, failures, recoveries);
        QFile file(output());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString setting(const QString& key) {
        return context->settings().GetSetting(Section::Options, key, {});
    }
    // The routine named by the error report, or empty when none was reported.
    QString reportedRoutine() const {
        const QString lead = QStringLiteral("error has occured in the ");
        for (const ShownMessage& shown : context.dialogs.messages) {
            if (shown.text.contains(lead))
                return shown.text.section(lead, 1).section(QLatin1Char(' '), 0, 0);
        }
        return {};
    }

    TestContext context;
    FixedClock clock;
    SeededDatabase data;
    Database& db = data.db;
    QString usedPath;
};
} // namespace

class HtmlTest final : public QObject {
    Q_OBJECT

private slots:
    void template_copiedWithCrLfLinesAndMarkersReplaced_data();
    void template_copiedWithCrLfLinesAndMarkersReplaced();
    void header_refreshFollowsCheckInterval_data();
    void header_refreshFollowsCheckInterval();
    void details_rowsPerDeviceInTextOrderOfPorts();
    void details_outsideTextIsEscaped_data();
    void details_outsideTextIsEscaped();
    void details_databaseError_reportedAndPageStillWritten();
    void agent_statementsFollowNoticesAndSetting_data();
    void agent_statementsFollowNoticesAndSetting();
    void missingTemplate_errorPageOnlyOverExistingOutput_data();
    void missingTemplate_errorPageOnlyOverExistingOutput();
    void unwritableOutput_switchedOffWithoutEndingProgram_data();
    void unwritableOutput_switchedOffWithoutEndingProgram();
    void shippedTemplate_holdsEveryMarkerWhereItBelongs();
    void history_availabilityAndBarPerItem_data();
    void history_availabilityAndBarPerItem();
    void history_outsideTextIsEscaped();
    void history_markTimesInLocalTime_data();
    void history_markTimesInLocalTime();
    void history_withoutMarker_pageUnchangedAndNothingRead();
};

void HtmlTest::template_copiedWithCrLfLinesAndMarkersReplaced_data() {
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<int>("failures");
    QTest::addColumn<QByteArray>("page");

    QTest::newRow("line feeds") << QByteArray("a\n\nb\n") << 0 << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("crlf and cr") << QByteArray("a\r\nb\rc") << 0 << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("empty") << QByteArray("") << 0 << QByteArray();
    QTest::newRow("8-bit bytes kept")
        << QByteArray("caf\xe9\xff") << 0 << QByteArray("caf\xe9\xff\r\n");
    QTest::newRow("marker twice, other case left")
        << QByteArray("<!--FailedDevices-->/<!--RecoveredDevices-->/<!--FailedDevices-->"
                      "<!--faileddevices-->")
        << 3 << QByteArray("3/1/3<!--faileddevices-->\r\n");
    QTest::newRow("quiet cycle")
        << QByteArray("<!--FailedDevices-->,<!--RecoveredDevices-->\n<!--Agent-->") << 0
        << QByteArray("0,0\r\n'' No Activity To Announce\r\n");
    QTest::newRow("last check") << QByteArray("<!--LastCheck-->") << 0
                                << (Clock::generalDate(CheckTime) + CRLF).toLocal8Bit();
}

void HtmlTest::template_copiedWithCrLfLinesAndMarkersReplaced() {
    QFETCH(QByteArray, templateText);
    QFETCH(int, failures);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    const FailureList failed(failures, {"HOST", "80", "refused"});
    const RecoveryList recovered(failures > 0 ? 1 : 0, {"OTHER", "21"});
    const QByteArray written = fixture.createPage(templateText, failed, recovered);
    QCOMPARE(written, page + "\r\n");
    QCOMPARE(fixture.setting(Key::HTMLOutput), "1");
}

void HtmlTest::header_refreshFollowsCheckInterval_data() {
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("outputPath");
    QTest::addColumn<QString>("content");

    QTest::newRow("default") << QString() << "/a/OrvexMonitor.html"
                             << "300,OrvexMonitor.html";
    QTest::newRow("ten minutes") << "10"
                                 << "/srv/www/status.html"
                                 << "600,status.html";
    QTest::newRow("fraction rounded") << "2.51"
                                      << "page.html"
                                      << "151,page.html";
    QTest::newRow("quote in file name") << "1"
                                        << "/tmp/it's.html"
                                        << "60,it&#39;s.html";
    QTest::newRow("not a number") << "soon"
                                  << "page.html" << QString();
}

void HtmlTest::header_refreshFollowsCheckInterval() {
    QFETCH(QString, minutes);
    QFETCH(QString, outputPath);
    QFETCH(QString, content);
    PageFixture fixture;
    if (!minutes.isNull())
        fixture.context->settings().SaveSetting(Section::Options, Key::MinBetweenChecks, minutes);
    const QString tag = HtmlSections(*fixture.context, fixture.db).HTML_Header(outputPath);
    if (content.isNull()) {
        QCOMPARE(tag, QString());
        QCOMPARE(fixture.reportedRoutine(), "HTML_Header");
    } else {
        QCOMPARE(tag, "<meta HTTP-EQUIV='Refresh' CONTENT='" + content + "'>");
    }
}

void HtmlTest::details_rowsPerDeviceInTextOrderOfPorts() {
    PageFixture fixture;
    fixture.addItem("10.0.0.5", "Ping", "Recovered", 5, 0, "N/A", "d1");
    fixture.addItem("10.0.0.5", "21", "Connected", 3, 1);
    fixture.addItem("10.0.0.5", "110", "Failed", 1, 2, "Connection refused", "d2");
    fixture.addItem("alpha", "80", "Not Checked", 0, 0, "");
    fixture.db.execute(
        {"Update Devices set Device_Alias = 'Web Server' where Device = 'alpha'", {}});
    fixture.db.execute({"Insert into Devices (Device) values ('bare')", {}});

    const QString expected =
        "<table width='100%' border='1'><tr>\r\n<th align='Left'>Device Name</th>\r\n"
        "<th align='Left'>Port</th>\r\n<th align='Left'>Status</th>\r\n"
        "<th align='Left'>Last Error</th>\r\n<th align='Left'>Connection Summary</th>\r\n"
        "</tr>\r\n<tr>\r\n<td rowspan ='3' valign='top'>10.0.0.5</td>\r\n" +
        itemRow("Failed", "110", "Failed since d2", "Connection refused",
                "1 out of 3 times (" + percent("33.33") + ")") +
        "<tr>\r\n" +
        itemRow("OK", "21", "Connected", "N/A", "3 out of 4 times (" + percent("75.00") + ")") +
        "<tr>\r\n" +
        itemRow("Recovered", "Ping", "Recovered on d1", "N/A",
                "5 out of 5 times (" + percent("100.00") + ")") +
        "<tr>\r\n<td rowspan ='1' valign='top'>web server</td>\r\n" +
        itemRow("OK", "80", "Not Checked", "", "0 out of 0 times (" + percent("0.00") + ")")
        // Without items a device keeps a row of its own; rowspan 0 would swallow the rest.
        + "<tr>\r\n<td rowspan ='1' valign='top'>BARE</td>\r\n" +
        QString("<td valign='top'></td>\r\n").repeated(4) + "</tr>\r\n</table>\r\n";
    QCOMPARE(HtmlSections(*fixture.context, fixture.db).HTML_Details(), expected);
    QCOMPARE(fixture.reportedRoutine(), QString());
}

void HtmlTest::details_outsideTextIsEscaped_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("lastError");
    QTest::addColumn<QString>("shown");

    QTest::newRow("markup in a name") << "<b>srv</b>"
                                      << "80"
                                      << ""
                                      << "&lt;B&gt;SRV&lt;/B&gt;";
    QTest::newRow("quote in a port") << "host"
                                     << "8'0"
                                     << ""
                                     << "'Failed'>8&#39;0</td>";
    QTest::newRow("script in an error") << "host"
                                        << "80"
                                        << "<script>x</script> & y"
                                        << "&lt;script&gt;x&lt;/script&gt; &amp; y";
    // A marker in a name is text, never a place for a later section.
    QTest::newRow("marker in a name") << "<!--Agent-->"
                                      << "80"
                                      << ""
                                      << "&lt;!--AGENT--&gt;";
}

void HtmlTest::details_outsideTextIsEscaped() {
    QFETCH(QString, device);
    QFETCH(QString, port);
    QFETCH(QString, lastError);
    QFETCH(QString, shown);
    PageFixture fixture;
    fixture.addItem(device, port, "Failed", 0, 1, lastError);

    const QString page = QString::fromLocal8Bit(fixture.createPage("<!--Details-->\n<!--Agent-->"));
    QVERIFY2(page.contains(shown), qPrintable(page));
    QVERIFY(!page.contains("<script") && !page.contains("<b>"));
    QVERIFY(page.endsWith("'' No Activity To Announce\r\n\r\n"));
}

void HtmlTest::details_databaseError_reportedAndPageStillWritten() {
    PageFixture fixture;
    fixture.db.execute({"Insert into Devices (Device) values ('host')", {}});
    fixture.db.execute({"Drop table Main_Data", {}});

    QCOMPARE(fixture.createPage("[<!--Details-->]<!--FailedDevices-->"), "[]0\r\n\r\n");
    QCOMPARE(fixture.reportedRoutine(), "HTML_Details");
}

void HtmlTest::agent_statementsFollowNoticesAndSetting_data() {
    QTest::addColumn<QString>("show");
    QTest::addColumn<FailureList>("failures");
    QTest::addColumn<RecoveryList>("recoveries");
    QTest::addColumn<QStringList>("statements");

    const QStringList open = {
        "",
        "On Error Resume Next",
        "AgentChar.Show",
        "AgentChar.Play \"Explain\"",
        "AgentChar.Speak \"The date is " + Clock::longDate(CheckTime.date()) + ".\"",
        "AgentChar.Speak \"The time is " + Clock::shortTime(CheckTime.time()) + ".\""};
    const QStringList failed = {
        "AgentChar.Play \"Surprised\"",
        "AgentChar.Speak \"There was a problem connecting to the following devices:  \"",
        R"(AgentChar.Speak "\map=" + Chr(34) + "10\pau=50\ dot \pau=25\5" + Chr(34) + "=" + )"
        R"(Chr(34) + "10.5" + Chr(34) + "\ port 110 because Connection refused.\pau=800\")"};
    const QStringList recovered = {
        "AgentChar.Play \"Pleased\"", "AgentChar.Speak \"The following devices have recovered:  \"",
        R"(AgentChar.Speak "\map=" + Chr(34) + "web" + Chr(34) + "=" + Chr(34) + "web" + )"
        R"(Chr(34) + "\ port Ping.\pau=800\")"};
    const QStringList escaped = {
        failed[0], failed[1],
        R"(AgentChar.Speak "\map=" + Chr(34) + "h""st" + Chr(34) + "=" + Chr(34) + "h""st" + )"
        R"(Chr(34) + "\ port 80 because a  b " + Chr(60) + "/script>.\pau=800\")"};
    const QStringList close = {"", "AgentChar.Hide", ""};
    const FailureList failure = {{"10.5", "110", "Connection refused"}};
    const RecoveryList recovery = {{"web", "Ping"}};

    QTest::newRow("nothing") << QString() << FailureList() << RecoveryList()
                             << QStringList{"'' No Activity To Announce"};
    QTest::newRow("failure") << QString() << failure << RecoveryList() << open + failed + close;
    QTest::newRow("both") << "-1" << failure << recovery << open + failed + recovered + close;
    QTest::newRow("character quiet") << "0" << failure << recovery << open.mid(0, 4) + close;
    QTest::newRow("strings escaped") << "1" << FailureList{{"h\"st", "80", "a\r\nb </script>"}}
                                     << RecoveryList() << open + escaped + close;
}

void HtmlTest::agent_statementsFollowNoticesAndSetting() {
    QFETCH(QString, show);
    QFETCH(FailureList, failures);
    QFETCH(RecoveryList, recoveries);
    QFETCH(QStringList, statements);
    PageFixture fixture;
    if (!show.isNull())
        fixture.context->settings().SaveSetting(Section::MSAgent, Key::ShowHTMLCharacter, show);
    QCOMPARE(HtmlAgentScript(*fixture.context).HTML_Agent(failures, recoveries).split(CRLF),
             statements);
}

void HtmlTest::missingTemplate_errorPageOnlyOverExistingOutput_data() {
    QTest::addColumn<bool>("outputExists");
    QTest::addColumn<QString>("spokenEnd");

    QTest::newRow("output exists") << true << "exist.";
    QTest::newRow("no output") << false
                               << "exist\\pau=300\\ and the HTML output path is not valid.";
}

void HtmlTest::missingTemplate_errorPageOnlyOverExistingOutput() {
    QFETCH(bool, outputExists);
    QFETCH(QString, spokenEnd);
    PageFixture fixture;
    QFile old(fixture.output());
    if (outputExists)
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old page") > 0 && old.flush());

    const QString page = QString::fromLocal8Bit(fixture.createPage(QByteArray()));

    const QString message = "An error occurred while writing the HTML output file because the "
                            "HTML template file you specified does not exist";
    QCOMPARE(page, outputExists ? "<HTML><BODY><CENTER><H1>IP Orvex Monitor 2.0 - Error Had "
                                  "Occured</H1></CENTER><HR>" +
                                      message + ".<BR>" + message + "<HR></BODY></HTML>\r\n"
                                : QString());
    QCOMPARE(QFile::exists(fixture.output()), outputExists);
    const auto& spoken = fixture.context.assistant.spoken;
    QCOMPARE(spoken.size(), 2);
    QCOMPARE(spoken[0].text, message.chopped(5) + spokenEnd);
    QCOMPARE(spoken[0].animation, "Explain");
    QCOMPARE(spoken[1].text, "Please verify the HTML output settings from the options menu.");
    QCOMPARE(spoken[1].animation, "Suggest");
    QVERIFY(fixture.context->messageWindow().text().endsWith(
        "Warning...Error writing HTML output file.  HTML output has been disabled\r\n"));
    QCOMPARE(fixture.setting(Key::HTMLOutput), "0");
    QCOMPARE(fixture.reportedRoutine(), QString());
}

void HtmlTest::unwritableOutput_switchedOffWithoutEndingProgram_data() {
    QTest::addColumn<QString>("outputName");
    QTest::newRow("missing folder") << "missing/page.html";
    QTest::newRow("the template itself") << "mine.tpl";
}

void HtmlTest::unwritableOutput_switchedOffWithoutEndingProgram() {
    QFETCH(QString, outputName);
    PageFixture fixture;
    const QString templatePath = fixture.context.programFile("mine.tpl");
    QFile templateFile(templatePath);
    QVERIFY(templateFile.open(QIODevice::WriteOnly) && templateFile.write("<!--Footer-->") > 0);
    templateFile.close();
    const QString outputPath = fixture.context.programFile(outputName);
    fixture.context->settings().SaveSetting(Section::Options, Key::HTMLTemplateFile, templatePath);
    fixture.context->settings().SaveSetting(Section::Options, Key::HTMLFile, outputPath);

    fixture.createPage(QByteArray());

    QCOMPARE(fixture.usedPath, outputPath);
    QVERIFY(templateFile.open(QIODevice::ReadOnly));
    QCOMPARE(templateFile.readAll(), "<!--Footer-->");
    QVERIFY(fixture.context.end.codes.isEmpty());
    QCOMPARE(fixture.context.assistant.texts().value(0),
             "An error occurred while writing the HTML output file because the HTML output path "
             "is not valid.");
    QCOMPARE(fixture.setting(Key::HTMLOutput), "0");
}

void HtmlTest::shippedTemplate_holdsEveryMarkerWhereItBelongs() {
    QFile file(ORVEX_SOURCE_DIR "/data/template.html");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* marker : {"<!--LastCheck-->", "<!--FailedDevices-->",
                               "<!--RecoveredDevices-->", "<!--Details-->", "<!--Footer-->"}) {
        QVERIFY2(text.contains(QLatin1String(marker)), marker);
    }
    QVERIFY(text.indexOf("<!--Header-->") < text.indexOf("</head>"));
    QVERIFY(text.indexOf("<!--History-->") > text.indexOf("<!--Details-->"));
    // The character statements sit in a script block that browsers keep as data.
    const qsizetype agent = text.indexOf("<!--Agent-->");
    QVERIFY(agent > text.lastIndexOf("<script type=\"text/vbscript\"", agent));
    QVERIFY(text.lastIndexOf("</script>", agent) < text.lastIndexOf("<script", agent));
}

void HtmlTest::history_availabilityAndBarPerItem_data() {
    QTest::addColumn<QList<bool>>("results");
    QTest::addColumn<QString>("availability");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("red");
    QTest::newRow("never checked") << QList<bool>{} << "No checks" << 0 << 0;
    QTest::newRow("all failed") << QList<bool>{false, false} << percent("0.00") << 0 << 2;
    QTest::newRow("mixed") << QList<bool>{true, false, true} << percent("66.67") << 2 << 1;
    // 40 checks: the bar keeps the last 30, the availability counts all of them.
    QList<bool> many(40, true);
    many[0] = false;
    many[39] = false;
    QTest::newRow("longer than the bar") << many << percent("95.00") << 29 << 1;
}

void HtmlTest::history_availabilityAndBarPerItem() {
    QFETCH(QList<bool>, results);
    QFETCH(QString, availability);
    QFETCH(int, green);
    QFETCH(int, red);
    PageFixture fixture;
    fixture.addItem("host", "Ping", "Connected", 0, 0);
    fixture.addItem("host", "80", "Connected", 0, 0);
    const qint64 now = CheckTime.toMSecsSinceEpoch();
    qint64 time = now - 23 * History::HourMs;
    for (const bool good : results)
        History::append(fixture.db, {"host", "Ping", time += 60000, good, good ? 5 : -1, {}});
    // A check older than 24 hours counts for the bar's history but not for the day.
    History::append(fixture.db, {"host", "80", now - 25 * History::HourMs, false, -1, {}});

    const QString page = QString::fromLocal8Bit(fixture.createPage("<!--History-->"));
    const QString pingRow = page.section("<td valign='top'>Ping</td>", 1).section("</tr>", 0, 0);
    QVERIFY2(pingRow.contains("<td valign='top'>" + availability + "</td>"), qPrintable(page));
    QCOMPARE(pingRow.count("fill='#1e8e3e'"), green);
    QCOMPARE(pingRow.count("fill='#c5221f'"), red);
    const QString portRow = page.section("<td valign='top'>80</td>", 1).section("</tr>", 0, 0);
    QVERIFY(portRow.contains("<td valign='top'>No checks</td>"));
    QCOMPARE(portRow.count("fill='#c5221f'"), 1);
    QCOMPARE(page.count("<svg "), 2);
    QVERIFY(page.contains("<td valign='top'>HOST</td>"));
}

void HtmlTest::history_outsideTextIsEscaped() {
    PageFixture fixture;
    fixture.addItem("<b>x</b>", "8'0", "Failed", 0, 1);
    History::append(fixture.db, {"<b>x</b>", "8'0", CheckTime.toMSecsSinceEpoch() - 60000, false,
                                 -1, "</title><script>alert(1)</script>"});
    const QString page = QString::fromLocal8Bit(fixture.createPage("<!--History-->"));
    QVERIFY(!page.contains("<script") && !page.contains("<b>"));
    QVERIFY(page.contains("&lt;B&gt;X&lt;/B&gt;"));
    QVERIFY(page.contains("8&#39;0"));
    QVERIFY2(page.contains("Failed: &lt;/title&gt;&lt;script&gt;"), qPrintable(page));
}

void HtmlTest::history_markTimesInLocalTime_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QStringList>("checks"); // UTC
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("winter") << QByteArray("Europe/Berlin") << QStringList{"2026-01-10T13:05:00"}
                            << QStringList{"14:05"};
    // One page across the change to summer time: each check gets the offset of its moment.
    QTest::newRow("into summer time")
        << QByteArray("Europe/Berlin")
        << QStringList{"2026-03-29T00:50:00", "2026-03-29T00:59:59", "2026-03-29T01:05:00"}
        << QStringList{"01:50", "01:59", "03:05"};
    QTest::newRow("back from summer time")
        << QByteArray("America/New_York")
        << QStringList{"2026-11-01T05:55:00", "2026-11-01T06:00:00"}
        << QStringList{"01:55", "01:00"};
    QTest::newRow("quarter-hour offset")
        << QByteArray("Asia/Kathmandu") << QStringList{"2026-01-10T23:30:00"}
        << QStringList{"05:15"};
}

void HtmlTest::history_markTimesInLocalTime() {
    QFETCH(QByteArray, zone);
    QFETCH(QStringList, checks);
    QFETCH(QStringList, shown);
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    PageFixture fixture;
    fixture.addItem("host", "Ping", "Connected", 0, 0);
    for (const QString& check : checks) {
        const qint64 time = QDateTime::fromString(check + "Z", Qt::ISODate).toMSecsSinceEpoch();
        History::append(fixture.db, {"host", "Ping", time, true, 1, {}});
    }
    const QString page = QString::fromLocal8Bit(fixture.createPage("<!--History-->"));
    previous.isNull() ? qunsetenv("TZ") : qputenv("TZ", previous);
    tzset();
    QStringList titles;
    for (const QString& time : shown)
        titles << "<title>" + time + " Connected</title>";
    for (const QString& title : titles)
        QVERIFY2(page.contains(title), qPrintable(page.section("<svg", 1)));
    QCOMPARE(page.count("<title>"), titles.size());
}

void HtmlTest::history_withoutMarker_pageUnchangedAndNothingRead() {
    PageFixture fixture;
    fixture.addItem("host", "Ping", "Connected", 1, 0);
    const QByteArray templateText = "<!--Details-->|<!--history-->|<!--Footer-->\n<!--Agent-->";
    const QByteArray before = fixture.createPage(templateText);
    History::append(fixture.db, {"host", "Ping", CheckTime.toMSecsSinceEpoch(), true, 3, {}});
    QCOMPARE(fixture.createPage(templateText), before);
    // Without the marker the history is not even read: a broken history table goes unnoticed
    // until a template asks for it.
    fixture.db.execute({"Drop table History", {}});
    QCOMPARE(fixture.createPage(templateText), before);
    QCOMPARE(fixture.reportedRoutine(), QString());
    QCOMPARE(fixture.createPage("[<!--History-->]"), "[]\r\n\r\n");
    QCOMPARE(fixture.reportedRoutine(), "HTML_History");
}

ORVEX_TEST_GUILESS_MAIN(HtmlTest)
#include "tst_html.moc"
