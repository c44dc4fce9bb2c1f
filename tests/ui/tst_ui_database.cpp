#include "core/AppInfo.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "ui/main/DatabaseCommands.h"

#include <csignal>
#include <optional>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QStorageInfo>
#include <QToolButton>
#include <sys/resource.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Devices "host<n>", each with a Ping and a port 80 item.
void addHosts(SeededDatabase& data, int devices) {
    for (int n = 0; n < devices; ++n) {
        const QString device = QString("host%1").arg(n);
        data.addDevice(device).addItems(device, {"Ping", "80"});
    }
}

// A monitoring database of such devices, closed again.
void createDatabase(const QString& path, int devices) {
    SeededDatabase data(path);
    addHosts(data, devices);
}

// Every row of Devices and Main_Data as text, in key order.
QStringList allRows(Database& db) {
    QStringList result;
    for (const char* sql : {"Select Device || '|' || Device_Status as Row from Devices order by 1",
                            "Select Device || ':' || Port || '|' || Status || '|' || Connect as "
                            "Row from Main_Data order by Device, Port"})
        for (Recordset rs = db.openRecordset({sql, {}}); !rs.atEnd(); rs.moveNext())
            result << rs.text("Row");
    return result;
}

QStringList rowsOf(const QString& path) {
    Database db;
    db.open(path);
    return allRows(db);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// While it lives, writing a file past the given size fails as it does on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous); }
    rlimit previous{};
};

// The program as start-up leaves it on a database of three devices (opened through a link when
// one is named), with counters that a check cycle has moved since. Names are taken in the
// program folder.
struct Fixture : MainWindowFixture {
    explicit Fixture(const QString& file = "OrvexMonitor.mdb", const QString& link = {})
        : MainWindowFixture(
              [link](SeededDatabase& data) {
                  addHosts(data, 3);
                  const QString linked = QFileInfo(data.path()).dir().filePath(link);
                  if (!link.isEmpty() && QFile::link(data.path(), linked))
                      data.db.open(linked);
              },
              file)
        , path(db.path()) {
        t->state().DatabasePath = path;
        caption = AppInfo::Title + " - " + QFileInfo(path).fileName();
        window->setWindowTitle(caption);
        db.execute({"Update Main_Data set Status = 'Failed', Connect = 7", {}});
    }

    void run(const char* item) { w().action(QString::fromLatin1(item))->trigger(); }
    int devicesInTree() { return w().tvTreeView().root()->childCount(); }
    QString stored() { return t->settings().GetSetting("Startup", "Database", "unset"); }
    bool reported(const QString& routine) {
        return t.end.codes == QVector<int>{1} && !t.dialogs.messages.isEmpty() &&
               t.dialogs.messages.last().caption == AppInfo::Title + " - Unexpected Error!" &&
               t.dialogs.messages.last().text.contains(routine);
    }
    void verifyRequest(const QString& title) {
        QCOMPARE(t.dialogs.fileRequests.size(), 1);
        const FileDialogRequest& r = t.dialogs.fileRequests.first();
        QCOMPARE((QStringList{r.title, r.folder, r.fileName, r.filter}),
                 (QStringList{AppInfo::Title + title, t->paths().programFolder(),
                              "OrvexMonitor.mdb", "mdb (*.mdb)"}));
    }
    // The program goes on with the file it had, as it was.
    void verifyKept(const QStringList& rows) {
        QCOMPARE(t->state().DatabasePath, path);
        QCOMPARE(db.path(), path);
        QCOMPARE(w().windowTitle(), caption);
        QCOMPARE(stored(), QString("unset"));
        QCOMPARE(allRows(db), rows);
    }

    QString path;
    QString caption;
};

} // namespace

class UiDatabaseTest : public QObject {
    Q_OBJECT

private slots:
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

void UiDatabaseTest::open_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("cancelled") << "" << false << "cancelled";
    QTest::newRow("another database, from the toolbar") << "Branch Office.mdb" << false << "opened";
    QTest::newRow("the open file, yes") << "OrvexMonitor.mdb" << true << "reloaded";
    QTest::newRow("the open file, no") << "OrvexMonitor.mdb" << false << "kept";
    QTest::newRow("the open file through a link") << "link.mdb" << true << "reloaded";
    QTest::newRow("a name that does not exist") << "missing.mdb" << false << "not valid";
    QTest::newRow("text file") << "text.mdb" << false << "reported";
    QTest::newRow("empty file") << "empty.mdb" << false << "reported";
    QTest::newRow("database of other tables") << "other.mdb" << false << "reported";
    QTest::newRow("damaged data pages, readable schema") << "damaged.mdb" << false << "reported";
    QTest::newRow("refusing loading's writes") << "trigger.mdb" << false << "not loaded";
}

void UiDatabaseTest::open() {
    QFETCH(QString, chosen);
    QFETCH(bool, yes);
    QFETCH(QString, outcome);
    Fixture f;
    const QString file = chosen.isEmpty() ? QString() : f.t.programFile(chosen);
    QFile::link(f.path, f.t.programFile("link.mdb"));
    createDatabase(f.t.programFile("Branch Office.mdb"), 5);
    writeFile(f.t.programFile("text.mdb"), "Device,Port\r\nrouter,Ping\r\n");
    writeFile(f.t.programFile("empty.mdb"), "");
    Database::create(f.t.programFile("other.mdb"));
    {
        Database other;
        other.open(f.t.programFile("other.mdb"));
        other.execute({"Drop table Main_Data", {}});
        createDatabase(f.t.programFile("trigger.mdb"), 1);
        other.open(f.t.programFile("trigger.mdb"));
        other.execute({"Create trigger no before update on Main_Data begin select raise(abort, "
                       "'refused here'); end",
                       {}});
    }
    // Zeros over the last half of its pages; the schema on the first one stays readable.
    const QString damaged = f.t.programFile("damaged.mdb");
    createDatabase(damaged, 300);
    const qint64 size = QFileInfo(damaged).size();
    QFile::resize(damaged, size / 2);
    QFile::resize(damaged, size);
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    const QStringList rows = allRows(f.db);
    const QByteArray bytes = bytesOf(file);
    f.t.dialogs.fileNames.enqueue(file);
    f.t.dialogs.answers.enqueue(yes);
    if (outcome == "opened")
        QTest::mouseClick(f.w().toolButton("Open"), Qt::LeftButton);
    else
        f.run("mnuFileOpen");

    f.verifyRequest(" - Open Database");
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
    if (outcome == "not loaded")
        QVERIFY(f.t.end.codes.isEmpty() &&
                f.t.dialogs.messages.first().text.contains("refused here"));
    if (outcome == "opened" || outcome == "reloaded") {
        QCOMPARE(f.t->state().DatabasePath, file);
        QCOMPARE(f.db.path(), file);
        QCOMPARE(f.stored(), file);
        QCOMPARE(f.w().windowTitle(), AppInfo::Title + " - " + chosen);
        QCOMPARE(f.devicesInTree(), outcome == "opened" ? 5 : 4);
        QCOMPARE(f.w().lvListView().model().rowCount(), f.devicesInTree());
        // Loading resets the counters of the file opened, and only of that one.
        QVERIFY(allRows(f.db).filter("Failed").isEmpty());
        if (outcome == "opened")
            QCOMPARE(rowsOf(f.path), rows);
    } else {
        // A file that fails to load leaves the database that was open, loaded again.
        const bool reloaded = outcome == "not loaded";
        f.verifyKept(reloaded ? allRows(f.db) : rows);
        QCOMPARE(allRows(f.db).filter("Failed").isEmpty(), reloaded);
        QCOMPARE(f.devicesInTree(), reloaded ? 4 : 3);
        QCOMPARE(bytesOf(file), bytes);
    }
}

void UiDatabaseTest::saveAs_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("cancelled") << "" << false << "cancelled";
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
    const QString file = chosen.isEmpty() ? QString() : f.t.programFile(chosen);
    QFile::link(f.path, f.t.programFile("link.mdb"));
    createDatabase(f.t.programFile("Older.mdb"), 1);
    const QStringList rows = allRows(f.db);
    const QByteArray bytes = bytesOf(file);
    f.t.dialogs.fileNames.enqueue(file);
    f.t.dialogs.answers.enqueue(yes);
    {
        std::optional<FileSizeLimit> limit;
        if (outcome == "reported")
            limit.emplace(8 * 1024);
        f.run("mnuFileSaveAs");
    }

    f.verifyRequest(" - Save Database As...");
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
        QCOMPARE(rowsOf(file), rows);
        // Later results go to the file that was open, not to the copy.
        f.db.execute({"Update Main_Data set Connect = 8", {}});
        QCOMPARE(rowsOf(file), rows);
    } else {
        QCOMPARE(bytesOf(file), bytes);
    }
    QVERIFY(QFileInfo(f.t.programFile("link.mdb")).isSymLink());
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
    if (setup == "elsewhere" &&
        QStorageInfo(elsewhere.path()).device() == QStorageInfo(QDir::tempPath()).device())
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
    const QStringList rows = allRows(f.db);
    const QByteArray bytes = bytesOf(f.path);
    f.t.dialogs.answers.enqueue(yes);
    {
        std::optional<FileSizeLimit> limit;
        if (setup.endsWith("full"))
            limit.emplace(8 * 1024);
        f.run("mnuCompactDatabase");
    }

    QCOMPARE(f.t.dialogs.questions.first().text, "You are about to compact the database." + CRLF +
                                                     "Continue with database compaction?");
    QCOMPARE(f.reported("mnuCompactDatabase_Click"), fails);
    // A failure ends in the error report, behind which the program shows it stopped.
    QCOMPARE(f.face().statusPanel(1), QString(fails ? "Stopped by an error." : "Ready"));
    if (fails)
        QCOMPARE(f.face().statusPanel(2), QString("Monitoring is off."));
    // Rows and counters as they were; the tree is not rebuilt.
    f.verifyKept(rows);
    QCOMPARE(f.devicesInTree(), 3);
    if (yes && !fails) {
        QVERIFY(bytesOf(f.path).size() < bytes.size());
        QCOMPARE(f.t.assistant.texts(),
                 QStringList{"The database has been compacted successfully."});
        QCOMPARE(f.t.assistant.spoken.first().animation, QString("Pleased"));
    } else {
        QCOMPARE(bytesOf(f.path), bytes);
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
        f.client().TabStrip1_Click(2);
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    const QStringList rows = allRows(f.db);
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuReloadDatabase");

    QCOMPARE(f.t.dialogs.questions.first().text,
             "Reloading the database will also reset the counters." + CRLF +
                 "Continue with reload?");
    QCOMPARE(allRows(f.db).filter("Failed").isEmpty(), yes);
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
    // The window's items and buttons follow the monitoring state (tst_ui_main); the commands
    // themselves refuse too, whatever way they are reached.
    Fixture f;
    const QStringList rows = allRows(f.db);
    f.face().setMonitoringState(MonitoringState::Waiting);
    f.t->state().MonitoringOn = true;
    QVERIFY(!f.w().menu("mnuDatabase")->menuAction()->isEnabled());
    QTest::mouseClick(f.w().toolButton("Open"), Qt::LeftButton);
    DatabaseCommands& commands = f.commands().database();
    for (void (DatabaseCommands::*command)() :
         {&DatabaseCommands::mnuFileNew_Click, &DatabaseCommands::mnuFileOpen_Click,
          &DatabaseCommands::mnuFileSaveAs_Click, &DatabaseCommands::mnuCompactDatabase_Click,
          &DatabaseCommands::mnuReloadDatabase_Click})
        (commands.*command)();
    QVERIFY(f.t.dialogs.fileRequests.isEmpty() && f.t.dialogs.questions.isEmpty());
    QVERIFY(f.t.assistant.spoken.isEmpty());
    f.verifyKept(rows);
}

ORVEX_TEST_MAIN(UiDatabaseTest)
#include "tst_ui_database.moc"
