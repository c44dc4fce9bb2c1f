#include "core/AppInfo.h"
#include "DatabaseFiles.h"
#include "store/Database.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/frmMain.h"

#include <optional>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolButton>
#include <sys/stat.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Caption = AppInfo::Title + " - OrvexMonitor.mdb";
const QString ErrorCaption = AppInfo::Title + " - Unexpected Error!";

void setMode(const QString& path, int mode) {
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The program as start-up leaves it: three devices in the program folder's database, its name
// in the caption, and counters that a check cycle has moved since.
struct Fixture {
    explicit Fixture(const QString& file = {}) {
        path = file.isEmpty() ? t.programFile("OrvexMonitor.mdb") : file;
        DatabaseFiles::create(path, 3);
        t->state().DatabasePath = path;
        db.open(path);
        window = std::make_unique<frmMain>(*t, db);
        window->setWindowTitle(Caption);
        setCounters(7);
    }

    frmMain& w() { return *window; }
    void run(const char* item) { w().action(QString::fromLatin1(item))->trigger(); }
    void setCounters(int connect) {
        db.execute({"Update Main_Data set Connect = ?, Status = 'Failed'", {connect}});
    }
    // Connect of every item of the open database.
    QStringList counters() {
        QStringList result;
        for (Recordset rs = db.openRecordset({"Select * from Main_Data order by Device, Port", {}});
             !rs.atEnd(); rs.moveNext())
            result << rs.text("Connect");
        return result;
    }
    QStringList deviceKeys() {
        QStringList keys;
        QTreeWidgetItem* root = w().tvTreeView().root();
        for (int i = 0; root && i < root->childCount(); ++i)
            keys << DeviceTree::keyOf(root->child(i));
        return keys;
    }
    QString storedDatabase() { return t->settings().GetSetting("Startup", "Database", "unset"); }
    bool reportedError(const QString& routine) {
        return t.end.codes == QVector<int>{1} && !t.dialogs.messages.isEmpty() &&
               t.dialogs.messages.last().caption == ErrorCaption &&
               t.dialogs.messages.last().text.contains(routine);
    }
    // The program goes on with the file it had, as it was.
    void verifyUnchanged() {
        QCOMPARE(t->state().DatabasePath, path);
        QVERIFY(db.isOpen());
        QCOMPARE(db.path(), path);
        QCOMPARE(w().windowTitle(), Caption);
        QCOMPARE(storedDatabase(), QString("unset"));
        QCOMPARE(deviceKeys(), (QStringList{"host0000", "host0001", "host0002"}));
        QCOMPARE(counters(), QStringList(6, "7"));
    }

    TestContext t;
    QString path;
    Database db;
    std::unique_ptr<frmMain> window;
};

} // namespace

class UiDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void fileDialogs_data();
    void fileDialogs();
    void open_anotherDatabase();
    void open_sameFile_data();
    void open_sameFile();
    void open_refused_data();
    void open_refused();
    void saveAs_copyAndGoOnWithOpenFile();
    void saveAs_overAnotherFile_data();
    void saveAs_overAnotherFile();
    void saveAs_openFile_data();
    void saveAs_openFile();
    void compact_data();
    void compact();
    void compact_failing_data();
    void compact_failing();
    void compact_readOnlyProgramFolder_usesDataFolder();
    void reload_data();
    void reload();
    void newDatabase_isAnnounced_data();
    void newDatabase_isAnnounced();
    void monitoring_disablesEveryCommand();
};

void UiDatabaseTest::fileDialogs_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("button");
    QTest::addColumn<QString>("title");
    QTest::newRow("open from the menu") << "mnuFileOpen" << false << " - Open Database";
    QTest::newRow("open from the toolbar") << "Open" << true << " - Open Database";
    QTest::newRow("save as") << "mnuFileSaveAs" << false << " - Save Database As...";
}

void UiDatabaseTest::fileDialogs() {
    QFETCH(QString, item);
    QFETCH(bool, button);
    QFETCH(QString, title);
    Fixture f;
    const QByteArray bytes = DatabaseFiles::bytesOf(f.path);
    if (button)
        QTest::mouseClick(f.w().toolButton(item), Qt::LeftButton);
    else
        f.w().action(item)->trigger();
    QCOMPARE(f.t.dialogs.fileRequests.size(), 1);
    const FileDialogRequest request = f.t.dialogs.fileRequests.first();
    QCOMPARE(request.title, AppInfo::Title + title);
    QCOMPARE(request.folder, f.t->paths().programFolder());
    QCOMPARE(request.fileName, QString("OrvexMonitor.mdb"));
    QCOMPARE(request.filter, QString("mdb (*.mdb)"));
    // Cancelled: no message, no change.
    QVERIFY(f.t.dialogs.messages.isEmpty());
    QVERIFY(f.t.dialogs.questions.isEmpty());
    f.verifyUnchanged();
    QCOMPARE(DatabaseFiles::bytesOf(f.path), bytes);
}

void UiDatabaseTest::open_anotherDatabase() {
    Fixture f;
    const QString other = f.t.programFile("Branch Office.mdb");
    DatabaseFiles::create(other, 5);
    f.t.dialogs.fileNames.enqueue(other);
    f.run("mnuFileOpen");

    QVERIFY(f.t.dialogs.messages.isEmpty());
    QVERIFY(f.t.dialogs.questions.isEmpty());
    QCOMPARE(f.t->state().DatabasePath, other);
    QCOMPARE(f.db.path(), other);
    QCOMPARE(f.w().windowTitle(), AppInfo::Title + " - Branch Office.mdb");
    QCOMPARE(f.storedDatabase(), other);
    QCOMPARE(f.t->catalogue().database(), other);
    QCOMPARE(f.deviceKeys().size(), 5);
    QCOMPARE(f.w().tvTreeView().selectedNode(), f.w().tvTreeView().root());
    QCOMPARE(f.w().lvListView().model().rowCount(), 5);
    // Loading resets the new file's counters; the file left behind keeps its own and is free.
    QCOMPARE(f.counters(), QStringList(10, "0"));
    QVERIFY(!DatabaseFiles::rows(f.db).join(' ').contains("Failed"));
    QCOMPARE(DatabaseFiles::rowsOf(f.path).filter("|7|").size(), 6);
}

void UiDatabaseTest::open_sameFile_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes reloads") << "OrvexMonitor.mdb" << true;
    QTest::newRow("no keeps") << "OrvexMonitor.mdb" << false;
    QTest::newRow("through a link, yes") << "link.mdb" << true;
}

void UiDatabaseTest::open_sameFile() {
    QFETCH(QString, chosen);
    QFETCH(bool, yes);
    Fixture f;
    QVERIFY(QFile::link(f.path, f.t.programFile("link.mdb")));
    f.t.dialogs.fileNames.enqueue(f.t.programFile(chosen));
    f.t.dialogs.answers.enqueue(yes);
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    f.run("mnuFileOpen");

    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.first().text,
             QString("The file you specified is already loaded.  Re-loading the database will "
                     "reset the counters.  Continue with re-load."));
    QCOMPARE(f.t.dialogs.questions.first().caption, AppInfo::Title);
    QVERIFY(f.t.end.codes.isEmpty());
    QCOMPARE(f.counters(), QStringList(6, yes ? "0" : "7"));
    QCOMPARE(f.deviceKeys().contains("added later"), yes);
    QCOMPARE(f.t->state().DatabasePath, yes ? f.t.programFile(chosen) : f.path);
    QCOMPARE(f.storedDatabase(), yes ? f.t.programFile(chosen) : QString("unset"));
    QCOMPARE(f.w().windowTitle(), yes ? AppInfo::Title + " - " + chosen : Caption);
}

void UiDatabaseTest::open_refused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("reported");
    QTest::newRow("name that does not exist") << "missing" << false;
    QTest::newRow("text file") << "text" << true;
    QTest::newRow("empty file") << "empty" << true;
    QTest::newRow("database of other tables") << "otherTables" << true;
    QTest::newRow("folder") << "folder" << true;
}

void UiDatabaseTest::open_refused() {
    QFETCH(QString, kind);
    QFETCH(bool, reported);
    Fixture f;
    const QString chosen = f.t.programFile("chosen.mdb");
    if (kind == "text")
        writeFile(chosen, "Device,Port\r\nrouter,Ping\r\n");
    else if (kind == "empty")
        writeFile(chosen, "");
    else if (kind == "otherTables") {
        Database::create(chosen);
        Database other;
        other.open(chosen);
        other.execute({"Drop table Main_Data", {}});
        other.execute({"Create table Notes (Text TEXT)", {}});
    } else if (kind == "folder")
        QVERIFY(QDir(f.t.folder.path()).mkdir("chosen.mdb"));
    const QByteArray bytes = DatabaseFiles::bytesOf(chosen);
    f.t.dialogs.fileNames.enqueue(chosen);
    f.run("mnuFileOpen");

    if (reported) {
        QVERIFY(f.reportedError("mnuFileOpen_Click"));
    } else {
        QVERIFY(f.t.end.codes.isEmpty());
        QCOMPARE(f.t.dialogs.messages.size(), 1);
        QCOMPARE(f.t.dialogs.messages.first().text,
                 QString("The Database name you provided is not valid."));
        QCOMPARE(f.t.dialogs.messages.first().icon, MessageIcon::Information);
        QCOMPARE(f.t.dialogs.messages.first().caption, AppInfo::Title);
    }
    QVERIFY(f.t.dialogs.questions.isEmpty());
    f.verifyUnchanged();
    QCOMPARE(DatabaseFiles::bytesOf(chosen), bytes);
}

void UiDatabaseTest::saveAs_copyAndGoOnWithOpenFile() {
    Fixture f;
    const QString copy = f.t.programFile("Copy.mdb");
    const QStringList rows = DatabaseFiles::rows(f.db);
    f.t.dialogs.fileNames.enqueue(copy);
    f.run("mnuFileSaveAs");

    QVERIFY(f.t.dialogs.messages.isEmpty());
    QVERIFY(f.t.dialogs.questions.isEmpty());
    QCOMPARE(DatabaseFiles::rowsOf(copy), rows);
    f.verifyUnchanged();
    // Later results go to the file that was open, not to the copy.
    f.setCounters(8);
    QCOMPARE(f.counters(), QStringList(6, "8"));
    QCOMPARE(DatabaseFiles::rowsOf(copy), rows);
}

void UiDatabaseTest::saveAs_overAnotherFile_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes replaces") << true;
    QTest::newRow("no keeps") << false;
}

void UiDatabaseTest::saveAs_overAnotherFile() {
    QFETCH(bool, yes);
    Fixture f;
    const QString target = f.t.programFile("Older.mdb");
    DatabaseFiles::create(target, 1);
    const QByteArray older = DatabaseFiles::bytesOf(target);
    f.t.dialogs.fileNames.enqueue(target);
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuFileSaveAs");

    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.first().text, QString("Overwrite existing file?"));
    QVERIFY(f.t.dialogs.messages.isEmpty());
    if (yes)
        QCOMPARE(DatabaseFiles::rowsOf(target), DatabaseFiles::rows(f.db));
    else
        QCOMPARE(DatabaseFiles::bytesOf(target), older);
    f.verifyUnchanged();
}

void UiDatabaseTest::saveAs_openFile_data() {
    QTest::addColumn<QString>("chosen");
    QTest::newRow("same name") << "OrvexMonitor.mdb";
    QTest::newRow("other letter case") << "orvexmonitor.MDB";
    QTest::newRow("through a link") << "link.mdb";
}

void UiDatabaseTest::saveAs_openFile() {
    QFETCH(QString, chosen);
    Fixture f;
    QVERIFY(QFile::link(f.path, f.t.programFile("link.mdb")));
    const QByteArray bytes = DatabaseFiles::bytesOf(f.path);
    f.t.dialogs.fileNames.enqueue(f.t.programFile(chosen));
    f.t.dialogs.answers.enqueue(true);
    f.run("mnuFileSaveAs");

    QCOMPARE(f.t.dialogs.messages.size(), 1);
    QCOMPARE(f.t.dialogs.messages.first().text,
             QString("File in use.  Please specify a different file name."));
    QCOMPARE(f.t.dialogs.messages.first().icon, MessageIcon::Information);
    QVERIFY(f.t.dialogs.questions.isEmpty());
    QCOMPARE(DatabaseFiles::bytesOf(f.path), bytes);
    QVERIFY(QFileInfo(f.t.programFile("link.mdb")).isSymLink());
    f.verifyUnchanged();
}

void UiDatabaseTest::compact_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("compacts") << true << false;
    QTest::newRow("compacts past a leftover work file") << true << true;
    QTest::newRow("no keeps everything") << false << true;
}

void UiDatabaseTest::compact() {
    QFETCH(bool, yes);
    QFETCH(bool, leftover);
    Fixture f;
    const QString work = f.t.programFile("Temp.mdb");
    if (leftover)
        writeFile(work, "left over from a compaction that broke off");
    // Deleted rows leave free pages behind, which compaction gives back.
    for (int n = 0; n < 200; ++n)
        f.db.execute({"Insert into Devices (Device, Device_Description) values (?, ?)",
                      {QString("gone%1").arg(n), QString(2000, 'x')}});
    f.db.execute({"Delete from Devices where Device like 'gone%'", {}});
    const QStringList rows = DatabaseFiles::rows(f.db);
    const qint64 size = QFileInfo(f.path).size();
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuCompactDatabase");

    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.first().text, "You are about to compact the database." + CRLF +
                                                     "Continue with database compaction?");
    QVERIFY(f.t.end.codes.isEmpty());
    QCOMPARE(DatabaseFiles::rows(f.db), rows);
    f.verifyUnchanged();
    QCOMPARE(f.w().statusPanel(1), QString("Ready"));
    QCOMPARE(QFileInfo::exists(work), !yes && leftover);
    if (yes) {
        QVERIFY(QFileInfo(f.path).size() < size);
        QCOMPARE(f.t.assistant.texts(),
                 QStringList{"The database has been compacted successfully."});
        QCOMPARE(f.t.assistant.spoken.first().animation, QString("Pleased"));
        QCOMPARE(f.t->state().SpeechText, QString("The database has been compacted successfully."));
    } else {
        QCOMPARE(QFileInfo(f.path).size(), size);
        QVERIFY(f.t.assistant.spoken.isEmpty());
    }
}

void UiDatabaseTest::compact_failing_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("leftover cannot be deleted") << "leftoverFolder";
    QTest::newRow("disk full") << "diskFull";
}

void UiDatabaseTest::compact_failing() {
    QFETCH(QString, fault);
    Fixture f;
    const QStringList rows = DatabaseFiles::rows(f.db);
    const QByteArray bytes = DatabaseFiles::bytesOf(f.path);
    QVERIFY(bytes.size() > 8 * 1024);
    f.t.dialogs.answers.enqueue(true);
    if (fault == "leftoverFolder") {
        QVERIFY(QDir(f.t.folder.path()).mkpath("Temp.mdb/kept"));
        f.run("mnuCompactDatabase");
    } else {
        DatabaseFiles::FileSizeLimit limit(8 * 1024);
        f.run("mnuCompactDatabase");
    }

    QVERIFY(f.reportedError("mnuCompactDatabase_Click"));
    QCOMPARE(f.w().statusPanel(1), QString("Ready"));
    QCOMPARE(DatabaseFiles::bytesOf(f.path), bytes);
    QCOMPARE(DatabaseFiles::rows(f.db), rows);
    QVERIFY(!QFileInfo(f.t.programFile("Temp.mdb")).isFile());
    f.verifyUnchanged();
}

void UiDatabaseTest::compact_readOnlyProgramFolder_usesDataFolder() {
    // Installed under a system prefix: the database and the work file live in the person's
    // data folder.
    QTemporaryDir dataHome;
    setMode(dataHome.path(), 0777);
    const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    Fixture f(dataHome.filePath("OrvexMonitor.mdb"));
    setMode(f.path, 0666);
    const QStringList rows = DatabaseFiles::rows(f.db);
    f.t.dialogs.answers.enqueue(true);
    setMode(f.t.folder.path(), 0555);
    {
        DatabaseFiles::AsUnprivilegedUser unprivileged;
        f.run("mnuCompactDatabase");
    }
    setMode(f.t.folder.path(), 0700);
    qputenv("XDG_DATA_HOME", previousHome);

    QVERIFY(f.t.end.codes.isEmpty());
    QCOMPARE(f.t.assistant.texts(), QStringList{"The database has been compacted successfully."});
    QCOMPARE(DatabaseFiles::rows(f.db), rows);
    QCOMPARE(QDir(f.t.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(QDir(dataHome.path()).entryList({"Temp.mdb"}, QDir::Files).isEmpty());
}

void UiDatabaseTest::reload_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("messageTab");
    QTest::newRow("yes resets") << true << false;
    QTest::newRow("yes behind the message window") << true << true;
    QTest::newRow("no keeps") << false << false;
}

void UiDatabaseTest::reload() {
    QFETCH(bool, yes);
    QFETCH(bool, messageTab);
    Fixture f;
    if (messageTab)
        f.w().TabStrip1_Click(2);
    f.db.execute({"Insert into Devices (Device) values ('added later')", {}});
    f.t.dialogs.answers.enqueue(yes);
    f.run("mnuReloadDatabase");

    QCOMPARE(f.t.dialogs.questions.size(), 1);
    QCOMPARE(f.t.dialogs.questions.first().text,
             "Reloading the database will also reset the counters." + CRLF +
                 "Continue with reload?");
    QCOMPARE(f.counters(), QStringList(6, yes ? "0" : "7"));
    QCOMPARE(f.deviceKeys().contains("added later"), yes);
    QCOMPARE(f.db.path(), f.path);
    QCOMPARE(f.w().windowTitle(), Caption);
    QVERIFY(!f.w().tvTreeView().isHidden());
    QCOMPARE(f.w().lvListView().isHidden(), messageTab);
    QCOMPARE(f.w().selectedTab(), messageTab ? 2 : 1);
    if (yes && !messageTab)
        QCOMPARE(f.w().lvListView().model().rowCount(), 4);
}

void UiDatabaseTest::newDatabase_isAnnounced_data() {
    QTest::addColumn<bool>("button");
    QTest::newRow("menu") << false;
    QTest::newRow("toolbar") << true;
}

void UiDatabaseTest::newDatabase_isAnnounced() {
    QFETCH(bool, button);
    Fixture f;
    if (button)
        QTest::mouseClick(f.w().toolButton("New"), Qt::LeftButton);
    else
        f.run("mnuFileNew");
    QCOMPARE(f.t.assistant.spoken.size(), 1);
    QCOMPARE(f.t.assistant.spoken.first().text,
             QString("Sorry, creating a new database has not been implemented yet."));
    QCOMPARE(f.t.assistant.spoken.first().animation, QString("Decline"));
    QVERIFY(!f.t.assistant.spoken.first().stayInPlace);
    QVERIFY(f.t.dialogs.fileRequests.isEmpty());
    f.verifyUnchanged();
}

void UiDatabaseTest::monitoring_disablesEveryCommand() {
    Fixture f;
    const QStringList items{"mnuFileNew", "mnuFileSaveAs", "mnuFileOpen", "mnuCompactDatabase",
                            "mnuReloadDatabase"};
    const auto available = [&] {
        QList<bool> states;
        for (const char* name : {"tbNew", "tbOpen", "mnuFileNew", "mnuFileSaveAs", "mnuFileOpen"})
            states << f.w().action(name)->isEnabled();
        states << f.w().menu("mnuDatabase")->menuAction()->isEnabled();
        states << f.w().toolButton("New")->isEnabled() << f.w().toolButton("Open")->isEnabled();
        return states;
    };
    QCOMPARE(available(), QList<bool>(8, true));

    // What switching monitoring on does to the window and the program state.
    f.w().applyMonitoringState(true);
    f.t->state().MonitoringOn = true;
    QCOMPARE(available(), QList<bool>(8, false));
    QTest::mouseClick(f.w().toolButton("Open"), Qt::LeftButton);
    QTest::mouseClick(f.w().toolButton("New"), Qt::LeftButton);
    // Nor does any other way in reach the file while the checks use it.
    f.t.dialogs.answers << true << true;
    for (const QString& item : items)
        f.w().action(item)->activate(QAction::Trigger);
    for (void (frmMain::*request)() :
         {&frmMain::newDatabaseRequested, &frmMain::openDatabaseRequested,
          &frmMain::saveDatabaseAsRequested, &frmMain::compactDatabaseRequested,
          &frmMain::reloadDatabaseRequested})
        emit(f.w().*request)();
    QVERIFY(f.t.dialogs.fileRequests.isEmpty());
    QVERIFY(f.t.dialogs.questions.isEmpty());
    QVERIFY(f.t.assistant.spoken.isEmpty());
    f.verifyUnchanged();

    f.w().applyMonitoringState(false);
    f.t->state().MonitoringOn = false;
    QCOMPARE(available(), QList<bool>(8, true));
    f.run("mnuReloadDatabase");
    QCOMPARE(f.t.dialogs.questions.size(), 1);
}

ORVEX_TEST_MAIN(UiDatabaseTest)
#include "tst_ui_database.moc"
