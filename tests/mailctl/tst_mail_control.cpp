#include "MailControlHost.h"
#include "platform/ComponentPropertyBag.h"
#include "TestMain.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace {
const QStringList SavedOrder = {
    "MailToName",  "MailToEmail",       "MailFromName",        "MailFromEmail", "MailBody",
    "MailSubject", "MailServerPrimary", "MailServerSecondary", "MailTimeOut",   "StillExecuting"};

QVariantMap propertiesOf(const QObject* control) {
    QVariantMap values;
    for (const QString& name : SavedOrder)
        values[name] = control->property(name.toLatin1().constData());
    return values;
}
} // namespace

class TestMailControl final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(MailControlHost::registerLibrary(), QString()); }
    void newInstance_isIdleWithDefaults();
    void timeOut_assignment_isLimited_data();
    void timeOut_assignment_isLimited();
    void assignment_notifiesHostByName_data();
    void assignment_notifiesHostByName();
    void saveAndRestore_roundTripsInOrder();
    void storeOfDefaults_restoresNewInstanceState();
    void restore_keepsStoredTimeOut_data();
    void restore_keepsStoredTimeOut();
    void send_refusesMissingOrUnsafeProperties_data();
    void send_refusesMissingOrUnsafeProperties();
    void size_staysFixedInTwips();
    void aboutBox_showsItsElementsModally();

private:
    QObject m_owner;
};

void TestMailControl::newInstance_isIdleWithDefaults() {
    QObject* control = MailControlHost::create(&m_owner);
    QVERIFY(control);
    QCOMPARE(control->property("MailTimeOut"), QVariant(10000));
    QCOMPARE(control->property("StillExecuting"), QVariant(false));
    // Idle: no event arrives from it while the event loop runs.
    MailEventLog log(control);
    bool looped = false;
    QTimer::singleShot(0, this, [&] { looped = true; });
    QTRY_VERIFY(looped);
    QCOMPARE(log.events, QStringList());
    QString version;
    QVERIFY(QMetaObject::invokeMethod(control, "Version", Q_RETURN_ARG(QString, version)));
    QCOMPARE(version, QStringLiteral("2.0.11"));
}

void TestMailControl::timeOut_assignment_isLimited_data() {
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("stored");
    QTest::newRow("below") << 5000 << 10000;
    QTest::newRow("lowest") << 10000 << 10000;
    QTest::newRow("inside") << 30000 << 30000;
    QTest::newRow("highest") << 60000 << 60000;
    QTest::newRow("above") << 120000 << 60000;
}

void TestMailControl::timeOut_assignment_isLimited() {
    QFETCH(int, assigned);
    QFETCH(int, stored);
    QObject* control = MailControlHost::create(&m_owner);
    QVERIFY(control->setProperty("MailTimeOut", assigned));
    QCOMPARE(control->property("MailTimeOut").toInt(), stored);
}

void TestMailControl::assignment_notifiesHostByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    for (const QString& name : SavedOrder.mid(0, 8))
        QTest::newRow(qPrintable(name)) << name << QVariant(name.toLower());
    QTest::newRow("MailTimeOut") << "MailTimeOut" << QVariant(20000);
    QTest::newRow("StillExecuting") << "StillExecuting" << QVariant(true);
}

void TestMailControl::assignment_notifiesHostByName() {
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QObject* control = MailControlHost::create(&m_owner);
    QSignalSpy changed(control, SIGNAL(propertyChanged(QString)));
    QVERIFY(control->setProperty(name.toLatin1().constData(), value));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toString(), name);
    QCOMPARE(control->property(name.toLatin1().constData()), value);
}

void TestMailControl::saveAndRestore_roundTripsInOrder() {
    QObject* saved = MailControlHost::create(&m_owner);
    for (const QString& name : SavedOrder.mid(0, 8))
        saved->setProperty(name.toLatin1().constData(), name.toLower());
    saved->setProperty("MailTimeOut", 45000);
    saved->setProperty("StillExecuting", true);

    ComponentPropertyBag bag;
    QMetaObject::invokeMethod(saved, "WriteProperties", Q_ARG(QObject*, &bag));
    QStringList written;
    for (const auto& entry : bag.entries())
        written << entry.first;
    QCOMPARE(written, SavedOrder);

    QObject* restored = MailControlHost::create(&m_owner);
    QSignalSpy changed(restored, SIGNAL(propertyChanged(QString)));
    QMetaObject::invokeMethod(restored, "ReadProperties", Q_ARG(QObject*, &bag));
    QCOMPARE(propertiesOf(restored), propertiesOf(saved));
    QCOMPARE(changed.size(), 0);
}

void TestMailControl::storeOfDefaults_restoresNewInstanceState() {
    QObject* fresh = MailControlHost::create(&m_owner);
    ComponentPropertyBag bag;
    QMetaObject::invokeMethod(fresh, "WriteProperties", Q_ARG(QObject*, &bag));
    QVERIFY2(bag.entries().isEmpty(), "values equal to their defaults are left out");

    QObject* used = MailControlHost::create(&m_owner);
    MailControlHost::setMessage(used, "mail.example.org", "backup.example.org");
    used->setProperty("MailTimeOut", 50000);
    used->setProperty("StillExecuting", true);
    QMetaObject::invokeMethod(used, "ReadProperties", Q_ARG(QObject*, &bag));
    QCOMPARE(propertiesOf(used), propertiesOf(fresh));
}

void TestMailControl::restore_keepsStoredTimeOut_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("restored");
    QTest::newRow("below the limit") << QVariant(5000) << 5000;
    QTest::newRow("above the limit") << QVariant(120000) << 120000;
    QTest::newRow("not a number") << QVariant(QStringLiteral("soon")) << 10000;
}

void TestMailControl::restore_keepsStoredTimeOut() {
    QFETCH(QVariant, stored);
    QFETCH(int, restored);
    ComponentPropertyBag bag;
    bag.setValue(QStringLiteral("MailTimeOut"), stored);
    QCOMPARE(MailControlHost::restore(bag, &m_owner)->property("MailTimeOut").toInt(), restored);
}

void TestMailControl::send_refusesMissingOrUnsafeProperties_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");

    QTest::newRow("body") << "MailBody"
                          << ""
                          << "Mail Body can not be a zero length";
    QTest::newRow("from") << "MailFromEmail"
                          << ""
                          << "Mail From Email can not be zero length";
    QTest::newRow("to") << "MailToEmail"
                        << ""
                        << "Mail To Email can not be zero length";
    QTest::newRow("primary") << "MailServerPrimary"
                             << ""
                             << "Mail Server Primary can not be zero length";
    QTest::newRow("subject") << "MailSubject"
                             << ""
                             << "Mail Subject can not be zero length";
    QTest::newRow("from with line break") << "MailFromEmail"
                                          << "a@example.org>\r\nRCPT TO:<b@example.org"
                                          << "Mail From Email can not contain a line break";
    QTest::newRow("to with line feed") << "MailToEmail"
                                       << "a@example.org\nDATA"
                                       << "Mail To Email can not contain a line break";
    QTest::newRow("primary with carriage return")
        << "MailServerPrimary"
        << "mail\rhost"
        << "Mail Server Primary can not contain a line break";
    QTest::newRow("secondary with line break")
        << "MailServerSecondary"
        << "backup\r\n"
        << "Mail Server Secondary can not contain a line break";
    QTest::newRow("subject with line break") << "MailSubject"
                                             << "Alert\r\nBcc: everyone@example.org"
                                             << "Mail Subject can not contain a line break";
    QTest::newRow("subject with carriage return") << "MailSubject"
                                                  << "Alert\rBcc: everyone@example.org"
                                                  << "Mail Subject can not contain a line break";
}

void TestMailControl::send_refusesMissingOrUnsafeProperties() {
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, error);
    QObject* control = MailControlHost::create(&m_owner);
    MailControlHost::setMessage(control, "127.0.0.1:9", "");
    control->setProperty(name.toLatin1().constData(), value);
    MailEventLog log(control);

    QCOMPARE(MailControlHost::send(control), short(0));
    // No "Connecting to": a refused message never reaches a server.
    QCOMPARE(log.events, QStringList{QStringLiteral("SendError: ") + error});
    QCOMPARE(control->property("StillExecuting"), QVariant(false));
}

void TestMailControl::size_staysFixedInTwips() {
    QWidget form;
    auto* control = qobject_cast<QWidget*>(MailControlHost::create(&form));
    QVERIFY(control && control->parentWidget() == &form);
    const QSize expected(qRound(375.0 * control->logicalDpiX() / 1440),
                         qRound(330.0 * control->logicalDpiY() / 1440));
    control->resize(300, 200);
    QCOMPARE(control->size(), expected);
}

void TestMailControl::aboutBox_showsItsElementsModally() {
    QObject* control = MailControlHost::create(&m_owner);
    QStringList seen;
    QTimer::singleShot(0, this, [&seen] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        seen << box->windowTitle();
        for (const char* name : {"lblTitle", "lblVersion", "lblDescription_0"})
            seen << box->findChild<QLabel*>(QLatin1String(name))->text();
        QVERIFY(!box->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
        box->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    QVERIFY(QMetaObject::invokeMethod(control, "ShowAboutBox"));
    QCOMPARE(seen, (QStringList{"About Orvex SMTP Control", "Orvex SMTP Control", "Version 2.0.11",
                                "SMTP ActiveX control written for IP Orvex Monitor."}));
}

ORVEX_TEST_MAIN(TestMailControl)
#include "tst_mail_control.moc"
