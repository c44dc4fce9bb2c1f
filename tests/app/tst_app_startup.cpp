#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "ReadOnlyFolder.h"
#include "report/frmSplash.h"
#include "store/Database.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/desktop/WidgetDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
void createDatabase(const QString& path) {
    Database::create(path);
}

QString lockPath(AppContext& context) {
    return QFileInfo(context.settings().fileName()).absolutePath() + "/OrvexMonitor.lock";
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void shellUrl_data();
    void shellUrl();
    void storedDatabase_opensWithoutMessage();
    void missingStored_fallsBackOnceAndRewritesSetting_data();
    void missingStored_fallsBackOnceAndRewritesSetting();
    void readOnlyDatabase_refusedNamingTheFile();
    void settingsFolderNotWritable_saysSoNotAlreadyLoaded();
    void noDatabaseAtAll_bothMessagesAndEnd();
    void notADatabase_showsStartupError();
    void secondInstance_onlyAlreadyLoadedMessage();
    void splash_keyPressOrClickCloses();
    void splash_leavesStartupMessagesAboveIt();
};

void StartupTest::storedDatabase_opensWithoutMessage() {
    TestContext t;
    const QString stored = t.programFile("mine.mdb");
    createDatabase(stored);
    t->settings().SaveSetting("Startup", "Database", stored);
    // A copy killed half way left its work file in the data folder.
    const QString leftover = t.programFile(".mine.mdb.Ab12Cd");
    QVERIFY(QFile(leftover).open(QIODevice::WriteOnly));
    Database db;
    Startup startup(*t, db);
    QVERIFY(startup.run());
    QVERIFY(db.isOpen());
    QVERIFY(!QFileInfo::exists(leftover));
    QCOMPARE(t->state().DatabasePath, stored);
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(startup.splash()->versionText(), QString("Version 2.0 Build 15"));
}

void StartupTest::missingStored_fallsBackOnceAndRewritesSetting_data() {
    QTest::addColumn<QString>("stored"); // in the program folder
    QTest::newRow("no such file") << "moved-away.mdb";
    QTest::newRow("a folder") << "databases";
}

void StartupTest::missingStored_fallsBackOnceAndRewritesSetting() {
    QFETCH(QString, stored);
    TestContext t;
    const QString fallback = t.programFile("OrvexMonitor.mdb");
    createDatabase(fallback);
    QVERIFY(QDir(t.folder.path()).mkdir("databases"));
    t->settings().SaveSetting("Startup", "DataBase", t.programFile(stored));
    {
        Database db;
        Startup startup(*t, db);
        QVERIFY(startup.run());
        QVERIFY(db.isOpen());
        QCOMPARE(db.path(), fallback);
    }
    QCOMPARE(t.dialogs.messages.size(), 1);
    QCOMPARE(t.dialogs.messages.first().text,
             QString("The default database will be loaded because the user specified database "
                     "does not exist."));
    QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Exclamation);
    QCOMPARE(t->settings().GetSetting("Startup", "Database", ""), fallback);

    // The next start finds the rewritten setting and says nothing.
    Database db;
    Startup again(*t, db);
    QVERIFY(again.run());
    QCOMPARE(t.dialogs.messages.size(), 1);
}

void StartupTest::noDatabaseAtAll_bothMessagesAndEnd() {
    TestContext t;
    Database db;
    Startup startup(*t, db);
    QVERIFY(!startup.run());
    QVERIFY(!db.isOpen());
    QCOMPARE(t.dialogs.messages.size(), 2);
    QCOMPARE(t.dialogs.messages.at(0).text,
             QString("Unable to load the database you specified or the default database.\r\n"
                     "Try un-installing and re-installing the program."));
    QCOMPARE(t.dialogs.messages.at(0).icon, MessageIcon::Critical);
    QVERIFY(t.dialogs.messages.at(1).text.contains("\r\nIf this problem persists please contact "));
    QCOMPARE(t.dialogs.messages.at(1).caption, QString("IP Orvex Monitor 2.0"));
    // Nothing was written back: no default exists to point at.
    QCOMPARE(t->settings().GetSetting("Startup", "Database", "unset"), QString("unset"));
}

void StartupTest::notADatabase_showsStartupError() {
    TestContext t;
    QFile junk(t.programFile("OrvexMonitor.mdb"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    Database db;
    Startup startup(*t, db);
    QVERIFY(!startup.run());
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY2(t.dialogs.messages.first().text.contains("not a database"),
             qPrintable(t.dialogs.messages.first().text));
}

// A database in a folder owned by another user: the file would open and fail at its first
// write.
void StartupTest::readOnlyDatabase_refusedNamingTheFile() {
    TestContext t;
    QVERIFY(QDir(t.folder.path()).mkdir("shared"));
    const QString path = t.programFile("shared/OrvexMonitor.mdb");
    createDatabase(path);
    t->settings().SaveSetting("Startup", "Database", path);
    ReadOnlyFolder readOnly(QFileInfo(path).absolutePath());
    if (!readOnly.ready())
        QSKIP("this process can make no folder read-only");
    Database db;
    Startup startup(*t, db);
    QVERIFY(!startup.run());
    QVERIFY(!db.isOpen());
    QCOMPARE(t.dialogs.messages.size(), 1);
    const ShownMessage& shown = t.dialogs.messages.first();
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QCOMPARE(shown.caption, QString("IP Orvex Monitor 2.0"));
    QVERIFY2(shown.text.startsWith("The database file '" + path + "' cannot be written"),
             qPrintable(shown.text));
    QVERIFY(shown.text.contains("\r\nIf this problem persists please contact "));
}

void StartupTest::settingsFolderNotWritable_saysSoNotAlreadyLoaded() {
    TestContext t;
    createDatabase(t.programFile("OrvexMonitor.mdb"));
    const QString folder = QFileInfo(lockPath(*t)).absolutePath();
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.ready())
        QSKIP("this process can make no folder read-only");
    Database db;
    Startup startup(*t, db);
    QVERIFY(!startup.run());
    QVERIFY(!db.isOpen());
    QVERIFY(!startup.splash());
    QCOMPARE(t.dialogs.messages.size(), 1);
    const ShownMessage& shown = t.dialogs.messages.first();
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QVERIFY2(shown.text.startsWith("The settings folder '" + folder + "' cannot be written."),
             qPrintable(shown.text));
    QVERIFY(!shown.text.contains("already loaded"));
}

void StartupTest::secondInstance_onlyAlreadyLoadedMessage() {
    TestContext t;
    createDatabase(t.programFile("OrvexMonitor.mdb"));
    SingleInstance first(lockPath(*t));
    QVERIFY(first.acquire());

    Database db;
    Startup second(*t, db);
    QVERIFY(!second.run());
    QCOMPARE(t.dialogs.messages.size(), 1);
    QCOMPARE(t.dialogs.messages.first().text,
             QString("IP Orvex Monitor 2.0 is already loaded.  Unable to load program again."));
    QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY(!second.splash());
    QVERIFY(!db.isOpen());
}

void StartupTest::splash_keyPressOrClickCloses() {
    QPointer<frmSplash> keyed = new frmSplash;
    keyed->show();
    QTest::keyClick(keyed.data(), Qt::Key_Space);
    QTRY_VERIFY(keyed.isNull());

    QPointer<frmSplash> clicked = new frmSplash;
    clicked->show();
    QTest::mouseClick(clicked.data(), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(clicked.isNull());
}

// The missing-database and start-up error messages show while the splash box is up; a box
// kept above every window would hide them and leave start-up waiting on an unseen question.
void StartupTest::splash_leavesStartupMessagesAboveIt() {
    frmSplash splash;
    QVERIFY(!splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void StartupTest::shellUrl_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QUrl>("expected");
    QTest::newRow("plain file") << "file:///opt/orvex/readme.txt"
                                << QUrl::fromLocalFile("/opt/orvex/readme.txt");
    QTest::newRow("hash and question mark in the path")
        << "file:///data/logs #2/what?.txt" << QUrl::fromLocalFile("/data/logs #2/what?.txt");
    QTest::newRow("web address") << "https://example.com/a?b=1"
                                 << QUrl("https://example.com/a?b=1");
}

void StartupTest::shellUrl() {
    QFETCH(QString, target);
    QFETCH(QUrl, expected);
    QCOMPARE(DesktopShell::urlOf(target), expected);
}

ORVEX_TEST_MAIN(StartupTest)
#include "tst_app_startup.moc"
