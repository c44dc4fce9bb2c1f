#include "app/MonitorProgram.h"
#include "MailControlHost.h"
#include "platform/PingSocket.h"
#include "report/AboutBox.h"
#include "store/Catalogue.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"
#include "ui/main/TrayIcon.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

#include <unistd.h>

namespace {
QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A loopback port nothing listens on yet.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}
} // namespace

// The whole monitor on its own program folder, settings and registry: a loopback device with
// a ping item, a port with a listener and a closed port, mail to a real SMTP server and the
// status page on. The minute of the countdown is shortened through the timer's test seam only.
class AcceptanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void threeCycles_thenRecovery();

private:
    void prepareProgramFolder();
    void prepareDatabase();
    void startMailServer();
    QStringList logLines(const QString& kind) const;
    QStringList mails() const;

    std::unique_ptr<TestContext> t;
    QTcpServer m_listener;
    QTcpServer m_lateListener;
    quint16 m_closedPort = 0;
    QTemporaryDir m_mailFolder;
    QProcess m_mailServer;
    int m_mailPort = 0;
};

void AcceptanceTest::initTestCase() {
    // The run expects the loopback ping to answer; without an ICMP socket every cycle would
    // also record the ping item as failed.
    const PingSocket::Opening icmp = PingSocket::open();
    if (icmp.fd < 0)
        QSKIP("this process may open no ICMP socket");
    ::close(icmp.fd);
    qputenv("ORVEX_MINUTE_MS", "2500");
    t = std::make_unique<TestContext>();
    QCOMPARE(MailControlHost::registerLibrary(), QString());
    QVERIFY(m_listener.listen(QHostAddress::LocalHost));
    m_closedPort = closedPort();
    prepareProgramFolder();
    prepareDatabase();
    startMailServer();

    Settings& s = (*t)->settings();
    s.SaveSetting("Options", "AutoStart", "1");
    s.SaveSetting("Options", "Min_Between_Checks", "1");
    s.SaveSetting("Options", "HTMLOutput", "1");
    s.SaveSetting("Options", "PingTimeOut", "2000");
    s.SaveSetting("Mail Options", "SendOnConsecutiveFailure", "2");
    s.SaveSetting("Mail Options", "SendOnFailure", "1");
    s.SaveSetting("Mail Options", "MailTo", "first@example.com;second@example.com");
    s.SaveSetting("Mail Options", "MailFrom", "monitor@example.com");
    s.SaveSetting("Mail Options", "MailServerPrimary", QString("127.0.0.1:%1").arg(m_mailPort));
}

void AcceptanceTest::cleanupTestCase() {
    m_mailServer.kill();
    m_mailServer.waitForFinished();
}

void AcceptanceTest::prepareProgramFolder() {
    const QString shipped = QStringLiteral(ORVEX_PROGRAM_DIR);
    QVERIFY(QFile::copy(shipped + "/template.html", t->programFile("template.html")));
    QVERIFY(QFile::link(shipped + "/chars", t->programFile("chars")));
}

void AcceptanceTest::prepareDatabase() {
    const QString path = t->programFile("OrvexMonitor.mdb");
    Database::create(path);
    Database db;
    db.open(path);
    db.execute({"INSERT INTO Devices (Device, Device_Alias, Device_Description) VALUES (?, ?, ?)",
                {"127.0.0.1", "loopback", "This machine"}});
    const QStringList ports{"Ping", QString::number(m_listener.serverPort()),
                            QString::number(m_closedPort)};
    for (const QString& port : ports)
        db.execute({"INSERT INTO Main_Data (Device, Port) VALUES (?, ?)", {"127.0.0.1", port}});
}

void AcceptanceTest::startMailServer() {
    m_mailServer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_mailServer.start("/usr/bin/python3", {SMTP_SINK_SCRIPT, m_mailFolder.path()});
    QVERIFY(m_mailServer.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_mailServer.canReadLine(), 20000);
    m_mailPort = m_mailServer.readLine().trimmed().toInt();
    QVERIFY(m_mailPort > 0);
}

QStringList AcceptanceTest::logLines(const QString& kind) const {
    return readFile(t->programFile("OrvexMonitor.txt")).split("\r\n").filter(" " + kind + "...");
}

QStringList AcceptanceTest::mails() const {
    QStringList texts;
    QDir folder(m_mailFolder.path());
    for (const QString& name : folder.entryList({"*.eml"}, QDir::Files, QDir::Name))
        texts << readFile(folder.filePath(name));
    return texts;
}

void AcceptanceTest::threeCycles_thenRecovery() {
    MonitorProgram program(**t);
    QVERIFY(program.start());
    frmMain* window = program.mainForm();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("IP Orvex Monitor 2.0 - OrvexMonitor.mdb"));
    // The window's mail control came from the registered library.
    QVERIFY(window->mailControl());
    QCOMPARE(frmAbout(window->mailControl()).mailControlText(),
             QString("Orvex SMTP Control Ver: 2.0.11"));

    const QString closed = QString::number(m_closedPort);
    QTRY_VERIFY_WITH_TIMEOUT(logLines("Failure").size() >= 3, 60000);
    // The third cycle has ended once the countdown shows again; the next one is a minute away.
    QTRY_VERIFY_WITH_TIMEOUT(window->face().statusPanel(1).startsWith("Next Check In"), 20000);

    const QStringList failures = logLines("Failure");
    QCOMPARE(failures.size(), 3);
    for (const QString& line : failures)
        QVERIFY2(
            line.endsWith("Failure...LOOPBACK port " + closed + " because connection refused."),
            qPrintable(line));
    QVERIFY(logLines("Message").first().endsWith("Message...Monitoring Started."));

    // Mailed once per recipient, in the cycle whose failure run reached 2.
    QTRY_COMPARE_WITH_TIMEOUT(mails().size(), 2, 20000);
    for (const QString& mail : mails()) {
        QVERIFY(mail.contains("Subject: IP Orvex Monitor 2.0 Message: Activity Detected\r\n"));
        QVERIFY(mail.contains(QRegularExpression(
            "\r\n\r\nSummary:  1 devices failed, 0 devices recovered on [^\r\n]+\r\n\r\n"
            "The following devices have failed 2 consecutive times:\r\n\r\n"
            "loopback port " +
            closed +
            " because connection refused\r\n\r\n"
            "Device failure notification is currently set at 2 consecutive failures.\r\n")));
    }
    QVERIFY(readFile(m_mailFolder.filePath("message1.json")).contains("first@example.com"));
    QVERIFY(readFile(m_mailFolder.filePath("message2.json")).contains("second@example.com"));

    const QString page = readFile(t->programFile("OrvexMonitor.html"));
    QVERIFY2(page.contains("<td rowspan ='3' valign='top'>loopback</td>"),
             qPrintable(readFile(t->programFile("OrvexMonitor.txt"))));
    QVERIFY(page.contains("loopback"));
    QVERIFY(page.contains("<td valign='top' class='Failed'>" + closed + "</td>"));
    QVERIFY(page.contains("<td valign='top' class='OK'>Ping</td>"));
    QVERIFY(page.contains("0 out of 3 times (0.00%)"));
    QVERIFY(page.contains("3 out of 3 times (100.00%)"));
    QCOMPARE(window->face().tray().tip(), QString("IP Orvex Monitor 2.0 - 1 problems detected."));

    // The service comes up: the next cycle reports the recovery and mails it.
    QVERIFY(m_lateListener.listen(QHostAddress::LocalHost, m_closedPort));
    QTRY_VERIFY_WITH_TIMEOUT(logLines("Recovery").size() == 1, 60000);
    QVERIFY(logLines("Recovery")
                .first()
                .endsWith("Recovery...LOOPBACK port " + closed + " recovered."));
    QTRY_COMPARE_WITH_TIMEOUT(mails().size(), 4, 20000);
    QVERIFY(mails().last().contains("The following devices have recovered:\r\n\r\nloopback port " +
                                    closed + "\r\n"));
    // What the operator would have seen, for the record of the run.
    qInfo().noquote() << "Log file:\n" + readFile(t->programFile("OrvexMonitor.txt"));
    qInfo().noquote() << "Last mail received:\n" + mails().last();
    Recordset item = program.monitorDB().openRecordset(Catalogue::item("127.0.0.1", closed));
    QCOMPARE(item.text("Mail_Status"), QString("N/A"));
    QCOMPARE(item.text("Status"), QString("Recovered"));
}

ORVEX_TEST_MAIN(AcceptanceTest)
#include "tst_acceptance.moc"
