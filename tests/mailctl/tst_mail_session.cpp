#include "MailControlHost.h"
#include "platform/ComponentPropertyBag.h"
#include "ScriptedSmtpServer.h"
#include "TestMain.h"

#include <algorithm>
#include <memory>

namespace {
// Short enough to keep the silent cases quick, long enough for a loaded machine.
constexpr int TestTimeOut = 1500;

const QString Primary = QStringLiteral("127.0.0.1");
const QString Secondary = QStringLiteral("127.0.0.2");

QStringList failure(const QString& text) {
    return {QStringLiteral("SMTPStatus: ") + text, QStringLiteral("SendError: ") + text};
}

QStringList fallback(const QString& text) {
    return failure(text + QStringLiteral(". Trying Secondary Mail Server"));
}

QStringList connecting(const QString& server) {
    return {QStringLiteral("SMTPStatus: Connecting to ") + server};
}

QStringList upTo(int steps) {
    const QStringList all = {"SMTPStatus: Mail Server is ready", "SMTPStatus: Sending FROM command",
                             "SMTPStatus: Sending RCPT command", "SMTPStatus: Sending DATA command",
                             "SMTPStatus: Sending mail message data"};
    return all.mid(0, steps);
}

QStringList success(const QString& server) {
    return connecting(server) + upTo(5) +
           QStringList{"SMTPStatus: Sending Quit command to disconnect from mail server",
                       "SendComplete: Message Sent"};
}

const QString TimedOut = QStringLiteral("The attempt to connect timed out");
} // namespace

// A host that answers a failure by sending again at once, as a dispatcher working through
// its recipients might.
class ResendOnError final : public QObject {
    Q_OBJECT

public:
    ResendOnError(QObject* control, const QString& server)
        : m_control(control)
        , m_server(server) {
        connect(control, SIGNAL(SendError(QString)), this, SLOT(resend()));
    }

    bool resent = false;

public slots:
    void resend() {
        if (resent)
            return;
        resent = true;
        m_control->setProperty("MailServerPrimary", m_server);
        MailControlHost::send(m_control);
    }

private:
    QObject* m_control;
    QString m_server;
};

class TestMailSession final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exchange_endsOnceWithExpectedEvents_data();
    void exchange_endsOnceWithExpectedEvents();
    void send_fromFailureHandler_keepsNewExchangeRunning();
};

void TestMailSession::initTestCase() {
    QCOMPARE(MailControlHost::registerLibrary(), QString());
}

// "%P" and "%S" in the expected events stand for the primary and secondary "host:port".
void TestMailSession::exchange_endsOnceWithExpectedEvents_data() {
    QTest::addColumn<SmtpScript>("primary");
    QTest::addColumn<SmtpScript>("secondary");
    QTest::addColumn<bool>("hasSecondary");
    QTest::addColumn<QStringList>("expected");

    const SmtpScript good;
    const SmtpScript silent = good.greeting_({});
    const QString P = QStringLiteral("%P");
    const QString S = QStringLiteral("%S");

    QTest::newRow("accepted") << good << good << false << success(P);
    QTest::newRow("5xx greeting") << good.greeting_({"554 no service here\r\n"}) << good << false
                                  << connecting(P) + failure("554 no service here\r\n");
    QTest::newRow("5xx to HELO") << good.with("HELO", "501 bad name\r\n") << good << false
                                 << connecting(P) + upTo(1) + failure("501 bad name\r\n");
    QTest::newRow("5xx to MAIL FROM")
        << good.with("MAIL", "553 sender refused\r\n") << good << false
        << connecting(P) + upTo(2) + failure("553 sender refused\r\n");
    QTest::newRow("5xx to RCPT TO") << good.with("RCPT", "550 no such user\r\n") << good << false
                                    << connecting(P) + upTo(3) + failure("550 no such user\r\n");
    QTest::newRow("5xx to DATA") << good.with("DATA", "554 no data\r\n") << good << false
                                 << connecting(P) + upTo(4) + failure("554 no data\r\n");
    QTest::newRow("5xx to the message") << good.with(".", "552 too big  \r\n") << good << false
                                        << connecting(P) + upTo(5) + failure("552 too big  \r\n");
    QTest::newRow("multi-line 5xx handled once")
        << good.with("RCPT", "550-no such user\r\n550 try another\r\n") << good << false
        << connecting(P) + upTo(3) + failure("550-no such user\r\n550 try another\r\n");
    // A reply that never seems to end keeps its start and its last line, nothing between.
    const QByteArray longLine = "550-" + QByteArray(94, 'x') + "\r\n";
    QTest::newRow("endless multi-line 5xx is cut")
        << good.with("RCPT", longLine.repeated(2000) + "550 end\r\n") << good << false
        << connecting(P) + upTo(3) +
               failure(QString::fromLatin1(longLine.repeated(655)) + "550 end\r\n");
    QTest::newRow("221 before success")
        << good.with("MAIL", "221 closing\r\n") << good << false
        << connecting(P) + upTo(2) + failure("Disconnected from mail server");
    QTest::newRow("221 after a 5xx")
        << good.with("HELO", "550 go away\r\n") << good.greeting_({"221 busy\r\n"}) << true
        << connecting(P) + upTo(1) + fallback("550 go away\r\n") + connecting(S) +
               failure("Disconnected from mail server after error");
    QTest::newRow("silence") << silent << good << false << connecting(P) + failure(TimedOut);
    QTest::newRow("4xx ignored until the time-out")
        << good.with("MAIL", "451 try later\r\n") << good << false
        << connecting(P) + upTo(2) + failure(TimedOut);
    QTest::newRow("251 to RCPT stalls") << good.with("RCPT", "251 will forward\r\n") << good
                                        << false << connecting(P) + upTo(3) + failure(TimedOut);
    QTest::newRow("refused") << SmtpScript::refusing() << good << false
                             << connecting(P) + failure("Connection refused");
    QTest::newRow("server hangs up")
        << good.with("MAIL", "<close>") << good << false
        << connecting(P) + upTo(2) + failure("The remote host closed the connection");
    QTest::newRow("primary refused, secondary accepts")
        << SmtpScript::refusing() << good << true
        << connecting(P) + fallback("Connection refused") + success(S);
    QTest::newRow("primary silent, secondary accepts")
        << silent << good << true << connecting(P) + fallback(TimedOut) + success(S);
    QTest::newRow("both fail") << good.with("RCPT", "550 no such user\r\n")
                               << SmtpScript::refusing() << true
                               << connecting(P) + upTo(3) + fallback("550 no such user\r\n") +
                                      connecting(S) + failure("Connection refused");
    QTest::newRow("greeting split across writes")
        << good.greeting_({"22", "0 mail.exa", "mple.org ready\r", "\n"}) << good << false
        << success(P);
    QTest::newRow("multi-line greeting")
        << good.greeting_({"220-mail.example.org\r\n220-welcome\r\n220 ready\r\n"}) << good << false
        << success(P);
    QTest::newRow("multi-line greeting line by line")
        << good.greeting_({"220-mail.example.org\r\n", "220-welcome\r\n", "220 ready\r\n"}) << good
        << false << success(P);
}

void TestMailSession::exchange_endsOnceWithExpectedEvents() {
    QFETCH(SmtpScript, primary);
    QFETCH(SmtpScript, secondary);
    QFETCH(bool, hasSecondary);
    QFETCH(QStringList, expected);

    ScriptedSmtpServer primaryServer(primary, Primary, nullptr);
    ScriptedSmtpServer secondaryServer(secondary, Secondary, nullptr);
    ComponentPropertyBag bag;
    bag.setValue(QStringLiteral("MailTimeOut"), TestTimeOut);
    std::unique_ptr<QObject> control(MailControlHost::restore(bag, nullptr));
    QVERIFY(control);
    MailControlHost::setMessage(control.get(), primaryServer.server(),
                                hasSecondary ? secondaryServer.server() : QString());
    MailEventLog log(control.get());

    QCOMPARE(MailControlHost::send(control.get()), short(0));
    QVERIFY(control->property("StillExecuting").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(!control->property("StillExecuting").toBool(), 4 * TestTimeOut);
    // Whatever the peers still do after the ending (answering QUIT, hanging up) must not
    // produce a second one.
    QTRY_COMPARE(primaryServer.openConnections() + secondaryServer.openConnections(), 0);
    QCoreApplication::processEvents();

    expected.replaceInStrings(QStringLiteral("%P"), primaryServer.server());
    expected.replaceInStrings(QStringLiteral("%S"), secondaryServer.server());
    QCOMPARE(log.events, expected);

    // Every greeting is answered once, always with the primary server's host.
    for (const ScriptedSmtpServer* server : {&primaryServer, &secondaryServer}) {
        const QByteArrayList commands = server->commands();
        const auto helo = std::count_if(commands.begin(), commands.end(),
                                        [](const QByteArray& c) { return c.startsWith("HELO"); });
        QVERIFY(helo <= 1);
        if (helo == 1)
            QCOMPARE(commands.first(), QByteArray("HELO ") + Primary.toLatin1());
    }
}

void TestMailSession::send_fromFailureHandler_keepsNewExchangeRunning() {
    ScriptedSmtpServer refusing(SmtpScript::refusing(), Primary, nullptr);
    ScriptedSmtpServer silent(SmtpScript().greeting_({}), Primary, nullptr);
    ComponentPropertyBag bag;
    bag.setValue(QStringLiteral("MailTimeOut"), TestTimeOut);
    std::unique_ptr<QObject> control(MailControlHost::restore(bag, nullptr));
    MailControlHost::setMessage(control.get(), refusing.server(), QString());
    ResendOnError host(control.get(), silent.server());
    MailEventLog log(control.get());

    MailControlHost::send(control.get());
    QTRY_VERIFY(host.resent);
    // The ended exchange must not mark the one started from its handler as finished.
    QVERIFY(control->property("StillExecuting").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(!control->property("StillExecuting").toBool(), 4 * TestTimeOut);
    QCOMPARE(log.events.last(), QStringLiteral("SendError: ") + TimedOut);
}

ORVEX_TEST_MAIN(TestMailSession)
#include "tst_mail_session.moc"
