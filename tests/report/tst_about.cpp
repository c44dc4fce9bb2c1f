#include "core/AppInfo.h"
#include "report/AboutBox.h"
#include "TestMain.h"

#include <QLabel>
#include <QPushButton>

// A mail control as the loader hands it over: its methods are reached by name.
class VersionedControl : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE QString Version() const {
        ++calls;
        return version;
    }
    QString version;
    mutable int calls = 0;
};

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void eachOpening_readsTheVersionAfresh();
    void ok_closes();
};

void AboutTest::lines_data() {
    QTest::addColumn<bool>("withControl");
    QTest::addColumn<QString>("mailLine");
    QTest::newRow("mail control present") << true << "Orvex SMTP Control Ver: 1.4.2";
    QTest::newRow("no mail control") << false << "Orvex SMTP Control Ver: ";
}

void AboutTest::lines() {
    QFETCH(bool, withControl);
    QFETCH(QString, mailLine);
    VersionedControl control;
    control.version = "1.4.2";
    frmAbout about(withControl ? &control : nullptr);
    QCOMPARE(about.windowTitle(), QString("IP Orvex Monitor 2.0 - About"));
    QCOMPARE(about.titleText(), QString("IP Orvex Monitor Version 2.0.15"));
    QCOMPARE(about.mailControlText(), mailLine);
    auto* disclaimer = about.findChild<QLabel*>("lblDisclaimer");
    QVERIFY(disclaimer);
    QCOMPARE(disclaimer->text(), "Report Problems and Bugs to: " + AppInfo::Contact);
}

void AboutTest::eachOpening_readsTheVersionAfresh() {
    VersionedControl control;
    control.version = "1.0";
    {
        frmAbout first(&control);
        QCOMPARE(first.mailControlText(), QString("Orvex SMTP Control Ver: 1.0"));
    }
    control.version = "1.1";
    frmAbout second(&control);
    QCOMPARE(second.mailControlText(), QString("Orvex SMTP Control Ver: 1.1"));
    QCOMPARE(control.calls, 2);
}

void AboutTest::ok_closes() {
    frmAbout about(nullptr);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto* ok = about.findChild<QPushButton*>("cmdOK");
    QVERIFY(ok);
    QCOMPARE(ok->text(), QString("OK"));
    ok->click();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

ORVEX_TEST_MAIN(AboutTest)
#include "tst_about.moc"
