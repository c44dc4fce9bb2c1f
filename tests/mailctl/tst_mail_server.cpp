#include "MailControlHost.h"
#include "TestContext.h"
#include "TestMain.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

class TestMailServer final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void send_messageArrivesIntact_data();
    void send_messageArrivesIntact();
    void controlText_oneLogLineAndCrLfMail_data();
    void controlText_oneLogLineAndCrLfMail();

private:
    // Sends one message and sets *file to the file the server stored it in.
    void sendAndWait(QObject* control, QString* file);
    int messageCount() const;

    QTemporaryDir m_folder;
    QProcess m_server;
    QString m_address;
    std::unique_ptr<QObject> m_control;
};

void TestMailServer::initTestCase() {
    QCOMPARE(MailControlHost::registerLibrary(), QString());
    QVERIFY(m_folder.isValid());
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(SMTP_SINK_SCRIPT), m_folder.path()});
    QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
    // The port is printed once the server accepts connections.
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine() || m_server.state() == QProcess::NotRunning,
                             20000);
    const int port = m_server.readLine().trimmed().toInt();
    QVERIFY2(port > 0, "the SMTP server did not start");
    m_address = QStringLiteral("127.0.0.1:%1").arg(port);

    m_control.reset(MailControlHost::create(nullptr));
    QVERIFY(m_control);
}

void TestMailServer::cleanupTestCase() {
    m_control.reset();
    m_server.kill();
    m_server.waitForFinished();
}

int TestMailServer::messageCount() const {
    return QDir(m_folder.path()).entryList({QStringLiteral("*.eml")}, QDir::Files).size();
}

void TestMailServer::sendAndWait(QObject* control, QString* file) {
    MailEventLog log(control);
    const int before = messageCount();
    MailControlHost::send(control);
    QTRY_VERIFY_WITH_TIMEOUT(!control->property("StillExecuting").toBool(), 30000);
    QVERIFY2(!log.events.isEmpty() &&
                 log.events.last() == QStringLiteral("SendComplete: Message Sent"),
             qPrintable(log.events.join(u'\n')));
    QTRY_COMPARE_WITH_TIMEOUT(messageCount(), before + 1, 10000);
    *file = m_folder.filePath(QStringLiteral("message%1.eml").arg(before + 1));
}

// The rows send one after another through the same control, each once the previous exchange
// has ended, as the monitor sends to its recipients.
void TestMailServer::send_messageArrivesIntact_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("received");

    QTest::newRow("lines beginning with a dot, no final line break")
        << ".profile changed\r\nsecond line\r\n.\r\n..\r\nlast line"
        << QByteArray("Subject: Activity Detected\r\n.profile changed\r\nsecond line\r\n.\r\n"
                      "..\r\nlast line\r\n");
    QTest::newRow("bare line feeds")
        << "one\ntwo\n"
        << QByteArray("Subject: Activity Detected\r\none\r\ntwo\r\n\r\n");
    QTest::newRow("header lines and separator in the body")
        << "X-Mailer: Monitor\r\n\r\nBody text"
        << QByteArray("Subject: Activity Detected\r\nX-Mailer: Monitor\r\n\r\nBody text\r\n");
}

void TestMailServer::send_messageArrivesIntact() {
    QFETCH(QString, body);
    QFETCH(QByteArray, received);
    MailControlHost::setMessage(m_control.get(), m_address, QString(), body);

    QString file;
    sendAndWait(m_control.get(), &file);
    if (QTest::currentTestFailed())
        return;
    QFile message(file);
    QVERIFY(message.open(QIODevice::ReadOnly));
    const QByteArray content = message.readAll();
    QCOMPARE(content, received);
    QVERIFY(!content.contains("Night Operator") && !content.contains("Monitor Host"));

    QFile envelopeFile(file.chopped(4) + QStringLiteral(".json"));
    QVERIFY(envelopeFile.open(QIODevice::ReadOnly));
    const QJsonObject envelope = QJsonDocument::fromJson(envelopeFile.readAll()).object();
    QCOMPARE(envelope["helo"].toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(envelope["from"].toString(), QStringLiteral("monitor@example.org"));
    QCOMPARE(envelope["to"].toVariant().toStringList(),
             QStringList{QStringLiteral("operator@example.org")});
}

// An alias or error text, as it reaches the log and a mail body.
void TestMailServer::controlText_oneLogLineAndCrLfMail_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QByteArray>("mailed");
    QTest::newRow("bare CR") << "web\r.\rSTOPPED."
                             << "web . STOPPED." << QByteArray("web\r\n.\r\nSTOPPED.\r\n");
    QTest::newRow("NUL") << QString::fromUtf8("web\0STOPPED.", 12) << "web STOPPED."
                         << QByteArray("web STOPPED.\r\n");
    QTest::newRow("U+2028 and other controls")
        << "web\u2028\t\x7f\u0085\u2029STOPPED."
        << "web     STOPPED."
        << QByteArray("web\xe2\x80\xa8\t\x7f\xc2\x85\xe2\x80\xa9STOPPED.\r\n");
}

void TestMailServer::controlText_oneLogLineAndCrLfMail() {
    QFETCH(QString, text);
    QFETCH(QString, logged);
    QFETCH(QByteArray, mailed);
    TestContext t;
    QVERIFY(t->log().formatLine(text, "Failure").endsWith(" Failure..." + logged));
    MailControlHost::setMessage(m_control.get(), m_address, QString(), text);
    QString file;
    sendAndWait(m_control.get(), &file);
    QFile message(file);
    QVERIFY(message.open(QIODevice::ReadOnly));
    QCOMPARE(message.readAll(), "Subject: Activity Detected\r\n" + mailed);
}

ORVEX_TEST_MAIN(TestMailServer)
#include "tst_mail_server.moc"
