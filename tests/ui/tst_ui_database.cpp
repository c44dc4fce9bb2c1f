#include "core/AppInfo.h"
#include "DatabaseFiles.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/frmMain.h"

#include <optional>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QToolButton>
#include <sys/stat.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The program as start-up leaves it on a database of three devices (opened through a link when
// one is named), with counters that a check cycle has moved since. Names are taken in the
// program folder.
struct Fixture {
    explicit Fixture(const QString& file = "OrvexMonitor.mdb", const QString& link = {}) {
        const QString real = QDir(t.folder.path()).filePath(file);
        DatabaseFiles::create(real, 3);
        path = link.isEmpty() ? real : t.programFile(link);
        if (!link.isEmpty())
            QFile::link(real, path);
        t->state().DatabasePath = path;
        db.open(path);
        window = std::make_unique<frmMain>(*t, db);
        caption = AppInfo::Title + " - " + QFileInfo(path).fileName();
        window->setWindowTitle(caption);
        db.execute({"Update Main_Data set Status = 'Failed', Connect = 7", {}});
    }

    frmMain& w() { return *window; }
    void run(const char* item) { w().action(QString::fromLatin1(item))->trigger(); }
    int devicesInTree() { return w().tvTreeView().root()->childCount(); }
    QString stored() { return t->settings().GetSetting("Startup", "Database", "unset"); }
    bool reported(const QString& routine) {
        return t.end.codes == QVector<int>{1} && !t.dialogs.messages.isEmpty() &&
               t.dialogs.messages.last().caption == AppInfo::Title + " - Unexpected Error!" &&
               t.dialogs.messages.last().text.contains(routine);
    }
    // The program goes on with the file it had, as it was.
    void verifyKept(const QStringList& rows) {
        QCOMPARE(t->state().DatabasePath, path);
        QCOMPARE(db.path(), path);
        QCOMPARE(w().windowTitle(), caption);
        QCOMPARE(stored(), QString("unset"));
        QCOMPARE(DatabaseFiles::rows(db), rows);
    }

    TestContext t;
    QString path;
    QString caption;
    Database db;
    std::unique_ptr<frmMain> window;
};

} // namespace

class UiDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void fileDialogs_cancelChangesNothing_data();
    void fileDialogs_cancelChangesNothing();
    void open_data();
    void open();
    void saveAs_data();
    void saveAs();
    void compact_data();
    void compact();
    void reload_data();
    void reload();
    void newDatabase_isAnnounced();
    void monitoring_putsEveryCommandOutOfReach();
};

void UiDatabaseTest::fileDialogs_cancelChangesNothing_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");
    QTest::newRow("open from the menu") << "mnuFileOpen"
                                        << " - Open Database";
    QTest::newRow("open from the toolbar") << "Open"
                                           << " - Open Database";
    QTest::newRow("save as") << "mnuFileSaveAs"
                             << " - Save Database As...";
}

void UiDatabaseTest::fileDialogs_cancelChangesNothing() {
    QFETCH(QString, item);
    QFETCH(QString, title);
    Fixture f;
    const QStringList rows = DatabaseFiles::rows(f.db);
    if (QToolButton* button = f.w().toolButton(item))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        f.w().action(item)->trigger();
    QCOMPARE(f.t.dialogs.fileRequests.size(), 1);
    const FileDialogRequest request = f.t.dialogs.fileRequests.first();
    QCOMPARE(request.title, AppInfo::Title + title);
    QCOMPARE(request.folder, f.t->paths().programFolder());
    QCOMPARE(request.fileName, QString("OrvexMonitor.mdb"));
    QCOMPARE(request.filter, QString("mdb (*.mdb)"));
    QVERIFY(f.t.dialogs.messages.isEmpty() && f.t.dialogs.questions.isEmpty());
    f.verifyKept(rows);
}

void UiDatabaseTest::open_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("another database") << "Branch Office.mdb" << false << "opened";
    QTest::newRow("the open file, yes") << "OrvexMonitor.mdb" << true << "reloaded";
    QTest::newRow("the open file, no") << "OrvexMonitor.mdb" << false << "kept";
    QTest::newRow("the open file through a link") << "link.mdb" << true << "reloaded";
    QTest::newRow("a name that does not exist") << "missing.mdb" << false << "not valid";
    QTest::newRow("text file") << "text.mdb" << false << "reported";
    QTest::newRow("empty file") << "empty.mdb" << false << "reported";
    QTest::newRow("database of other tables") << "other.mdb" << false << "reported";
    QTest::newRow("folder") << "folder.mdb" << false << "reported";
}

void UiDatabaseTest::open() {
    QFETCH(QString, chosen);
    QFETCH(bool, yes);
    QFETCH(QString, outcome);
    Fixture f;
    const QString file = f.t.programFile(chosen);
    QFile::link(f.path, f.t.programFile("link.mdb"));
    DatabaseFiles::create(f.t.programFile("Branch Office.mdb"), 5);
    writeFile(f.t.programFile("text.mdb"), "Device,Port\r\nrouter,Ping\r\n");
    writeFile(f.t.programFile("empty.mdb"), "");
    Database::create(f.t.programFile("other.mdb"));
    QVERIFY(QDir(f.t.folder.path()).mkdir("folder.mdb"));
    {
        Database other;
        other.open(f.t.programFile("other.mdb"));
        other.execute({"Drop table Main_Data", {}});
    }
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    const QStringList rows = DatabaseFiles::rows(f.db);
    const QByteArray bytes = DatabaseFiles::bytesOf(file);
    f.t.dialogs.fileNames.enqueue(file);
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuFileOpen");

    const bool sameFile = outcome == "reloaded" || outcome == "kept";
    QCOMPARE(f.t.dialogs.questions.size(), sameFile ? 1 : 0);
    if (sameFile)
        QCOMPARE(f.t.dialogs.questions.first().text,
                 QString("The file you specified is already loaded.  Re-loading the database "
                         "will reset the counters.  Continue with re-load."));
    QCOMPARE(f.reported("mnuFileOpen_Click"), outcome == "reported");
    if (outcome == "not valid")
        QCOMPARE(f.t.dialogs.messages.first().text,
                 QString("The Database name you provided is not valid."));
    if (outcome == "opened" || outcome == "reloaded") {
        QCOMPARE(f.t->state().DatabasePath, file);
        QCOMPARE(f.db.path(), file);
        QCOMPARE(f.stored(), file);
        QCOMPARE(f.w().windowTitle(), AppInfo::Title + " - " + chosen);
        QCOMPARE(f.devicesInTree(), outcome == "opened" ? 5 : 4);
        QCOMPARE(f.w().lvListView().model().rowCount(), f.devicesInTree());
        // Loading resets the counters of the file opened, and only of that one.
        QVERIFY(DatabaseFiles::rows(f.db).filter("Failed").isEmpty());
        if (outcome == "opened")
            QCOMPARE(DatabaseFiles::rowsOf(f.path), rows);
    } else {
        f.verifyKept(rows);
        QCOMPARE(f.devicesInTree(), 3);
        QCOMPARE(DatabaseFiles::bytesOf(file), bytes);
    }
}

void UiDatabaseTest::saveAs_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("new name") << "Copy.mdb" << false << "copied";
    QTest::newRow("over another file, yes") << "Older.mdb" << true << "copied";
    QTest::newRow("over another file, no") << "Older.mdb" << false << "kept";
    QTest::newRow("the open file") << "OrvexMonitor.mdb" << true << "in use";
    QTest::newRow("the open file in other letters") << "orvexmonitor.MDB" << true << "in use";
    QTest::newRow("the open file through a link") << "link.mdb" << true << "in use";
    QTest::newRow("over another file, disk full") << "Older.mdb" << true << "reported";
}

void UiDatabaseTest::saveAs() {
    QFETCH(QString, chosen);
    QFETCH(bool, yes);
    QFETCH(QString, outcome);
    Fixture f;
    const QString file = f.t.programFile(chosen);
    QFile::link(f.path, f.t.programFile("link.mdb"));
    DatabaseFiles::create(f.t.programFile("Older.mdb"), 1);
    const QStringList rows = DatabaseFiles::rows(f.db);
    const QByteArray bytes = DatabaseFiles::bytesOf(file);
    f.t.dialogs.fileNames.enqueue(file);
    f.t.dialogs.answers.enqueue(yes);
    {
        std::optional<DatabaseFiles::FileSizeLimit> limit;
        if (outcome == "reported")
            limit.emplace(8 * 1024);
        f.run("mnuFileSaveAs");
    }

    QCOMPARE(f.reported("mnuFileSaveAs_Click"), outcome == "reported");
    QCOMPARE(f.t.dialogs.questions.size(), chosen == "Older.mdb" ? 1 : 0);
    if (chosen == "Older.mdb")
        QCOMPARE(f.t.dialogs.questions.first().text, QString("Overwrite existing file?"));
    if (outcome == "in use")
        QCOMPARE(f.t.dialogs.messages.first().text,
                 QString("File in use.  Please specify a different file name."));
    else if (outcome != "reported")
        QVERIFY(f.t.dialogs.messages.isEmpty());
    f.verifyKept(rows);
    if (outcome == "copied") {
        QCOMPARE(DatabaseFiles::rowsOf(file), rows);
        // Later results go to the file that was open, not to the copy.
        f.db.execute({"Update Main_Data set Connect = 8", {}});
        QCOMPARE(DatabaseFiles::rowsOf(file), rows);
    } else {
        QCOMPARE(DatabaseFiles::bytesOf(file), bytes);
    }
    QCOMPARE(QFileInfo(f.t.programFile("link.mdb")).isSymLink(), true);
    QCOMPARE(QDir(f.t.folder.path()).entryList({".*"}, QDir::Files | QDir::Hidden), {});
}

void UiDatabaseTest::compact_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("fails");
    QTest::newRow("compacts") << "" << true << false;
    QTest::newRow("past a leftover work file") << "leftover" << true << false;
    QTest::newRow("no") << "leftover" << false << false;
    QTest::newRow("database named like the work file") << "Temp.mdb" << true << false;
    QTest::newRow("database named like the work file, disk full")
        << "Temp.mdb full" << true << true;
    QTest::newRow("database opened through a link") << "link" << true << false;
    QTest::newRow("database on another file system") << "elsewhere" << true << false;
    QTest::newRow("leftover that cannot be deleted") << "leftover folder" << true << true;
    QTest::newRow("disk full") << "disk full" << true << true;
}

void UiDatabaseTest::compact() {
    QFETCH(QString, setup);
    QFETCH(bool, yes);
    QFETCH(bool, fails);
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/orvex-XXXXXX"));
    struct stat here {
    }, there{};
    if (setup == "elsewhere" &&
        (!elsewhere.isValid() || ::stat(qPrintable(elsewhere.path()), &there) != 0 ||
         ::stat(qPrintable(QDir::tempPath()), &here) != 0 || here.st_dev == there.st_dev))
        QSKIP("no second file system here");
    Fixture f(setup == "elsewhere"           ? elsewhere.filePath("OrvexMonitor.mdb")
              : setup.startsWith("Temp.mdb") ? QString("Temp.mdb")
                                             : QString("OrvexMonitor.mdb"),
              setup == "link" ? "link.mdb" : "");
    const QString work = f.t.programFile("Temp.mdb");
    if (setup == "leftover")
        writeFile(work, "left over from a compaction that broke off");
    else if (setup == "leftover folder")
        QVERIFY(QDir(f.t.folder.path()).mkpath("Temp.mdb/kept"));
    // Deleted rows leave free pages behind, which compaction gives back.
    for (int n = 0; n < 100; ++n)
        f.db.execute({"Insert into Devices (Device, Device_Description) values (?, ?)",
                      {QString("gone%1").arg(n), QString(2000, 'x')}});
    f.db.execute({"Delete from Devices where Device like 'gone%'", {}});
    const QStringList rows = DatabaseFiles::rows(f.db);
    const QByteArray bytes = DatabaseFiles::bytesOf(f.path);
    f.t.dialogs.answers.enqueue(yes);
    {
        std::optional<DatabaseFiles::FileSizeLimit> limit;
        if (setup.endsWith("full"))
            limit.emplace(8 * 1024);
        f.run("mnuCompactDatabase");
    }

    QCOMPARE(f.t.dialogs.questions.first().text, "You are about to compact the database." + CRLF +
                                                     "Continue with database compaction?");
    QCOMPARE(f.reported("mnuCompactDatabase_Click"), fails);
    QCOMPARE(f.w().statusPanel(1), QString("Ready"));
    // Rows and counters as they were; the tree is not rebuilt.
    f.verifyKept(rows);
    QCOMPARE(f.devicesInTree(), 3);
    if (yes && !fails) {
        QVERIFY(DatabaseFiles::bytesOf(f.path).size() < bytes.size());
        QCOMPARE(f.t.assistant.texts(),
                 QStringList{"The database has been compacted successfully."});
        QCOMPARE(f.t.assistant.spoken.first().animation, QString("Pleased"));
    } else {
        QCOMPARE(DatabaseFiles::bytesOf(f.path), bytes);
    }
    QCOMPARE(QFileInfo(f.path).isSymLink(), setup == "link");
    QCOMPARE(QFileInfo(work).isFile(),
             setup.startsWith("Temp.mdb") || (!yes && setup == "leftover"));
    QCOMPARE(QDir(f.t.folder.path()).entryList({".*"}, QDir::Files | QDir::Hidden), {});
}

void UiDatabaseTest::reload_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("messageTab");
    QTest::newRow("yes") << true << false;
    QTest::newRow("yes behind the message window") << true << true;
    QTest::newRow("no") << false << false;
}

void UiDatabaseTest::reload() {
    QFETCH(bool, yes);
    QFETCH(bool, messageTab);
    Fixture f;
    if (messageTab)
        f.w().TabStrip1_Click(2);
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    const QStringList rows = DatabaseFiles::rows(f.db);
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuReloadDatabase");

    QCOMPARE(f.t.dialogs.questions.first().text,
             "Reloading the database will also reset the counters." + CRLF +
                 "Continue with reload?");
    QCOMPARE(DatabaseFiles::rows(f.db).filter("Failed").isEmpty(), yes);
    QCOMPARE(f.devicesInTree(), yes ? 4 : 3);
    QCOMPARE(f.db.path(), f.path);
    QCOMPARE(f.w().windowTitle(), f.caption);
    QVERIFY(!f.w().tvTreeView().isHidden());
    QCOMPARE(f.w().lvListView().isHidden(), messageTab);
    if (!yes)
        f.verifyKept(rows);
}

void UiDatabaseTest::newDatabase_isAnnounced() {
    Fixture f;
    f.run("mnuFileNew");
    QTest::mouseClick(f.w().toolButton("New"), Qt::LeftButton);
    QCOMPARE(f.t.assistant.spoken.size(), 2);
    for (const SpokenText& spoken : f.t.assistant.spoken) {
        QCOMPARE(spoken.text, QString("Sorry, creating a new database has not been implemented "
                                      "yet."));
        QCOMPARE(spoken.animation, QString("Decline"));
    }
    QVERIFY(f.t.dialogs.fileRequests.isEmpty());
}

void UiDatabaseTest::monitoring_putsEveryCommandOutOfReach() {
    Fixture f;
    const QStringList rows = DatabaseFiles::rows(f.db);
    const auto available = [&] {
        QList<bool> states;
        for (const char* name : {"tbNew", "tbOpen", "mnuFileNew", "mnuFileSaveAs", "mnuFileOpen"})
            states << f.w().action(name)->isEnabled();
        return states << f.w().menu("mnuDatabase")->menuAction()->isEnabled();
    };
    // What switching monitoring on does to the window and the program state.
    f.w().applyMonitoringState(true);
    f.t->state().MonitoringOn = true;
    QCOMPARE(available(), QList<bool>(6, false));
    QTest::mouseClick(f.w().toolButton("Open"), Qt::LeftButton);
    // Nor does any other way in reach the file while the checks use it.
    f.t.dialogs.answers << true << true;
    for (const char* item : {"mnuCompactDatabase", "mnuReloadDatabase"})
        f.w().action(item)->activate(QAction::Trigger);
    for (void (frmMain::*request)() :
         {&frmMain::newDatabaseRequested, &frmMain::openDatabaseRequested,
          &frmMain::saveDatabaseAsRequested, &frmMain::compactDatabaseRequested,
          &frmMain::reloadDatabaseRequested})
        emit(f.w().*request)();
    QVERIFY(f.t.dialogs.fileRequests.isEmpty() && f.t.dialogs.questions.isEmpty());
    QVERIFY(f.t.assistant.spoken.isEmpty());
    f.verifyKept(rows);

    f.w().applyMonitoringState(false);
    f.t->state().MonitoringOn = false;
    QCOMPARE(available(), QList<bool>(6, true));
}

ORVEX_TEST_MAIN(UiDatabaseTest)
#include "tst_ui_database.moc"
