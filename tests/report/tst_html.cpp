#include "app/ErrorReport.h"
#include "report/HtmlAgentScript.h"
#include "report/HtmlPage.h"
#include "report/HtmlSections.h"
#include "store/Database.h"
#include "TestContext.h"
#include "TestMain.h"

#include <QFile>
#include <QLocale>

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString lines(const QStringList& parts) {
    return parts.join(CRLF) + CRLF;
}

// A percentage as the page writes it, in the number format of the machine running the test.
QString percent(QString digits) {
    return digits.replace(QLatin1Char('.'), QLocale::system().decimalPoint()) + QLatin1Char('%');
}

struct Item {
    QString port;
    QString status;
    int connects = 0;
    int errors = 0;
    QString lastError = QStringLiteral("N/A");
    QString failedOn = QStringLiteral("N/A");
    QString recoveredOn = QStringLiteral("N/A");
};

// A program folder with its own database, a fixed clock and the page's settings.
class PageFixture {
public:
    PageFixture()
        : clock(QDateTime(QDate(2026, 3, 4), QTime(13, 5, 9))) {
        context->setClock(&clock);
        const QString path = context.programFile(QStringLiteral("OrvexMonitor.mdb"));
        Database::create(path);
        db.open(path);
        context->settings().SaveSetting(Section::Options, Key::HTMLOutput, QStringLiteral("1"));
        // An existing log file, so that the log has nothing to say of its own.
        QFile log(context.programFile(QStringLiteral("OrvexMonitor.txt")));
        QVERIFY(log.open(QIODevice::WriteOnly));
    }

    void addDevice(const QString& device, const QString& alias = {}) {
        db.execute({QStringLiteral("Insert into Devices (Device, Device_Alias) values (?, ?)"),
                    {device, alias}});
    }

    void addItem(const QString& device, const Item& item) {
        db.execute({QStringLiteral("Insert into Main_Data (Device, Port, Status, Connect, Error, "
                                   "Last_Error, Failed_On, Recovered_On) "
                                   "values (?, ?, ?, ?, ?, ?, ?, ?)"),
                    {device, item.port, item.status, item.connects, item.errors, item.lastError,
                     item.failedOn, item.recoveredOn}});
    }

    QString templatePath() const { return context.programFile(QStringLiteral("template.html")); }
    QString outputPath() const { return context.programFile(QStringLiteral("orvexmonitor.html")); }

    void writeTemplate(const QByteArray& text) {
        QFile file(templatePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray createPage(const QByteArray& templateText, const FailureList& failures = {},
                          const RecoveryList& recoveries = {}) {
        writeTemplate(templateText);
        return createPage(failures, recoveries);
    }

    QByteArray createPage(const FailureList& failures = {}, const RecoveryList& recoveries = {}) {
        QString used = QStringLiteral("ignored");
        HtmlPage(*context, db).Create_HTML(used, failures, recoveries);
        usedPath = used;
        QFile file(outputPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString htmlOutputSetting() {
        return context->settings().GetSetting(Section::Options, Key::HTMLOutput, {});
    }

    // The routine named by the error report, or empty when no error was reported.
    QString reportedRoutine() const {
        for (const ShownMessage& shown : context.dialogs.messages) {
            const qsizetype at = shown.text.indexOf(QLatin1String("error has occured in the "));
            if (at >= 0)
                return shown.text.mid(at + 25).section(QLatin1Char(' '), 0, 0);
        }
        return {};
    }

    TestContext context;
    FixedClock clock;
    Database db;
    QString usedPath;
};

FailureList someFailures(int count) {
    FailureList list;
    for (int i = 0; i < count; ++i)
        list.append({QStringLiteral("HOST%1").arg(i), QStringLiteral("80"), QStringLiteral("x")});
    return list;
}
} // namespace

class HtmlTest final : public QObject {
    Q_OBJECT

private slots:
    void template_withoutMarkers_copiedWithCrLfLines_data();
    void template_withoutMarkers_copiedWithCrLfLines();
    void markers_replacedAtEveryExactOccurrence_data();
    void markers_replacedAtEveryExactOccurrence();
    void createHtml_readsBothPathsFromSettings();
    void header_refreshFollowsCheckInterval_data();
    void header_refreshFollowsCheckInterval();
    void details_rowsPerDeviceInTextOrderOfPorts();
    void details_outsideTextIsEscaped_data();
    void details_outsideTextIsEscaped();
    void details_databaseError_reportedAndPageStillWritten();
    void footer_carriesTimeAndLink();
    void agent_statementsFollowNoticesAndSetting_data();
    void agent_statementsFollowNoticesAndSetting();
    void agent_scriptStringsAreEscaped_data();
    void agent_scriptStringsAreEscaped();
    void missingTemplate_errorPageOnlyOverExistingOutput_data();
    void missingTemplate_errorPageOnlyOverExistingOutput();
    void unwritableOutput_switchedOffWithoutEndingProgram();
    void shippedTemplate_holdsEveryMarkerWhereItBelongs();
};

void HtmlTest::template_withoutMarkers_copiedWithCrLfLines_data() {
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<QByteArray>("page");

    QTest::newRow("line feeds") << QByteArray("<p>a</p>\n<p>b</p>\n")
                                << QByteArray("<p>a</p>\r\n<p>b</p>\r\n\r\n");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("carriage returns") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("no final line end") << QByteArray("a\nb") << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("blank lines kept")
        << QByteArray("a\n\n\nb\n") << QByteArray("a\r\n\r\n\r\nb\r\n\r\n");
    QTest::newRow("empty template") << QByteArray() << QByteArray("\r\n");
    QTest::newRow("8-bit bytes kept")
        << QByteArray("caf\xe9 \xff\n") << QByteArray("caf\xe9 \xff\r\n\r\n");
}

void HtmlTest::template_withoutMarkers_copiedWithCrLfLines() {
    QFETCH(QByteArray, templateText);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    QCOMPARE(fixture.createPage(templateText), page);
    QCOMPARE(fixture.htmlOutputSetting(), QStringLiteral("1"));
}

void HtmlTest::markers_replacedAtEveryExactOccurrence_data() {
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("recoveries");
    QTest::addColumn<QString>("page");

    const QString now = Clock::generalDate(QDateTime(QDate(2026, 3, 4), QTime(13, 5, 9)));
    QTest::newRow("counts twice")
        << QByteArray("<!--FailedDevices-->/<!--RecoveredDevices-->/<!--FailedDevices-->") << 3 << 1
        << QStringLiteral("3/1/3");
    QTest::newRow("quiet cycle counts zero")
        << QByteArray("<!--FailedDevices-->,<!--RecoveredDevices-->") << 0 << 0
        << QStringLiteral("0,0");
    QTest::newRow("lower case left alone")
        << QByteArray("<!--faileddevices--><!--LASTCHECK--><!--FailedDevices-->") << 2 << 0
        << QStringLiteral("<!--faileddevices--><!--LASTCHECK-->2");
    QTest::newRow("last check") << QByteArray("at <!--LastCheck-->") << 0 << 0
                                << QStringLiteral("at ") + now;
    QTest::newRow("no activity to announce")
        << QByteArray("<!--Agent-->") << 0 << 0 << QStringLiteral("'' No Activity To Announce");
    QTest::newRow("marker split over lines") << QByteArray("<!--Failed\nDevices-->") << 1 << 0
                                             << QStringLiteral("<!--Failed\r\nDevices-->");
}

void HtmlTest::markers_replacedAtEveryExactOccurrence() {
    QFETCH(QByteArray, templateText);
    QFETCH(int, failures);
    QFETCH(int, recoveries);
    QFETCH(QString, page);
    PageFixture fixture;
    RecoveryList recovered(recoveries, {QStringLiteral("A"), QStringLiteral("21")});
    QCOMPARE(
        QString::fromLocal8Bit(fixture.createPage(templateText, someFailures(failures), recovered)),
        page + CRLF + CRLF);
}

void HtmlTest::createHtml_readsBothPathsFromSettings() {
    PageFixture fixture;
    const QString templatePath = fixture.context.programFile(QStringLiteral("mine.tpl"));
    const QString outputPath = fixture.context.programFile(QStringLiteral("status.htm"));
    QFile file(templatePath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!--Header-->");
    file.close();
    fixture.context->settings().SaveSetting(Section::Options, Key::HTMLTemplateFile, templatePath);
    fixture.context->settings().SaveSetting(Section::Options, Key::HTMLFile, outputPath);

    fixture.createPage();

    QCOMPARE(fixture.usedPath, outputPath);
    QFile output(outputPath);
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(output.readAll(),
             QByteArray("<meta HTTP-EQUIV='Refresh' CONTENT='300,status.htm'>\r\n\r\n"));
    QVERIFY(!QFile::exists(fixture.outputPath()));
}

void HtmlTest::header_refreshFollowsCheckInterval_data() {
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("outputPath");
    QTest::addColumn<QString>("tag");

    const QString none;
    QTest::newRow("default") << none << none
                             << "<meta HTTP-EQUIV='Refresh' CONTENT='300,orvexmonitor.html'>";
    QTest::newRow("ten minutes") << "10"
                                 << "/srv/www/status.html"
                                 << "<meta HTTP-EQUIV='Refresh' CONTENT='600,status.html'>";
    QTest::newRow("fraction rounded") << "2.51"
                                      << "page.html"
                                      << "<meta HTTP-EQUIV='Refresh' CONTENT='151,page.html'>";
    QTest::newRow("quote in file name") << "1"
                                        << "/tmp/it's.html"
                                        << "<meta HTTP-EQUIV='Refresh' CONTENT='60,it&#39;s.html'>";
    QTest::newRow("not a number") << "soon" << none << QString();
}

void HtmlTest::header_refreshFollowsCheckInterval() {
    QFETCH(QString, minutes);
    QFETCH(QString, outputPath);
    QFETCH(QString, tag);
    PageFixture fixture;
    if (!minutes.isNull())
        fixture.context->settings().SaveSetting(Section::Options, Key::MinBetweenChecks, minutes);
    const QString path = outputPath.isNull() ? fixture.outputPath() : outputPath;

    QCOMPARE(HtmlSections(*fixture.context, fixture.db).HTML_Header(path), tag);
    QCOMPARE(fixture.reportedRoutine(), tag.isEmpty() ? "HTML_Header" : QString());
}

void HtmlTest::details_rowsPerDeviceInTextOrderOfPorts() {
    PageFixture fixture;
    fixture.addDevice(QStringLiteral("10.0.0.5"));
    fixture.addItem("10.0.0.5", {"Ping", "Recovered", 5, 0, "N/A", "N/A", "03.03.26 22:00"});
    fixture.addItem("10.0.0.5", {"21", "Connected", 3, 1});
    fixture.addItem("10.0.0.5",
                    {"110", "Failed", 1, 2, "Connection refused", "04.03.26 12:00", "N/A"});
    fixture.addDevice(QStringLiteral("alpha"), QStringLiteral("Web Server"));
    fixture.addItem("alpha", {"80", "Not Checked", 0, 0, ""});
    fixture.addDevice(QStringLiteral("bare"));

    const QString expected = lines({
        "<table width='100%' border='1'><tr>",
        "<th align='Left'>Device Name</th>",
        "<th align='Left'>Port</th>",
        "<th align='Left'>Status</th>",
        "<th align='Left'>Last Error</th>",
        "<th align='Left'>Connection Summary</th>",
        "</tr>",
        "<tr>",
        "<td rowspan ='3' valign='top'>10.0.0.5</td>",
        "<td valign='top' class='Failed'>110</td>",
        "<td valign='top'>Failed since 04.03.26 12:00</td>",
        "<td valign='top'>Connection refused</td>",
        "<td valign='top'>1 out of 3 times (" + percent("33.33") + ")</td>",
        "</tr>",
        "<tr>",
        "<td valign='top' class='OK'>21</td>",
        "<td valign='top'>Connected</td>",
        "<td valign='top'>N/A</td>",
        "<td valign='top'>3 out of 4 times (" + percent("75.00") + ")</td>",
        "</tr>",
        "<tr>",
        "<td valign='top' class='Recovered'>Ping</td>",
        "<td valign='top'>Recovered on 03.03.26 22:00</td>",
        "<td valign='top'>N/A</td>",
        "<td valign='top'>5 out of 5 times (" + percent("100.00") + ")</td>",
        "</tr>",
        "<tr>",
        "<td rowspan ='1' valign='top'>web server</td>",
        "<td valign='top' class='OK'>80</td>",
        "<td valign='top'>Not Checked</td>",
        "<td valign='top'></td>",
        "<td valign='top'>0 out of 0 times (" + percent("0.00") + ")</td>",
        "</tr>",
        // A device without items keeps a row of its own; rowspan 0 would swallow the rest.
        "<tr>",
        "<td rowspan ='1' valign='top'>BARE</td>",
        "<td valign='top'></td>",
        "<td valign='top'></td>",
        "<td valign='top'></td>",
        "<td valign='top'></td>",
        "</tr>",
        "</table>",
    });
    QCOMPARE(HtmlSections(*fixture.context, fixture.db).HTML_Details(), expected);
    QVERIFY(fixture.reportedRoutine().isEmpty());
}

void HtmlTest::details_outsideTextIsEscaped_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("lastError");
    QTest::addColumn<QString>("shown");

    QTest::newRow("markup in a name") << "<b>srv</b>"
                                      << "80"
                                      << "N/A"
                                      << "&lt;B&gt;SRV&lt;/B&gt;";
    QTest::newRow("quote in a port") << "host"
                                     << "8'0"
                                     << "N/A"
                                     << "class='Failed'>8&#39;0</td>";
    QTest::newRow("script in an error") << "host"
                                        << "80"
                                        << "<script>alert(1)</script> & more"
                                        << "&lt;script&gt;alert(1)&lt;/script&gt; &amp; more";
    // A marker inside a name is text, never a place for the next section.
    QTest::newRow("marker in a name") << "<!--Agent-->"
                                      << "80"
                                      << "N/A"
                                      << "&lt;!--AGENT--&gt;";
}

void HtmlTest::details_outsideTextIsEscaped() {
    QFETCH(QString, device);
    QFETCH(QString, port);
    QFETCH(QString, lastError);
    QFETCH(QString, shown);
    PageFixture fixture;
    fixture.addDevice(device);
    fixture.addItem(device, {port, "Failed", 0, 1, lastError, "today", "N/A"});

    const QString page = QString::fromLocal8Bit(fixture.createPage("<!--Details-->\n<!--Agent-->"));
    QVERIFY2(page.contains(shown), qPrintable(page));
    QVERIFY(!page.contains(QLatin1String("<script")));
    QVERIFY(!page.contains(QLatin1String("<b>")));
    QVERIFY(page.endsWith(QLatin1String("'' No Activity To Announce\r\n\r\n")));
}

void HtmlTest::details_databaseError_reportedAndPageStillWritten() {
    PageFixture fixture;
    fixture.addDevice(QStringLiteral("host"));
    fixture.db.execute({QStringLiteral("Drop table Main_Data"), {}});

    const QByteArray page = fixture.createPage("[<!--Details-->]<!--FailedDevices-->");

    QCOMPARE(fixture.reportedRoutine(), QStringLiteral("HTML_Details"));
    QCOMPARE(fixture.context.end.codes.size(), 1);
    QCOMPARE(page, QByteArray("[]0\r\n\r\n"));
}

void HtmlTest::footer_carriesTimeAndLink() {
    PageFixture fixture;
    const QString footer = HtmlSections(*fixture.context, fixture.db).HTML_Footer();
    QVERIFY(footer.startsWith(QLatin1String("<span = 'footer'><p align='center'><small>Last "
                                            "Updated:&nbsp;") +
                              fixture.context->clock().generalDate() + "</small><br>"));
    QVERIFY(footer.contains(QLatin1String("'>IP Orvex Monitor 2.0</a></small></p></span>")));
    QVERIFY(!footer.contains(CRLF));
}

void HtmlTest::agent_statementsFollowNoticesAndSetting_data() {
    QTest::addColumn<QString>("showSetting");
    QTest::addColumn<FailureList>("failures");
    QTest::addColumn<RecoveryList>("recoveries");
    QTest::addColumn<QStringList>("statements");

    const QDateTime now(QDate(2026, 3, 4), QTime(13, 5, 9));
    const QStringList opening = {"", "On Error Resume Next", "AgentChar.Show",
                                 "AgentChar.Play \"Explain\""};
    const QStringList dateAndTime = {
        "AgentChar.Speak \"The date is " + Clock::longDate(now.date()) + ".\"",
        "AgentChar.Speak \"The time is " + Clock::shortTime(now.time()) + ".\""};
    const QStringList closing = {"", "AgentChar.Hide"};
    const FailureList failed = {{"10.0.0.5", "110", "Connection refused"}};
    const RecoveryList recovered = {{"web server", "Ping"}};
    const QStringList failureLines = {
        "AgentChar.Play \"Surprised\"",
        "AgentChar.Speak \"There was a problem connecting to the following devices:  \"",
        "AgentChar.Speak \"\\map=\" + Chr(34) + \"10\\pau=50\\ dot \\pau=25\\0\\pau=50\\ dot "
        "\\pau=25\\0\\pau=50\\ dot \\pau=25\\5\" + Chr(34) + \"=\" + Chr(34) + \"10.0.0.5\" + "
        "Chr(34) + \"\\ port 110 because Connection refused.\\pau=800\\\""};
    const QStringList recoveryLines = {
        "AgentChar.Play \"Pleased\"", "AgentChar.Speak \"The following devices have recovered:  \"",
        "AgentChar.Speak \"\\map=\" + Chr(34) + \"web server\" + Chr(34) + \"=\" + Chr(34) + "
        "\"web server\" + Chr(34) + \"\\ port Ping.\\pau=800\\\""};

    QTest::newRow("nothing to announce") << QString() << FailureList() << RecoveryList()
                                         << QStringList{"'' No Activity To Announce"};
    QTest::newRow("failures") << QString() << failed << RecoveryList()
                              << opening + dateAndTime + failureLines + closing;
    QTest::newRow("recoveries") << "1" << FailureList() << recovered
                                << opening + dateAndTime + recoveryLines + closing;
    QTest::newRow("both") << "-1" << failed << recovered
                          << opening + dateAndTime + failureLines + recoveryLines + closing;
    QTest::newRow("character kept quiet") << "0" << failed << recovered << opening + closing;
}

void HtmlTest::agent_statementsFollowNoticesAndSetting() {
    QFETCH(QString, showSetting);
    QFETCH(FailureList, failures);
    QFETCH(RecoveryList, recoveries);
    QFETCH(QStringList, statements);
    PageFixture fixture;
    if (!showSetting.isNull())
        fixture.context->settings().SaveSetting(Section::MSAgent, Key::ShowHTMLCharacter,
                                                showSetting);

    const QString script = HtmlAgentScript(*fixture.context).HTML_Agent(failures, recoveries);
    if (statements.size() == 1)
        QCOMPARE(script, statements.first());
    else
        QCOMPARE(script.split(CRLF), statements + QStringList{QString()});
}

void HtmlTest::agent_scriptStringsAreEscaped_data() {
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("inScript");

    QTest::newRow("quote doubled") << "said \"no\""
                                   << "because said \"\"no\"\"";
    QTest::newRow("line breaks to blanks") << "one\r\ntwo\nthree"
                                           << "because one  two three";
    QTest::newRow("closing tag cannot end the script")
        << "</script><!--"
        << "because \" + Chr(60) + \"/script>\" + Chr(60) + \"!--";
}

void HtmlTest::agent_scriptStringsAreEscaped() {
    QFETCH(QString, errorText);
    QFETCH(QString, inScript);
    PageFixture fixture;
    const QString script =
        HtmlAgentScript(*fixture.context).HTML_Agent({{"h\"st", "80", errorText}}, RecoveryList());
    QVERIFY2(script.contains(inScript), qPrintable(script));
    QVERIFY(script.contains(QLatin1String("+ Chr(34) + \"h\"\"st\" + Chr(34) +")));
    // Every statement still stands on a line of its own.
    for (const QString& line : script.split(CRLF, Qt::SkipEmptyParts))
        QVERIFY2(line.startsWith(QLatin1String("AgentChar.")) || line == "On Error Resume Next",
                 qPrintable(line));
    QVERIFY(!script.contains(QLatin1Char('<')));
}

void HtmlTest::missingTemplate_errorPageOnlyOverExistingOutput_data() {
    QTest::addColumn<bool>("outputExists");
    QTest::addColumn<QString>("spokenEnd");

    QTest::newRow("output exists") << true << "does not exist.";
    QTest::newRow("no output") << false
                               << "does not exist\\pau=300\\ and the HTML output path "
                                  "is not valid.";
}

void HtmlTest::missingTemplate_errorPageOnlyOverExistingOutput() {
    QFETCH(bool, outputExists);
    QFETCH(QString, spokenEnd);
    PageFixture fixture;
    if (outputExists) {
        QFile old(fixture.outputPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old page");
    }

    const QByteArray page = fixture.createPage(someFailures(1), {});

    const QString message = QStringLiteral("An error occurred while writing the HTML output file "
                                           "because the HTML template file you specified does "
                                           "not exist");
    if (outputExists) {
        QCOMPARE(QString::fromLocal8Bit(page),
                 "<HTML><BODY><CENTER><H1>IP Orvex Monitor 2.0 - Error Had Occured</H1></CENTER>"
                 "<HR>" +
                     message + ".<BR>" + message + "<HR></BODY></HTML>\r\n");
    } else {
        QVERIFY(!QFile::exists(fixture.outputPath()));
    }
    const auto& spoken = fixture.context.assistant.spoken;
    QCOMPARE(spoken.size(), 2);
    QVERIFY(spoken[0].text.startsWith(message));
    QVERIFY2(spoken[0].text.endsWith(spokenEnd), qPrintable(spoken[0].text));
    QCOMPARE(spoken[0].animation, QStringLiteral("Explain"));
    QCOMPARE(spoken[1].text,
             QStringLiteral("Please verify the HTML output settings from the options menu."));
    QCOMPARE(spoken[1].animation, QStringLiteral("Suggest"));
    QCOMPARE(fixture.context->state().SpeechText, spoken[1].text);
    QVERIFY(fixture.context->messageWindow().text().contains(
        QLatin1String("Warning...Error writing HTML output file.  HTML output has been disabled")));
    QCOMPARE(fixture.htmlOutputSetting(), QStringLiteral("0"));
    QVERIFY(fixture.reportedRoutine().isEmpty());
}

void HtmlTest::unwritableOutput_switchedOffWithoutEndingProgram() {
    PageFixture fixture;
    fixture.writeTemplate("<!--Details-->");
    const QString outputPath = fixture.context.programFile(QStringLiteral("missing/page.html"));
    fixture.context->settings().SaveSetting(Section::Options, Key::HTMLFile, outputPath);

    fixture.createPage();

    QVERIFY(!QFile::exists(outputPath));
    QVERIFY(fixture.context.end.codes.isEmpty());
    QCOMPARE(fixture.context.assistant.texts().value(0),
             QStringLiteral("An error occurred while writing the HTML output file because the "
                            "HTML output path is not valid."));
    QVERIFY(fixture.context->messageWindow().text().contains(
        QLatin1String("Warning...Error writing HTML output file.")));
    QCOMPARE(fixture.htmlOutputSetting(), QStringLiteral("0"));
}

void HtmlTest::shippedTemplate_holdsEveryMarkerWhereItBelongs() {
    QFile file(QStringLiteral(ORVEX_SOURCE_DIR "/data/template.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* marker :
         {"<!--LastCheck-->", "<!--FailedDevices-->", "<!--RecoveredDevices-->", "<!--Header-->",
          "<!--Details-->", "<!--Footer-->", "<!--Agent-->"}) {
        QVERIFY2(text.contains(QLatin1String(marker)), marker);
    }
    const qsizetype headEnd = text.indexOf(QLatin1String("</head>"));
    QVERIFY(headEnd > 0);
    QVERIFY(text.indexOf(QLatin1String("<!--Header-->")) < headEnd);
    // The character statements sit in a script block that browsers keep as data.
    const qsizetype agent = text.indexOf(QLatin1String("<!--Agent-->"));
    const qsizetype block = text.lastIndexOf(QLatin1String("<script"), agent);
    QVERIFY(block >= 0);
    QVERIFY(text.indexOf(QLatin1String("</script>"), block) > agent);
    const QString opening = text.mid(block, text.indexOf(QLatin1Char('>'), block) - block);
    QVERIFY2(opening.contains(QLatin1String("type=\"text/vbscript\"")), qPrintable(opening));
}

ORVEX_TEST_GUILESS_MAIN(HtmlTest)
#include "tst_html.moc"
