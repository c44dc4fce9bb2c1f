#include "app/MainStartup.h"
#include "character/AgentCharacter.h"
#include "character/BalloonStyle.h"
#include "core/AppInfo.h"
#include "OptionsTestSupport.h"
#include "store/Database.h"
#include "TestMain.h"
#include "ui/dialogs/frmOptions.h"
#include "ui/main/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

template <typename T> T* child(QWidget* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

// Clicks a button as a person does; a check box is hit on its indicator.
void click(QAbstractButton* button) {
    const QPoint at = qobject_cast<QCheckBox*>(button) ? QPoint(8, button->height() / 2)
                                                       : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

void typeInto(QSpinBox* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

QStringList storedKeys() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, AppInfo::Title);
    return store.allKeys();
}

} // namespace

class UiOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void open_emptyStore_showsTheDefaults();
    void open_storedTextThatIsNoNumber_showsTheDefault_data();
    void open_storedTextThatIsNoNumber_showsTheDefault();
    void ok_storesWhatTheFieldsRead();
    void ok_storesAStoredValueBeyondTheArrowsAsItWas();
    void cancel_storesNothing();
    void fastChecksBox_roundTripsToTheChecks_data();
    void fastChecksBox_roundTripsToTheChecks();
    void arrows_stepWithinTheRange_data();
    void arrows_stepWithinTheRange();
    void checkBox_enablesItsDependentControls_data();
    void checkBox_enablesItsDependentControls();
    void balloonBox_switchesItsBitOnTheLiveCharacter_data();
    void balloonBox_switchesItsBitOnTheLiveCharacter();
    void open_appliesStoredBalloonOptionsAndReadsThemBack_data();
    void open_appliesStoredBalloonOptionsAndReadsThemBack();
    void iconReset_isLockedWhileMonitoring_data();
    void iconReset_isLockedWhileMonitoring();
    void fileButton_checksTheChosenName_data();
    void fileButton_checksTheChosenName();
    void characterList_listsBothFoldersAndChoosingChangesTheCharacter();
    void characterList_typedLetterOnlyShowsTheName_data();
    void characterList_typedLetterOnlyShowsTheName();
    void characterList_storedNameIsShownAndKept_data();
    void characterList_storedNameIsShownAndKept();
    void smtpButton_opensTheSetUpDialogOverTheOptions();
    void optionsCommand_showsTheDialogModallyOverTheWindow_data();
    void optionsCommand_showsTheDialogModallyOverTheWindow();

private:
    std::unique_ptr<frmOptions> open();

    std::unique_ptr<AssistantContext> m_a;
};

void UiOptionsTest::init() {
    m_a = std::make_unique<AssistantContext>();
    QVERIFY(m_a->installInProgramFolder({"merlin", "peedy"}));
    QVERIFY(m_a->assistant->LoadCharacter("merlin"));
}

void UiOptionsTest::cleanup() {
    m_a.reset();
}

std::unique_ptr<frmOptions> UiOptionsTest::open() {
    auto dialog = std::make_unique<frmOptions>(*m_a->t, *m_a->assistant);
    dialog->show();
    return dialog;
}

void UiOptionsTest::open_emptyStore_showsTheDefaults() {
    auto d = open();
    QCOMPARE(d->windowTitle(), QString("Monitor Properties"));
    auto* tabs = child<QTabWidget>(d.get(), "TabStrip1");
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    QCOMPARE(captions, (QStringList{"MS Agent", "Failure Criteria", "Failure Notification",
                                    "HTML Output", "Misc Options", "Ping Options"}));
    QCOMPARE(tabs->currentIndex(), 0);

    QCOMPARE(child<QComboBox>(d.get(), "cboCharacter")->currentText(), QString("merlin"));
    const QList<std::pair<const char*, QString>> numbers = {
        {"txtMinutesBetweenChecks", "5"}, {"txtHostTimeOut", "20"}, {"txtPingTimeOut", "10000"},
        {"txtConsecutiveErrors", "5"},    {"txtResetIcon", "10"},   {"txtPingCount", "1"},
        {"txtHistoryDays", "90"}};
    for (const auto& [name, text] : numbers)
        QCOMPARE(child<QSpinBox>(d.get(), name)->text(), text);
    QVERIFY(!child<QSpinBox>(d.get(), "txtPingCount")->isEnabled());

    const QList<std::pair<const char*, bool>> boxes = {{"chkHideCharacterOnIdle", true},
                                                       {"chkAnnounceDate", false},
                                                       {"chkBalloon0", true},
                                                       {"chkBalloon1", true},
                                                       {"chkBalloon2", true},
                                                       {"chkBalloon3", true},
                                                       {"chkShowCharacter", true},
                                                       {"chkSendSMTP", false},
                                                       {"chkSendExchange", false},
                                                       {"chkLogActivity", true},
                                                       {"chkHTMLOutput", false},
                                                       {"chkAutoStart", false},
                                                       {"chkFastChecks", false}};
    for (const auto& [name, checked] : boxes)
        QVERIFY2(child<QCheckBox>(d.get(), name)->isChecked() == checked, name);
    auto* fast = child<QCheckBox>(d.get(), "chkFastChecks");
    QCOMPARE(fast->text(), QString("Check all devices at once"));
    QVERIFY(tabs->widget(5)->isAncestorOf(fast));

    QCOMPARE(child<QLineEdit>(d.get(), "txtLogFile")->text(),
             m_a->t.programFile("OrvexMonitor.txt"));
    QCOMPARE(child<QLineEdit>(d.get(), "txtHTMLFile")->text(),
             m_a->t.programFile("OrvexMonitor.html"));
    QCOMPARE(child<QLineEdit>(d.get(), "txtHTMLTemplateFile")->text(),
             m_a->t.programFile("template.html"));
    const QList<std::pair<const char*, bool>> enabled = {
        {"cmdLogFile", true},       {"txtLogFile", true},       {"cmdHTML", false},
        {"cmdHTMLTemplate", false}, {"txtHTMLFile", false},     {"cmdSMTP", false},
        {"cmdExchange", false},     {"chkSendExchange", false}, {"txtResetIcon", true}};
    for (const auto& [name, on] : enabled)
        QVERIFY2(child<QWidget>(d.get(), name)->isEnabled() == on, name);

    // The designed size is where it starts; it grows only for what it holds.
    const double twipsPerPixel = 1440.0 / d->logicalDpiX();
    QVERIFY(d->width() >= qRound(frmOptions::WidthTwips / twipsPerPixel));
    QVERIFY(d->height() >= qRound(frmOptions::HeightTwips / twipsPerPixel));
    QVERIFY(d->width() >= d->minimumSizeHint().width());
    QVERIFY(d->height() >= d->minimumSizeHint().height());
    QVERIFY(storedKeys().isEmpty());
}

void UiOptionsTest::open_storedTextThatIsNoNumber_showsTheDefault_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");

    QTest::newRow("minutes not a number") << "Options"
                                          << "Min_Between_Checks"
                                          << "abc"
                                          << "txtMinutesBetweenChecks"
                                          << "5";
    QTest::newRow("minutes beyond a whole number") << "Options"
                                                   << "Min_Between_Checks"
                                                   << "9e99"
                                                   << "txtMinutesBetweenChecks"
                                                   << "5";
    QTest::newRow("minutes with a fraction rounds as the cycle reads it")
        << "Options"
        << "Min_Between_Checks"
        << "2.5"
        << "txtMinutesBetweenChecks"
        << "2";
    QTest::newRow("consecutive errors empty") << "Mail Options"
                                              << "SendOnConsecutiveFailure"
                                              << ""
                                              << "txtConsecutiveErrors"
                                              << "5";
    QTest::newRow("logging not a number") << "Options"
                                          << "LogFailures"
                                          << "yes"
                                          << "chkLogActivity"
                                          << "checked";
    QTest::newRow("auto start 2 shows checked") << "Options"
                                                << "AutoStart"
                                                << "2"
                                                << "chkAutoStart"
                                                << "checked";
    QTest::newRow("fast checks not a number") << "Options"
                                              << "FastChecks"
                                              << "on"
                                              << "chkFastChecks"
                                              << "unchecked";
}

void UiOptionsTest::open_storedTextThatIsNoNumber_showsTheDefault() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    m_a->t->settings().SaveSetting(section, key, stored);

    auto d = open();

    QVERIFY(m_a->t.end.codes.isEmpty());
    if (auto* box = d->findChild<QCheckBox*>(control))
        QCOMPARE(box->isChecked() ? QString("checked") : QString("unchecked"), shown);
    else
        QCOMPARE(child<QSpinBox>(d.get(), control)->text(), shown);
}

void UiOptionsTest::ok_storesWhatTheFieldsRead() {
    m_a->t->settings().SaveSetting("Options", "HTMLOutput", "1");
    QSignalSpy announced(&m_a->t->catalogue(), &SettingsCatalogue::changed);
    auto d = open();

    typeInto(child<QSpinBox>(d.get(), "txtMinutesBetweenChecks"), "12");
    typeInto(child<QSpinBox>(d.get(), "txtHostTimeOut"), "35");
    typeInto(child<QSpinBox>(d.get(), "txtPingTimeOut"), "2500");
    typeInto(child<QSpinBox>(d.get(), "txtResetIcon"), "77");
    typeInto(child<QSpinBox>(d.get(), "txtConsecutiveErrors"), "9");
    typeInto(child<QSpinBox>(d.get(), "txtHistoryDays"), "30");
    for (const char* name :
         {"chkAnnounceDate", "chkHideCharacterOnIdle", "chkShowCharacter", "chkBalloon2",
          "chkLogActivity", "chkAutoStart", "chkSendSMTP", "chkFastChecks"})
        click(child<QCheckBox>(d.get(), name));
    m_a->t.dialogs.fileNames.enqueue("/srv/www/status.htm");
    m_a->t.dialogs.fileNames.enqueue("/srv/www/layout.html");
    click(child<QPushButton>(d.get(), "cmdHTML"));
    click(child<QPushButton>(d.get(), "cmdHTMLTemplate"));
    // Off and on again: the choices stay.
    click(child<QCheckBox>(d.get(), "chkHTMLOutput"));
    click(child<QCheckBox>(d.get(), "chkHTMLOutput"));

    click(child<QPushButton>(d.get(), "cmdOK"));

    QCOMPARE(d->result(), int(QDialog::Accepted));
    QVERIFY(!d->isVisible());
    const QList<std::tuple<const char*, const char*, const char*>> expected = {
        {"MSAgent", "Character", "merlin"},      {"MSAgent", "AnnounceDate", "1"},
        {"MSAgent", "HideCharacterOnIdle", "0"}, {"MSAgent", "ShowCharacter", "0"},
        {"MSAgentBalloon", "BalloonShow", "1"},  {"MSAgentBalloon", "AutoHide", "1"},
        {"MSAgentBalloon", "AutoPace", "0"},     {"MSAgentBalloon", "SizeToText", "1"},
        {"Options", "Min_Between_Checks", "12"}, {"Options", "HostTimeOut", "35"},
        {"Options", "LogFailures", "0"},         {"Options", "PingTimeOut", "2500"},
        {"Options", "ResetIcon", "77"},          {"Options", "HTMLOutput", "1"},
        {"Options", "AutoStart", "1"},           {"Options", "FastChecks", "1"},
        {"Mail Options", "SendOnFailure", "1"},  {"Mail Options", "SendOnConsecutiveFailure", "9"}};
    for (const auto& [section, key, value] : expected)
        QVERIFY2(m_a->t->settings().GetSetting(section, key, "absent") == QString(value), key);
    QCOMPARE(m_a->t->settings().GetSetting("Options", "LogFile", ""),
             m_a->t.programFile("OrvexMonitor.txt"));
    QCOMPARE(m_a->t->settings().GetSetting("Options", "HTMLFile", ""),
             QString("/srv/www/status.htm"));
    QCOMPARE(m_a->t->settings().GetSetting("Options", "HTMLTemplateFile", ""),
             QString("/srv/www/layout.html"));
    QCOMPARE(m_a->t->settings().GetSetting("Options", "HistoryDays", ""), QString("30"));
    // The cycle under way takes the new interval from the announcement.
    QCOMPARE(announced.count(QVariantList{"Min_Between_Checks"}), 1);
    QCOMPARE(storedKeys().size(), expected.size() + 4);
}

void UiOptionsTest::ok_storesAStoredValueBeyondTheArrowsAsItWas() {
    m_a->t->settings().SaveSetting("Options", "Min_Between_Checks", "90");
    m_a->t->settings().SaveSetting("Options", "PingTimeOut", "30000");
    QSignalSpy announced(&m_a->t->catalogue(), &SettingsCatalogue::changed);
    auto d = open();
    QCOMPARE(child<QSpinBox>(d.get(), "txtMinutesBetweenChecks")->text(), QString("90"));

    click(child<QPushButton>(d.get(), "cmdOK"));

    QCOMPARE(m_a->t->settings().GetSetting("Options", "Min_Between_Checks", ""), QString("90"));
    QCOMPARE(m_a->t->settings().GetSetting("Options", "PingTimeOut", ""), QString("30000"));
    QVERIFY(announced.contains(QVariantList{"Min_Between_Checks"}));
}

void UiOptionsTest::fastChecksBox_roundTripsToTheChecks_data() {
    QTest::addColumn<QString>("stored"); // empty: never written
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("default kept") << QString() << false << false << "0";
    QTest::newRow("default switched on") << QString() << true << false << "1";
    QTest::newRow("on kept") << "1" << false << true << "1";
    QTest::newRow("on switched off") << "1" << true << true << "0";
}

void UiOptionsTest::fastChecksBox_roundTripsToTheChecks() {
    QFETCH(QString, stored);
    QFETCH(bool, click);
    QFETCH(bool, shown);
    QFETCH(QString, saved);
    if (!stored.isEmpty())
        m_a->t->settings().SaveSetting("Options", "FastChecks", stored);
    auto d = open();
    auto* box = child<QCheckBox>(d.get(), "chkFastChecks");
    QCOMPARE(box->isChecked(), shown);
    if (click)
        ::click(box);
    ::click(child<QPushButton>(d.get(), "cmdOK"));
    QCOMPARE(m_a->t->settings().GetSetting("Options", "FastChecks", "absent"), saved);
    // The check passes read the same value at their next start.
    QCOMPARE(m_a->t->catalogue().fastChecks(), saved == QString("1"));
}

void UiOptionsTest::cancel_storesNothing() {
    QSignalSpy announced(&m_a->t->catalogue(), &SettingsCatalogue::changed);
    auto d = open();
    typeInto(child<QSpinBox>(d.get(), "txtMinutesBetweenChecks"), "12");
    click(child<QCheckBox>(d.get(), "chkAutoStart"));
    click(child<QCheckBox>(d.get(), "chkBalloon1"));
    m_a->t.dialogs.fileNames.enqueue("/var/log/notes.txt");
    click(child<QPushButton>(d.get(), "cmdLogFile"));
    QCOMPARE(child<QLineEdit>(d.get(), "txtLogFile")->text(), QString("/var/log/notes.txt"));

    click(child<QPushButton>(d.get(), "cmdCancel"));

    QCOMPARE(d->result(), int(QDialog::Rejected));
    QVERIFY(storedKeys().isEmpty());
    QVERIFY(announced.isEmpty());
    // The balloon option acted on the live character and stays in effect.
    QCOMPARE(m_a->assistant->character()->balloonStyle() & BalloonStyle::AutoHide, 0);
}

void UiOptionsTest::arrows_stepWithinTheRange_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("shown");

    const int up = Qt::Key_Up;
    const int down = Qt::Key_Down;
    QTest::newRow("device time-out steps by ten up to 40")
        << "txtHostTimeOut"
        << "" << QList<int>{up, up, up} << QStringList{"30", "40", "40"};
    QTest::newRow("device time-out stops at 1")
        << "txtHostTimeOut"
        << "" << QList<int>{down, down, down} << QStringList{"10", "1", "1"};
    QTest::newRow("ping time-out from its default above the range")
        << "txtPingTimeOut"
        << "" << QList<int>{up, down, down} << QStringList{"10000", "9500", "9000"};
    QTest::newRow("ping time-out off the steps")
        << "txtPingTimeOut"
        << "9700" << QList<int>{down, up, up} << QStringList{"9200", "9500", "9500"};
    QTest::newRow("ping time-out far above the range comes down to its top")
        << "txtPingTimeOut"
        << "30000" << QList<int>{down, down} << QStringList{"9500", "9000"};
    QTest::newRow("minutes below the range come back into it")
        << "txtMinutesBetweenChecks"
        << "0" << QList<int>{up, up} << QStringList{"1", "2"};
    QTest::newRow("minutes far below the range come up to its bottom")
        << "txtMinutesBetweenChecks"
        << "-5" << QList<int>{down, up} << QStringList{"-5", "1"};
    QTest::newRow("icon reset stops at 100")
        << "txtResetIcon"
        << "99" << QList<int>{up, up} << QStringList{"100", "100"};
}

void UiOptionsTest::arrows_stepWithinTheRange() {
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, shown);
    static const QMap<QString, std::pair<QString, QString>> keyOf = {
        {"txtHostTimeOut", {"Options", "HostTimeOut"}},
        {"txtPingTimeOut", {"Options", "PingTimeOut"}},
        {"txtMinutesBetweenChecks", {"Options", "Min_Between_Checks"}},
        {"txtResetIcon", {"Options", "ResetIcon"}}};
    if (!stored.isEmpty())
        m_a->t->settings().SaveSetting(keyOf[field].first, keyOf[field].second, stored);
    auto d = open();
    auto* spin = child<QSpinBox>(d.get(), field);

    QStringList seen;
    for (int key : keys) {
        QTest::keyClick(spin, Qt::Key(key));
        seen << spin->text();
    }
    QCOMPARE(seen, shown);
}

void UiOptionsTest::checkBox_enablesItsDependentControls_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("storedOn");
    QTest::addColumn<QStringList>("dependents");

    QTest::newRow("SMTP") << "chkSendSMTP"
                          << "SendOnFailure" << QStringList{"cmdSMTP"};
    QTest::newRow("log") << "chkLogActivity"
                         << "LogFailures" << QStringList{"cmdLogFile", "txtLogFile"};
    QTest::newRow("HTML") << "chkHTMLOutput"
                          << "HTMLOutput"
                          << QStringList{"cmdHTML", "cmdHTMLTemplate", "txtHTMLFile",
                                         "txtHTMLTemplateFile"};
}

void UiOptionsTest::checkBox_enablesItsDependentControls() {
    QFETCH(QString, box);
    QFETCH(QString, storedOn);
    QFETCH(QStringList, dependents);
    // Opening sets them from the stored state, either way.
    for (const char* stored : {"0", "1"}) {
        m_a->t->settings().SaveSetting(storedOn == "SendOnFailure" ? "Mail Options" : "Options",
                                       storedOn, stored);
        auto d = open();
        auto* check = child<QCheckBox>(d.get(), box);
        bool on = QString(stored) == "1";
        for (int clicks = 0; clicks < 3; ++clicks) {
            QCOMPARE(check->isChecked(), on);
            for (const QString& name : dependents)
                QVERIFY2(child<QWidget>(d.get(), name)->isEnabled() == on, qPrintable(name));
            click(check);
            on = !on;
        }
    }
}

void UiOptionsTest::balloonBox_switchesItsBitOnTheLiveCharacter_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("bit");
    QTest::newRow("word balloon") << 0 << 1;
    QTest::newRow("auto hide") << 1 << 4;
    QTest::newRow("auto pace") << 2 << 8;
    QTest::newRow("size to text") << 3 << 2;
}

void UiOptionsTest::balloonBox_switchesItsBitOnTheLiveCharacter() {
    QFETCH(int, box);
    QFETCH(int, bit);
    AgentCharacter* character = m_a->assistant->character();
    auto d = open();
    QCOMPARE(character->balloonStyle(), BalloonStyle::Default);
    auto* check = child<QCheckBox>(d.get(), QString("chkBalloon%1").arg(box));

    click(check);
    QCOMPARE(character->balloonStyle(), BalloonStyle::Default & ~bit);
    for (int other = 1; other < 4; ++other)
        QCOMPARE(child<QCheckBox>(d.get(), QString("chkBalloon%1").arg(other))->isEnabled(),
                 box != 0);

    click(check);
    QCOMPARE(character->balloonStyle(), BalloonStyle::Default);
    for (int other = 1; other < 4; ++other)
        QVERIFY(child<QCheckBox>(d.get(), QString("chkBalloon%1").arg(other))->isEnabled());
}

void UiOptionsTest::open_appliesStoredBalloonOptionsAndReadsThemBack_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("balloonsAllowed");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("enabled");

    QTest::newRow("all on") << "" << true << 15 << "1111"
                            << "1111";
    QTest::newRow("no word balloon") << "BalloonShow" << true << 14 << "0111"
                                     << "1000";
    QTest::newRow("no auto pace") << "AutoPace" << true << 7 << "1101"
                                  << "1111";
    QTest::newRow("balloons off for the desktop") << "" << false << 15 << "1111"
                                                  << "0000";
}

void UiOptionsTest::open_appliesStoredBalloonOptionsAndReadsThemBack() {
    QFETCH(QString, key);
    QFETCH(bool, balloonsAllowed);
    QFETCH(int, style);
    QFETCH(QString, checked);
    QFETCH(QString, enabled);
    if (!key.isEmpty())
        m_a->t->settings().SaveSetting("MSAgentBalloon", key, "0");
    m_a->assistant->character()->setBalloonEnabled(balloonsAllowed);

    auto d = open();

    QCOMPARE(m_a->assistant->character()->balloonStyle(), style);
    QString seenChecked;
    QString seenEnabled;
    for (int i = 0; i < 4; ++i) {
        auto* box = child<QCheckBox>(d.get(), QString("chkBalloon%1").arg(i));
        seenChecked += box->isChecked() ? '1' : '0';
        seenEnabled += box->isEnabled() ? '1' : '0';
    }
    QCOMPARE(seenChecked, checked);
    QCOMPARE(seenEnabled, enabled);
}

void UiOptionsTest::iconReset_isLockedWhileMonitoring_data() {
    QTest::addColumn<bool>("monitoring");
    QTest::newRow("monitoring on") << true;
    QTest::newRow("monitoring off") << false;
}

void UiOptionsTest::iconReset_isLockedWhileMonitoring() {
    QFETCH(bool, monitoring);
    m_a->t->state().MonitoringOn = monitoring;
    auto d = open();
    auto* field = child<QSpinBox>(d.get(), "txtResetIcon");
    QCOMPARE(field->isEnabled(), !monitoring);
    QLabel* label = nullptr;
    for (QLabel* l : d->findChildren<QLabel*>())
        if (l->buddy() == field)
            label = l;
    QVERIFY(label);
    QVERIFY(label->text().startsWith("Number Of Times A Recovered Port"));
    QCOMPARE(label->isEnabled(), !monitoring);

    QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(field->text(), monitoring ? QString("10") : QString("11"));
}

void UiOptionsTest::fileButton_checksTheChosenName_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("resetName");

    QTest::newRow("log notes.txt") << "cmdLogFile"
                                   << "/home/op/notes.txt"
                                   << ""
                                   << "";
    QTest::newRow("log NOTES.TXT") << "cmdLogFile"
                                   << "/home/op/NOTES.TXT"
                                   << ""
                                   << "";
    QTest::newRow("log notes.log") << "cmdLogFile"
                                   << "/home/op/notes.log"
                                   << "The log file must end in a txt extension."
                                   << "OrvexMonitor.txt";
    QTest::newRow("log cancelled") << "cmdLogFile"
                                   << ""
                                   << ""
                                   << "";
    QTest::newRow("page page.HTM") << "cmdHTML"
                                   << "/srv/page.HTM"
                                   << ""
                                   << "";
    QTest::newRow("page page.html") << "cmdHTML"
                                    << "/srv/page.html"
                                    << ""
                                    << "";
    QTest::newRow("page page.txt") << "cmdHTML"
                                   << "/srv/page.txt"
                                   << "The HTML file must end in a htm or html extension."
                                   << "OrvexMonitor.html";
    QTest::newRow("page cancelled") << "cmdHTML"
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("template page.HTM") << "cmdHTMLTemplate"
                                       << "/srv/page.HTM"
                                       << ""
                                       << "";
    QTest::newRow("template page.xhtml.bak")
        << "cmdHTMLTemplate"
        << "/srv/page.xhtml.bak"
        << "The HTML template file must end in a htm or html extension."
        << "template.html";
    QTest::newRow("template cancelled") << "cmdHTMLTemplate"
                                        << ""
                                        << ""
                                        << "";
}

void UiOptionsTest::fileButton_checksTheChosenName() {
    QFETCH(QString, button);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QFETCH(QString, resetName);
    struct Row {
        QString path;
        QString box;
        QString title;
        QString suggested;
        QString filter;
    };
    static const QMap<QString, Row> rows = {
        {"cmdLogFile",
         {"txtLogFile", "chkLogActivity", "IP Orvex Monitor - Log File Location", "Halvikitor.txt",
          "Text (*.txt)"}},
        {"cmdHTML",
         {"txtHTMLFile", "chkHTMLOutput", "IP Orvex Monitor - HTML Output Location",
          "OrvexMonitor.html", "HTML (*.html)"}},
        {"cmdHTMLTemplate",
         {"txtHTMLTemplateFile", "chkHTMLOutput", "IP Orvex Monitor - HTML Template Location",
          "template.html", "HTML (*.html)"}}};
    const Row row = rows[button];
    m_a->t->settings().SaveSetting("Options", "HTMLOutput", "1");
    m_a->t->settings().SaveSetting("Options", "LogFile", "/var/log/before.txt");
    m_a->t->settings().SaveSetting("Options", "HTMLFile", "/srv/before.html");
    m_a->t->settings().SaveSetting("Options", "HTMLTemplateFile", "/srv/before-template.html");
    auto d = open();
    auto* path = child<QLineEdit>(d.get(), row.path);
    auto* box = child<QCheckBox>(d.get(), row.box);
    const QString before = path->text();
    m_a->t.dialogs.fileNames.enqueue(chosen);

    click(child<QPushButton>(d.get(), button));

    QCOMPARE(m_a->t.dialogs.fileRequests.size(), 1);
    const FileDialogRequest& request = m_a->t.dialogs.fileRequests.first();
    QCOMPARE(request.title, row.title);
    QCOMPARE(request.fileName, row.suggested);
    QCOMPARE(request.filter, row.filter);
    QCOMPARE(request.folder, m_a->t->paths().programFolder());
    if (message.isEmpty()) {
        QVERIFY(m_a->t.dialogs.messages.isEmpty());
        QCOMPARE(path->text(), chosen.isEmpty() ? before : chosen);
        QVERIFY(box->isChecked());
        QVERIFY(child<QPushButton>(d.get(), button)->isEnabled());
    } else {
        QCOMPARE(m_a->t.dialogs.messages.size(), 1);
        QCOMPARE(m_a->t.dialogs.messages.first().text, message);
        QCOMPARE(m_a->t.dialogs.messages.first().icon, MessageIcon::Information);
        QCOMPARE(m_a->t.dialogs.messages.first().caption, AppInfo::Title);
        QCOMPARE(path->text(), m_a->t.programFile(resetName));
        QVERIFY(!box->isChecked());
        QVERIFY(!child<QPushButton>(d.get(), button)->isEnabled());
        if (box->objectName() == "chkHTMLOutput") {
            QVERIFY(!child<QPushButton>(d.get(), "cmdHTML")->isEnabled());
            QVERIFY(!child<QPushButton>(d.get(), "cmdHTMLTemplate")->isEnabled());
        }
    }
    QVERIFY(m_a->t.end.codes.isEmpty());
}

void UiOptionsTest::characterList_listsBothFoldersAndChoosingChangesTheCharacter() {
    // One in the per-user folder only, and a file whose name has capitals.
    QVERIFY(AssistantContext::install(Assistant::userCharacterPath(), {"genie"}));
    QVERIFY(QFile::rename(m_a->assistant->CharacterPath() + "/peedy.acs",
                          m_a->assistant->CharacterPath() + "/Peedy.acs"));
    m_a->t->settings().SaveSetting("MSAgentBalloon", "AutoHide", "0");
    auto d = open();
    auto* list = child<QComboBox>(d.get(), "cboCharacter");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    QCOMPARE(names, (QStringList{"genie", "merlin", "peedy"}));
    QVERIFY(!list->isEditable());
    QVERIFY(!child<QCheckBox>(d.get(), "chkBalloon1")->isChecked());

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_a->assistant->character()->name(), QString("Peedy"));
    QCOMPARE(m_a->assistant->character()->balloonStyle(), BalloonStyle::Default);
    for (int i = 0; i < 4; ++i) {
        auto* box = child<QCheckBox>(d.get(), QString("chkBalloon%1").arg(i));
        QVERIFY(box->isChecked() && box->isEnabled());
    }

    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(m_a->assistant->character()->name(), QString("Genie"));

    click(child<QPushButton>(d.get(), "cmdCancel"));
    QVERIFY(storedKeys().contains("MSAgentBalloon/AutoHide"));
    QCOMPARE(storedKeys().size(), 1);
    QCOMPARE(m_a->assistant->character()->name(), QString("Genie"));
}

void UiOptionsTest::characterList_typedLetterOnlyShowsTheName_data() {
    QTest::addColumn<QString>("closing"); // a button, or Enter
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("stored");
    QTest::newRow("then OK") << "cmdOK"
                             << "Peedy"
                             << "peedy";
    QTest::newRow("then Enter") << "Enter"
                                << "Peedy"
                                << "peedy";
    QTest::newRow("then Cancel") << "cmdCancel"
                                 << "Merlin"
                                 << "absent";
}

void UiOptionsTest::characterList_typedLetterOnlyShowsTheName() {
    QFETCH(QString, closing);
    QFETCH(QString, live);
    QFETCH(QString, stored);
    m_a->t->settings().SaveSetting("MSAgentBalloon", "AutoHide", "0");
    auto d = open();
    auto* list = child<QComboBox>(d.get(), "cboCharacter");
    list->setFocus();

    QTest::keyClick(list, 'p');

    QCOMPARE(list->currentText(), QString("peedy"));
    QCOMPARE(m_a->assistant->character()->name(), QString("Merlin"));
    if (closing == "Enter")
        QTest::keyClick(list, Qt::Key_Return);
    else
        click(child<QPushButton>(d.get(), closing));
    QVERIFY(!d->isVisible());
    QCOMPARE(m_a->assistant->character()->name(), live);
    QCOMPARE(m_a->t->settings().GetSetting("MSAgent", "Character", "absent"), stored);
    // The character taken by OK keeps the balloon options the dialog showed and stored.
    if (live == "Peedy")
        QCOMPARE(m_a->assistant->character()->balloonStyle() & BalloonStyle::AutoHide, 0);
}

void UiOptionsTest::characterList_storedNameIsShownAndKept_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kept");
    QTest::newRow("no character file of that name") << "robby" << -1 << "robby";
    QTest::newRow("a file under other capitals") << "PEEDY" << 1 << "peedy";
}

void UiOptionsTest::characterList_storedNameIsShownAndKept() {
    QFETCH(QString, stored);
    QFETCH(int, index);
    QFETCH(QString, kept);
    m_a->t->settings().SaveSetting("MSAgent", "Character", stored);
    auto d = open();
    auto* list = child<QComboBox>(d.get(), "cboCharacter");

    QCOMPARE(list->currentIndex(), index);
    // With no entry chosen the list shows its placeholder.
    QCOMPARE(index < 0 ? list->placeholderText() : list->currentText(), kept);
    click(child<QPushButton>(d.get(), "cmdOK"));
    QCOMPARE(m_a->t->settings().GetSetting("MSAgent", "Character", "absent"), kept);
    QCOMPARE(m_a->assistant->character()->name(), QString("Merlin"));
}

void UiOptionsTest::smtpButton_opensTheSetUpDialogOverTheOptions() {
    m_a->t->settings().SaveSetting("Mail Options", "SendOnFailure", "1");
    auto d = open();
    QWidget* owner = nullptr;
    bool modal = false;
    whenModalShows("frmSMTPSetUp", [&](QDialog* setUp) {
        owner = setUp->parentWidget();
        modal = setUp->isModal();
    });
    click(child<QPushButton>(d.get(), "cmdSMTP"));
    QCOMPARE(owner, d.get());
    QVERIFY(modal);
    QVERIFY(d->isVisible());
}

void UiOptionsTest::optionsCommand_showsTheDialogModallyOverTheWindow_data() {
    QTest::addColumn<bool>("toolbar");
    QTest::newRow("View menu") << false;
    QTest::newRow("toolbar") << true;
}

void UiOptionsTest::optionsCommand_showsTheDialogModallyOverTheWindow() {
    QFETCH(bool, toolbar);
    TestContext& t = m_a->t;
    t->state().DatabasePath = t.programFile("OrvexMonitor.mdb");
    Database::create(t->state().DatabasePath);
    Database db;
    db.open(t->state().DatabasePath);
    MainStartup startup(*t, db, nullptr);
    std::unique_ptr<frmMain> w = startup.createMainForm();
    m_a->assistant->UnloadCharacter(); // start-up loads it again
    startup.loadAssistant(*m_a->assistant, *w);
    startup.show(*w); // with the engine, as the program shows it
    t->state().MinutesLeft = 3;

    int shown = 0;
    QWidget* owner = nullptr;
    whenModalShows("frmOptions", [&](QDialog* options) {
        ++shown;
        owner = options->parentWidget();
        QVERIFY(options->isModal());
        QCOMPARE(options->windowTitle(), QString("Monitor Properties"));
        click(options->findChild<QPushButton*>("cmdOK"));
    });
    if (toolbar)
        click(w->toolButton("Options"));
    else
        w->action("mnuViewOptions")->trigger();

    QCOMPARE(shown, 1);
    QCOMPARE(owner, w.get());
    QCOMPARE(t->settings().GetSetting("Options", "Min_Between_Checks", ""), QString("5"));
    // The window's cycle restarts its countdown from the interval stored.
    QCOMPARE(t->state().MinutesLeft, qint16(5));
}

ORVEX_TEST_MAIN(UiOptionsTest)
#include "tst_ui_options.moc"
