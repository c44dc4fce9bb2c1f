#include "core/AppInfo.h"
#include "MailControlHost.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/dialogs/frmSMTPSetUp.h"
#include "ui/dialogs/SmtpTestMail.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const char* const FieldNames[] = {"txtMailServerPrimary", "txtMailServerSecondary", "txtMailTo",
                                  "txtMailFrom"};

QStringList storedKeys() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, AppInfo::Title);
    return store.allKeys();
}

} // namespace

class UiSmtpSetUpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void open_emptyStore_fieldsEmptyAndOkGreyed();
    void open_loadsTheStoredFields();
    void okState_followsTheFields_data();
    void okState_followsTheFields();
    void ok_storesTheFieldsExactlyAsTyped();
    void cancel_storesNothing();
    void leavingRecipientsWithAComma_asksForSemicolons_data();
    void leavingRecipientsWithAComma_asksForSemicolons();
    void ok_requiredFieldEmpty_isNamedAndNothingStored_data();
    void ok_requiredFieldEmpty_isNamedAndNothingStored();
    void testMail_sendsTheFieldsAsTypedWithoutStoringThem();
    void testMail_showsTheOutcomeOfBothServers_data();
    void testMail_showsTheOutcomeOfBothServers();
    void testMail_outcomeBoxMayStayUpWhileTheSessionCloses();

private:
    QLineEdit* field(int index) const;
    void type(int index, const QString& text);
    QPushButton* button(const char* name) const;
    int messageCount() const;

    std::unique_ptr<TestContext> m_t;
    std::unique_ptr<frmSMTPSetUp> m_d;
    QTemporaryDir m_mailFolder;
    QProcess m_server;
    int m_port = 0;
};

void UiSmtpSetUpTest::initTestCase() {
    QCOMPARE(MailControlHost::registerLibrary(), QString());
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(SMTP_SINK_SCRIPT), m_mailFolder.path()});
    QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine() || m_server.state() == QProcess::NotRunning,
                             20000);
    m_port = m_server.readLine().trimmed().toInt();
    QVERIFY2(m_port > 0, "the SMTP server did not start");
}

void UiSmtpSetUpTest::cleanupTestCase() {
    m_server.kill();
    m_server.waitForFinished();
}

void UiSmtpSetUpTest::init() {
    m_t = std::make_unique<TestContext>();
}

void UiSmtpSetUpTest::cleanup() {
    m_d.reset();
    m_t.reset();
}

QLineEdit* UiSmtpSetUpTest::field(int index) const {
    return m_d->findChild<QLineEdit*>(FieldNames[index]);
}

QPushButton* UiSmtpSetUpTest::button(const char* name) const {
    return m_d->findChild<QPushButton*>(name);
}

void UiSmtpSetUpTest::type(int index, const QString& text) {
    QLineEdit* edit = field(index);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

int UiSmtpSetUpTest::messageCount() const {
    return QDir(m_mailFolder.path()).entryList({QStringLiteral("*.eml")}, QDir::Files).size();
}

void UiSmtpSetUpTest::open_emptyStore_fieldsEmptyAndOkGreyed() {
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    QVERIFY(QTest::qWaitForWindowActive(m_d.get()));

    QCOMPARE(m_d->windowTitle(), QString("IP Orvex Monitor - SMTP Options"));
    auto* tabs = m_d->findChild<QTabWidget*>();
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QString("SMTP Properties"));
    const QStringList labels = {"Primary SMTP Server:", "Secondary SMTP Server:",
                                "Send To Email Addresses:", "Your Email Address:"};
    const QStringList tips = {"SMTP Server Name or IP Address", "SMTP Server Name or IP Address",
                              "Send To Email Address", "Your Email Address"};
    for (int i = 0; i < 4; ++i) {
        QVERIFY(field(i)->text().isEmpty());
        QCOMPARE(field(i)->toolTip(), tips[i]);
        QLabel* label = nullptr;
        for (QLabel* l : m_d->findChildren<QLabel*>())
            if (l->buddy() == field(i))
                label = l;
        QVERIFY(label);
        QCOMPARE(label->text(), labels[i]);
        // Top to bottom in the order of the table.
        if (i > 0)
            QVERIFY(field(i)->mapTo(m_d.get(), QPoint()).y() >
                    field(i - 1)->mapTo(m_d.get(), QPoint()).y());
    }
    QVERIFY(!button("cmdOK")->isEnabled());
    QVERIFY(!button("cmdTestMail")->isEnabled());
    QVERIFY(button("cmdCancel")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), field(0));
}

void UiSmtpSetUpTest::open_loadsTheStoredFields() {
    const QStringList stored = {"mail.example.org", "", "a@example.org;b@example.org",
                                "monitor@example.org"};
    const char* keys[] = {"MailServerPrimary", "MailServerSecondary", "MailTo", "MailFrom"};
    for (int i = 0; i < 4; ++i)
        m_t->context->settings().SaveSetting("Mail Options", keys[i], stored[i]);
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(field(i)->text(), stored[i]);
    QVERIFY(button("cmdOK")->isEnabled());
    QVERIFY(button("cmdTestMail")->isEnabled());
}

void UiSmtpSetUpTest::okState_followsTheFields_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("all filled") << QStringList{"mail", "backup", "a@x", "me@x"} << true;
    QTest::newRow("no secondary") << QStringList{"mail", "", "a@x", "me@x"} << true;
    QTest::newRow("two recipients with ;") << QStringList{"mail", "", "a@x;b@x", "me@x"} << true;
    QTest::newRow("two recipients with ,") << QStringList{"mail", "", "a@x,b@x", "me@x"} << false;
    QTest::newRow("primary blanks") << QStringList{"   ", "backup", "a@x", "me@x"} << false;
    QTest::newRow("recipients blanks") << QStringList{"mail", "", "  ", "me@x"} << false;
    QTest::newRow("sender empty") << QStringList{"mail", "backup", "a@x", ""} << false;
    QTest::newRow("only the secondary") << QStringList{"", "backup", "", ""} << false;
}

void UiSmtpSetUpTest::okState_followsTheFields() {
    QFETCH(QStringList, fields);
    QFETCH(bool, enabled);
    // Typed with the recipients last, then first, then stored: a "," keeps OK grey whichever
    // field changes after it, and as the stored fields load.
    const char* keys[] = {"MailServerPrimary", "MailServerSecondary", "MailTo", "MailFrom"};
    for (const QList<int>& order : {QList<int>{0, 1, 3, 2}, QList<int>{2, 0, 1, 3}, QList<int>{}}) {
        if (order.isEmpty())
            for (int i = 0; i < 4; ++i)
                m_t->context->settings().SaveSetting("Mail Options", keys[i], fields[i]);
        m_d = std::make_unique<frmSMTPSetUp>(**m_t);
        m_d->show();
        for (int i : order)
            type(i, fields[i]);
        QCOMPARE(button("cmdOK")->isEnabled(), enabled);
        QCOMPARE(button("cmdTestMail")->isEnabled(), enabled);
    }
}

void UiSmtpSetUpTest::ok_storesTheFieldsExactlyAsTyped() {
    m_t->context->settings().SaveSetting("Mail Options", "MailServerSecondary", "old.example");
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    const QStringList typed = {" mail.example.org ", "", "a@example.org; b@example.org",
                               "monitor@example.org"};
    for (int i = 0; i < 4; ++i)
        type(i, typed[i]);

    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);

    QCOMPARE(m_d->result(), int(QDialog::Accepted));
    const char* keys[] = {"MailServerPrimary", "MailServerSecondary", "MailTo", "MailFrom"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_t->context->settings().GetSetting("Mail Options", keys[i], "absent"), typed[i]);
    QVERIFY(m_t->assistant.spoken.isEmpty());
}

void UiSmtpSetUpTest::cancel_storesNothing() {
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    for (int i = 0; i < 4; ++i)
        type(i, "x@y");
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QCOMPARE(m_d->result(), int(QDialog::Rejected));
    QVERIFY(storedKeys().isEmpty());
}

void UiSmtpSetUpTest::leavingRecipientsWithAComma_asksForSemicolons_data() {
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<bool>("leaveForCancel");
    QTest::addColumn<bool>("asked");

    QTest::newRow("comma, Tab to the sender") << "a@x,b@x" << false << true;
    QTest::newRow("semicolon, Tab to the sender") << "a@x;b@x" << false << false;
    QTest::newRow("comma, Cancel clicked") << "a@x,b@x" << true << false;
}

void UiSmtpSetUpTest::leavingRecipientsWithAComma_asksForSemicolons() {
    QFETCH(QString, recipients);
    QFETCH(bool, leaveForCancel);
    QFETCH(bool, asked);
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    QVERIFY(QTest::qWaitForWindowActive(m_d.get()));
    type(0, "mail");
    type(3, "me@x");
    type(2, recipients);

    if (leaveForCancel)
        QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    else
        QTest::keyClick(field(2), Qt::Key_Tab);
    // The field is looked at once the focus has moved on.
    QCoreApplication::processEvents();

    if (!asked) {
        QVERIFY(m_t->dialogs.messages.isEmpty());
        QCOMPARE(m_d->isVisible(), !leaveForCancel);
        return;
    }
    QCOMPARE(m_t->dialogs.messages.size(), 1);
    QCOMPARE(m_t->dialogs.messages.first().text,
             QString("Please change commas to semicolons and try again."));
    QCOMPARE(m_t->dialogs.messages.first().icon, MessageIcon::Information);
    QCOMPARE(m_t->dialogs.messages.first().caption, AppInfo::Title);
    QCOMPARE(QApplication::focusWidget(), field(2));
    QCOMPARE(field(2)->selectedText(), recipients);
    QVERIFY(!button("cmdOK")->isEnabled());

    // Typing over the selection mends it.
    QTest::keyClicks(field(2), "a@x;b@x");
    QVERIFY(button("cmdOK")->isEnabled());
}

void UiSmtpSetUpTest::ok_requiredFieldEmpty_isNamedAndNothingStored_data() {
    QTest::addColumn<int>("empty");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("primary") << 0 << "Primary SMTP Server: must be completed.";
    QTest::newRow("recipients") << 2 << "Send To Email Addresses: must be completed.";
    QTest::newRow("sender") << 3 << "Your Email Address: must be completed.";
}

void UiSmtpSetUpTest::ok_requiredFieldEmpty_isNamedAndNothingStored() {
    QFETCH(int, empty);
    QFETCH(QString, spoken);
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    QVERIFY(QTest::qWaitForWindowActive(m_d.get()));
    for (int i = 0; i < 4; ++i)
        type(i, i == empty ? QString(" ") : QStringLiteral("filled"));
    QVERIFY(!button("cmdOK")->isEnabled());
    // The greyed button cannot be pressed; the routine behind it still guards.
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(m_t->assistant.spoken.isEmpty());

    m_d->cmdOK_Click();

    QCOMPARE(m_t->assistant.spoken.size(), 1);
    QCOMPARE(m_t->assistant.spoken.first().text, spoken);
    QCOMPARE(m_t->assistant.spoken.first().animation, QString("Surprised"));
    QCOMPARE(m_t->assistant.spoken.first().stayInPlace, false);
    QCOMPARE(QApplication::focusWidget(), field(empty));
    QVERIFY(m_d->isVisible());
    QVERIFY(storedKeys().isEmpty());
}

void UiSmtpSetUpTest::testMail_sendsTheFieldsAsTypedWithoutStoringThem() {
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    const int before = messageCount();
    type(0, QStringLiteral("127.0.0.1:%1").arg(m_port));
    type(2, "ops@example.org; second@example.org");
    type(3, "monitor@example.org");

    QTest::mouseClick(button("cmdTestMail"), Qt::LeftButton);
    QVERIFY(!button("cmdTestMail")->isEnabled());

    QTRY_COMPARE_WITH_TIMEOUT(m_t->dialogs.messages.size(), 1, 30000);
    const ShownMessage& shown = m_t->dialogs.messages.first();
    QCOMPARE(shown.text, QString("The test message to ops@example.org was sent: Message Sent"));
    QCOMPARE(shown.icon, MessageIcon::Information);
    QCOMPARE(shown.caption, AppInfo::Title);
    QVERIFY(button("cmdTestMail")->isEnabled());
    QVERIFY(m_d->isVisible());
    QVERIFY(storedKeys().isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(messageCount(), before + 1, 10000);
    const QString base = m_mailFolder.filePath(QStringLiteral("message%1").arg(before + 1));
    QFile envelopeFile(base + ".json");
    QVERIFY(envelopeFile.open(QIODevice::ReadOnly));
    const QJsonObject envelope = QJsonDocument::fromJson(envelopeFile.readAll()).object();
    QCOMPARE(envelope["from"].toString(), QString("monitor@example.org"));
    QCOMPARE(envelope["to"].toVariant().toStringList(), QStringList{"ops@example.org"});
    QFile message(base + ".eml");
    QVERIFY(message.open(QIODevice::ReadOnly));
    const QByteArray content = message.readAll();
    // One header line, the empty line that ends the header, and the text as the body.
    QCOMPARE(content, "Subject: " + SmtpTestMail::Subject.toUtf8() +
                          "\r\n\r\nThis is a test message from " + AppInfo::Title.toUtf8() +
                          ".\r\nThe mail settings it was sent with work.\r\n");
}

void UiSmtpSetUpTest::testMail_showsTheOutcomeOfBothServers_data() {
    QTest::addColumn<bool>("primaryRefuses");
    QTest::addColumn<bool>("secondaryGiven");
    QTest::addColumn<bool>("sent");

    QTest::newRow("primary refuses, no secondary") << true << false << false;
    QTest::newRow("primary refuses, secondary takes it") << true << true << true;
    QTest::newRow("primary takes it") << false << true << true;
}

void UiSmtpSetUpTest::testMail_showsTheOutcomeOfBothServers() {
    QFETCH(bool, primaryRefuses);
    QFETCH(bool, secondaryGiven);
    QFETCH(bool, sent);
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QString refusing = QStringLiteral("127.0.0.1:%1").arg(closedPort);
    const QString sink = QStringLiteral("127.0.0.1:%1").arg(m_port);
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    type(0, primaryRefuses ? refusing : sink);
    type(1, secondaryGiven ? sink : QString());
    type(2, "ops@example.org");
    type(3, "monitor@example.org");

    QTest::mouseClick(button("cmdTestMail"), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(m_t->dialogs.messages.size(), 1, 30000);
    const ShownMessage& shown = m_t->dialogs.messages.first();
    if (sent) {
        QCOMPARE(shown.text, QString("The test message to ops@example.org was sent: Message Sent"));
        QCOMPARE(shown.icon, MessageIcon::Information);
    } else {
        const QString start("The test message to ops@example.org was not sent: ");
        QVERIFY2(shown.text.startsWith(start) && shown.text.size() > start.size(),
                 qPrintable(shown.text));
        QCOMPARE(shown.icon, MessageIcon::Exclamation);
    }
    QVERIFY(button("cmdTestMail")->isEnabled());
    QVERIFY(storedKeys().isEmpty());
    // Only one outcome per press.
    QCoreApplication::processEvents();
    QCOMPARE(m_t->dialogs.messages.size(), 1);
}

// A message box that stays up, running its own event loop, until the mail control has let go
// of its connection, as a person reading the box does.
class HeldOpenDialogs final : public UserDialogs {
public:
    void message(const QString& text, MessageIcon, const QString&) override {
        texts << text;
        QTest::qWaitFor([] { return openConnections() == 0; }, 10000);
    }
    bool askYesNo(const QString&, const QString&, MessageIcon) override { return false; }
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }

    static QWidget* control() {
        for (QWidget* widget : QApplication::allWidgets())
            if (qstrcmp(widget->metaObject()->className(), "OrvexSMTP") == 0)
                return widget;
        return nullptr;
    }
    static int openConnections() {
        QWidget* mail = control();
        return mail ? int(mail->findChildren<QTcpSocket*>().size()) : 0;
    }

    QStringList texts;
};

// Counts the boxes already shown when the control reports its outcome.
class OutcomeWatch final : public QObject {
    Q_OBJECT
public:
    explicit OutcomeWatch(const HeldOpenDialogs& dialogs)
        : m_dialogs(dialogs) {}
    int boxesAtOutcome = -1;
public slots:
    void onSendComplete(const QString&) { boxesAtOutcome = int(m_dialogs.texts.size()); }

private:
    const HeldOpenDialogs& m_dialogs;
};

void UiSmtpSetUpTest::testMail_outcomeBoxMayStayUpWhileTheSessionCloses() {
    HeldOpenDialogs held;
    m_t->context->setDialogs(&held);
    m_d = std::make_unique<frmSMTPSetUp>(**m_t);
    m_d->show();
    type(0, QStringLiteral("127.0.0.1:%1").arg(m_port));
    type(2, "ops@example.org");
    type(3, "monitor@example.org");

    QTest::mouseClick(button("cmdTestMail"), Qt::LeftButton);
    OutcomeWatch watch(held);
    QVERIFY(HeldOpenDialogs::control());
    QVERIFY(QObject::connect(HeldOpenDialogs::control(), SIGNAL(SendComplete(QString)), &watch,
                             SLOT(onSendComplete(QString))));

    QTRY_COMPARE_WITH_TIMEOUT(held.texts.size(), 1, 30000);
    QCOMPARE(held.texts.first(),
             QString("The test message to ops@example.org was sent: Message Sent"));
    // The box came after the control's event had returned, not from inside it, where the
    // control's connection could go away under it while the box is up.
    QCOMPARE(watch.boxesAtOutcome, 0);
    QTRY_COMPARE(HeldOpenDialogs::openConnections(), 0);
    QVERIFY(button("cmdTestMail")->isEnabled());
    m_t->context->setDialogs(&m_t->dialogs);
}

ORVEX_TEST_MAIN(UiSmtpSetUpTest)
#include "tst_ui_smtpsetup.moc"
