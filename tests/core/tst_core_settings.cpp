#include "core/RuntimeError.h"
#include "core/SettingReaders.h"
#include "ReadOnlyFolder.h"
#include "TestContext.h"
#include "TestMain.h"

#include <functional>
#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void savedValue_readUnderOtherCase();
    void absentKey_readsDefault();
    void value_survivesNewStoreObject();
    void externalEdit_seenAtNextRead_data();
    void externalEdit_seenAtNextRead();
    void conversion_data();
    void conversion();
    void numberPrefix_data();
    void numberPrefix();
    void catalogue_emptyStoreGivesDefaults();
    void catalogue_pathsFollowProgramFolder();
    void catalogue_writableFilesOutsideSystemFolders_data();
    void catalogue_writableFilesOutsideSystemFolders();
    void seedDataFolder_copiesOnceNeverOverwrites();
    void catalogue_hostTimeOutAppendsThousand();
    void set_storesWhatTheReadingTakesBackAndAnnouncesIt_data();
    void set_storesWhatTheReadingTakesBackAndAnnouncesIt();
};

void SettingsTest::savedValue_readUnderOtherCase() {
    TestContext t;
    t->settings().SaveSetting("Startup", "DataBase", "/data/a.mdb");
    QCOMPARE(t->settings().GetSetting("startup", "Database", "x"), QString("/data/a.mdb"));
    // Writing under another spelling replaces the one value rather than adding a second.
    t->settings().SaveSetting("STARTUP", "database", "/data/b.mdb");
    QCOMPARE(t->settings().GetSetting("Startup", "DATABASE", "x"), QString("/data/b.mdb"));
    QCOMPARE(t->catalogue().database(), QString("/data/b.mdb"));
}

void SettingsTest::absentKey_readsDefault() {
    TestContext t;
    QCOMPARE(t->settings().GetSetting("Mail Options", "MailTo", "fallback"), QString("fallback"));
}

void SettingsTest::value_survivesNewStoreObject() {
    TestContext t;
    t->settings().SaveSetting("Mail Options", "MailTo", "a@b.example;c@d.example");
    Settings fresh;
    QCOMPARE(fresh.GetSetting("mail options", "mailto", ""), QString("a@b.example;c@d.example"));
}

void SettingsTest::externalEdit_seenAtNextRead_data() {
    QTest::addColumn<QString>("fileText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("value changed") << "[Options]\nMin_Between_Checks=17\n"
                                   << "17";
    QTest::newRow("written in another case") << "[options]\nmin_between_checks=23\n"
                                             << "23";
    QTest::newRow("key removed") << "[Options]\nHostTimeOut=20\n"
                                 << "5";
}

// Another program (an editor, a second tool) changes the settings file while this one runs.
void SettingsTest::externalEdit_seenAtNextRead() {
    QFETCH(QString, fileText);
    QFETCH(QString, expected);
    TestContext t;
    t->settings().SaveSetting("Options", "Min_Between_Checks", "3");
    QCOMPARE(t->catalogue().minBetweenChecks(), qint16(3));
    QFile file(t->settings().fileName());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(fileText.toUtf8());
    file.close();
    QCOMPARE(t->settings().GetSetting("Options", "Min_Between_Checks", "5"), expected);
}

using Reader = std::function<double(const QString&)>;
Q_DECLARE_METATYPE(Reader)

void SettingsTest::conversion_data() {
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("error"); // 0 for none

    const Reader flag1 = [](const QString& s) { return SettingReaders::flagEqualsOne(s) ? 1 : 0; };
    const Reader flagNz = [](const QString& s) { return SettingReaders::flagNotZero(s) ? 1 : 0; };
    const Reader boolean = [](const QString& s) { return SettingReaders::boolean(s) ? 1 : 0; };
    const Reader i16 = [](const QString& s) { return SettingReaders::int16(s); };
    const Reader i32 = [](const QString& s) { return SettingReaders::int32(s); };
    const Reader single = [](const QString& s) { return SettingReaders::single(s); };

    QTest::newRow("flag=1 one") << flag1 << "1" << 1.0 << 0;
    QTest::newRow("flag=1 two is off") << flag1 << "2" << 0.0 << 0;
    QTest::newRow("flag=1 1.0") << flag1 << "1.0" << 1.0 << 0;
    QTest::newRow("flag=1 text") << flag1 << "yes" << 0.0 << 13;
    QTest::newRow("flag<>0 two is on") << flagNz << "2" << 1.0 << 0;
    QTest::newRow("flag<>0 zero") << flagNz << "0" << 0.0 << 0;
    QTest::newRow("flag<>0 empty") << flagNz << "" << 0.0 << 13;
    QTest::newRow("boolean -1") << boolean << "-1" << 1.0 << 0;
    QTest::newRow("boolean True") << boolean << "True" << 1.0 << 0;
    QTest::newRow("boolean 0") << boolean << "0" << 0.0 << 0;
    QTest::newRow("boolean text") << boolean << "maybe" << 0.0 << 13;
    QTest::newRow("int16 padded") << i16 << " 7 " << 7.0 << 0;
    QTest::newRow("int16 half to even") << i16 << "2.5" << 2.0 << 0;
    QTest::newRow("int16 max") << i16 << "32767" << 32767.0 << 0;
    QTest::newRow("int16 overflow") << i16 << "32768" << 0.0 << 6;
    QTest::newRow("int16 text") << i16 << "abc" << 0.0 << 13;
    QTest::newRow("int32 large") << i32 << "20000000" << 20000000.0 << 0;
    QTest::newRow("int32 overflow") << i32 << "3000000000" << 0.0 << 6;
    QTest::newRow("single twips") << single << "1234.5" << 1234.5 << 0;
    QTest::newRow("single text") << single << "12px" << 0.0 << 13;
}

void SettingsTest::conversion() {
    QFETCH(Reader, reader);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QFETCH(int, error);
    try {
        const double value = reader(text);
        QCOMPARE(error, 0);
        QCOMPARE(value, expected);
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), error);
    }
}

void SettingsTest::numberPrefix_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "3" << 3.0;
    QTest::newRow("text") << "abc" << 0.0;
    QTest::newRow("prefix") << "2abc" << 2.0;
    QTest::newRow("blank first") << "  1.5x" << 1.5;
    QTest::newRow("empty") << "" << 0.0;
}

void SettingsTest::numberPrefix() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(SettingReaders::numberPrefix(text), expected);
}

void SettingsTest::catalogue_emptyStoreGivesDefaults() {
    TestContext t;
    SettingsCatalogue& c = t->catalogue();
    QCOMPARE(c.minBetweenChecks(), qint16(5));
    QCOMPARE(c.pingTimeOut(), 10000);
    QCOMPARE(c.pingCount(), qint16(1));
    QCOMPARE(c.pingPacketSize(), qint16(32));
    QCOMPARE(c.hostTimeOutMilliseconds(), 20000);
    QVERIFY(c.logFailures());
    QVERIFY(!c.sendOnFailure());
    QVERIFY(!c.htmlOutput());
    QCOMPARE(c.character(), QString("merlin"));
    QVERIFY(c.showCharacter());
    QVERIFY(!c.announceDate());
    QVERIFY(!c.autoStart());
    QCOMPARE(c.viewMode(), 0);
}

void SettingsTest::catalogue_pathsFollowProgramFolder() {
    TestContext t;
    QCOMPARE(t->catalogue().database(), t.programFile("OrvexMonitor.mdb"));
    QTemporaryDir moved;
    t->paths().setProgramFolder(moved.path());
    QCOMPARE(t->catalogue().database(), moved.filePath("OrvexMonitor.mdb"));
    QCOMPARE(t->catalogue().logFile(), moved.filePath("OrvexMonitor.txt"));
    QCOMPARE(t->catalogue().htmlFile(), moved.filePath("OrvexMonitor.html"));
    QCOMPARE(t->catalogue().htmlTemplateFile(), moved.filePath("template.html"));
}

// A build folder keeps everything; a program folder the user cannot write, or one installed
// under a prefix, keeps only the shipped files, and what the program writes goes to the user's
// data folder.
void SettingsTest::catalogue_writableFilesOutsideSystemFolders_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("writesToUserFolder");
    QTest::addColumn<QString>("shippedIn");
    QTest::newRow("build folder") << "build" << false << "bin";
    QTest::newRow("read-only program folder") << "read-only" << true << "bin";
    QTest::newRow("installed under a prefix") << "installed" << true << "share/orvex-monitor";
}

void SettingsTest::catalogue_writableFilesOutsideSystemFolders() {
    QFETCH(QString, layout);
    QFETCH(bool, writesToUserFolder);
    QFETCH(QString, shippedIn);
    TestContext t;
    QTemporaryDir prefix, user;
    QVERIFY(QDir(prefix.path()).mkpath("bin"));
    if (layout == "installed")
        QVERIFY(QDir(prefix.path()).mkpath("share/orvex-monitor"));
    const QString bin = prefix.filePath("bin");
    std::optional<ReadOnlyFolder> readOnly;
    if (layout == "read-only") {
        readOnly.emplace(bin);
        QVERIFY(readOnly->ready());
    }
    t->paths().setProgramFolder(bin);
    t->paths().setUserDataFolder(user.path());

    const QString written = writesToUserFolder ? user.path() : bin;
    QCOMPARE(t->catalogue().database(), written + "/OrvexMonitor.mdb");
    QCOMPARE(t->catalogue().logFile(), written + "/OrvexMonitor.txt");
    QCOMPARE(t->catalogue().htmlFile(), written + "/OrvexMonitor.html");
    QCOMPARE(t->catalogue().htmlTemplateFile(), prefix.filePath(shippedIn) + "/template.html");
}

void SettingsTest::seedDataFolder_copiesOnceNeverOverwrites() {
    TestContext t;
    QTemporaryDir prefix, user;
    QVERIFY(QDir(prefix.path()).mkpath("bin"));
    QVERIFY(QDir(prefix.path()).mkpath("share/orvex-monitor"));
    t->paths().setProgramFolder(prefix.filePath("bin"));
    t->paths().setUserDataFolder(user.path());
    const auto write = [](const QString& path, const QByteArray& text) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(write(prefix.filePath("share/orvex-monitor/OrvexMonitor.mdb"), "shipped"));

    QVERIFY(t->paths().seedDataFolder("OrvexMonitor.mdb"));
    QCOMPARE(read(user.filePath("OrvexMonitor.mdb")), QByteArray("shipped"));
    QVERIFY(write(user.filePath("OrvexMonitor.mdb"), "the user's devices"));
    // A database an earlier build left beside the program is taken before the shipped one.
    QVERIFY(write(prefix.filePath("bin/OrvexMonitor.mdb"), "devices of an earlier run"));
    QVERIFY(t->paths().seedDataFolder("OrvexMonitor.mdb"));
    QCOMPARE(read(user.filePath("OrvexMonitor.mdb")), QByteArray("the user's devices"));
    QVERIFY(QFile::remove(user.filePath("OrvexMonitor.mdb")));
    QVERIFY(t->paths().seedDataFolder("OrvexMonitor.mdb"));
    QCOMPARE(read(user.filePath("OrvexMonitor.mdb")), QByteArray("devices of an earlier run"));
    QCOMPARE(QDir(user.path()).entryList(QDir::Files), QStringList{"OrvexMonitor.mdb"});
}

void SettingsTest::catalogue_hostTimeOutAppendsThousand() {
    TestContext t;
    t->settings().SaveSetting("Options", "HostTimeOut", "7");
    QCOMPARE(t->catalogue().hostTimeOutMilliseconds(), 7000);
    t->settings().SaveSetting("Options", "ViewMode", "abc");
    QCOMPARE(t->catalogue().viewMode(), 0);
    t->settings().SaveSetting("Options", "AutoStart", "2");
    QVERIFY(!t->catalogue().autoStart());
    t->settings().SaveSetting("Options", "HTMLOutput", "2");
    QVERIFY(t->catalogue().htmlOutput());
    t->settings().SaveSetting("Options", "Min_Between_Checks", "abc");
    QVERIFY_THROWS_EXCEPTION(RuntimeError, t->catalogue().minBetweenChecks());
}

using Write = std::function<void(SettingsCatalogue&)>;
using ReadBack = std::function<QVariant(const SettingsCatalogue&)>;
Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(ReadBack)

namespace {
// A row that writes value through the key's typed setter and reads it back through the key's
// reading, or the error that reading raises.
template <typename T, typename V>
void typedRow(const char* name, const Setting<T>& setting, V value, const QString& section,
              const QString& key, const QString& stored, const QVariant& read) {
    QTest::newRow(name) << Write([s = &setting, value](auto& c) { c.set(*s, value); }) << section
                        << key << stored << ReadBack([s = &setting](auto& c) {
                               try {
                                   return QVariant::fromValue(c.get(*s));
                               } catch (const RuntimeError& e) {
                                   return QVariant(QString("error %1").arg(e.number()));
                               }
                           })
                        << read;
}
} // namespace

void SettingsTest::set_storesWhatTheReadingTakesBackAndAnnouncesIt_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<ReadBack>("readBack");
    QTest::addColumn<QVariant>("read");

    typedRow("flag on", Key::FastChecks, true, "Options", "FastChecks", "1", true);
    // Stored as given: the reading decides what it makes of it.
    typedRow("whole number beyond the reading", Key::MinBetweenChecks, 40000, "Options",
             "Min_Between_Checks", "40000", "error 6");
    typedRow("twips", Key::MainLeft, 1234.5, "Settings", "MainLeft", "1234.5", 1234.5f);
    typedRow("text", Key::MailTo, "a@x;b@x", "Mail Options", "MailTo", "a@x;b@x", "a@x;b@x");
}

void SettingsTest::set_storesWhatTheReadingTakesBackAndAnnouncesIt() {
    QFETCH(Write, write);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(ReadBack, readBack);
    QFETCH(QVariant, read);
    TestContext t;
    QSignalSpy announced(&t->catalogue(), &SettingsCatalogue::changed);

    write(t->catalogue());

    QCOMPARE(t->settings().GetSetting(section, key, "absent"), stored);
    QCOMPARE(readBack(t->catalogue()), read);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced.first().first().toString().toLower(), key.toLower());
}

ORVEX_TEST_GUILESS_MAIN(SettingsTest)
#include "tst_core_settings.moc"
