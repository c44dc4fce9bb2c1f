#include "core/RuntimeError.h"
#include "ReadOnlyFolder.h"
#include "SeededDatabase.h"
#include "SmallDisk.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"
#include "store/DeviceQueries.h"
#include "TestMain.h"

#include <optional>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/file.h>

namespace {
// Adds a device and its items the way the wizards do: only the fields they set.
void addDevice(Database& db, const QString& device, const QString& alias,
               const QStringList& ports) {
    Recordset rs = db.openRecordset(Catalogue::deviceForUpdate(device));
    rs.addNew();
    rs.setField("Device", device);
    if (!alias.isEmpty())
        rs.setField("Device_Alias", alias);
    rs.update();
    for (const QString& port : ports) {
        Recordset items = db.openRecordset(Catalogue::itemsLike(device, port));
        items.addNew();
        items.setField("Device", device);
        items.setField("Port", port);
        items.setField("Port_Type", "Port");
        items.setField("Port_Description", "desc " + port);
        items.update();
    }
}

QStringList column(Database& db, const Statement& statement, const QString& field) {
    QStringList values;
    for (Recordset rs = db.openRecordset(statement); !rs.atEnd(); rs.moveNext())
        values << rs.text(field);
    return values;
}

// Leaves path as a writer killed half way leaves it: with a hot journal ("delete"), or as a
// copy of source stopped three quarters through ("copy").
void killWriter(const QString& path, const QString& mode, const QString& source) {
    QProcess::execute("/usr/bin/python3", {"-c", R"(import os, sqlite3, sys
c, mode, kill = sqlite3.connect(sys.argv[1], isolation_level=None), sys.argv[2], os._exit
if mode == 'copy':
    sqlite3.connect(sys.argv[3]).backup(c, pages=1, progress=lambda s, r, t: r < t / 4 and kill(9))
c.executescript('PRAGMA journal_mode=' + mode + '; PRAGMA cache_size=2; BEGIN')
c.executemany('insert into Devices (Device) values (?)', [(str(i) * 2000,) for i in range(300)])
kill(9))",
                                           path, mode, source});
}

// A second process that opens the file for exclusive use and holds it until told to stop.
class LockHolder {
public:
    explicit LockHolder(const QString& path) {
        m_process.start("/usr/bin/python3", {"-c",
                                             "import sqlite3,sys\n"
                                             "c=sqlite3.connect(sys.argv[1])\n"
                                             "c.execute('PRAGMA locking_mode=EXCLUSIVE')\n"
                                             "c.execute('BEGIN EXCLUSIVE')\nc.commit()\n"
                                             "print('held',flush=True)\nsys.stdin.readline()\n",
                                             path});
    }
    bool waitHeld() {
        return m_process.waitForReadyRead(10000) && m_process.readLine().trimmed() == "held";
    }
    ~LockHolder() {
        m_process.write("\n");
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};
} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newItem_readsAsReset();
    void names_matchWithoutCaseAndKeepQuotes_data();
    void names_matchWithoutCaseAndKeepQuotes();
    void likeStar_selectsEveryItemOfOneDevice();
    void likePattern_isLiteralForWildcards();
    void reset_clearsResultsOnly();
    void deleteAndEdit_throughRecordset();
    void catalogue_orderAndShape();
    void getAlias_data();
    void getAlias();
    void secondOpen_inThisProcessRefused();
    void secondOpen_fromOtherProcessRefused();
    void open_refusesFileThatIsNotADatabase();
    void open_tableNamesMatchWithoutCase_data();
    void open_tableNamesMatchWithoutCase();
    void canWrite_data();
    void canWrite();
    void transaction_rollsBackWhenNotCommitted();
    void compactAndBackup_makeCompleteCopies();
    void replacing_leavesOnlyWholeFiles_data();
    void replacing_leavesOnlyWholeFiles();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SeededDatabase> m_data;
    Database* m_db = nullptr;
    QString m_path;
};

void DatabaseTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath("test.mdb");
    m_data = std::make_unique<SeededDatabase>(m_path);
    m_db = &m_data->db;
}

void DatabaseTest::cleanup() {
    m_data.reset();
    m_dir.reset();
}

void DatabaseTest::newItem_readsAsReset() {
    addDevice(*m_db, "web1", "", {"Ping"});
    Recordset rs = m_db->openRecordset(Catalogue::pingItem("web1"));
    QVERIFY(!rs.atEnd());
    QCOMPARE(rs.text("Status"), QString("Not Checked"));
    for (const char* field : {"Last_Error", "Mail_Status", "Failed_On", "Recovered_On"})
        QCOMPARE(rs.text(field), QString("N/A"));
    for (const char* field :
         {"Connect", "Error", "Count", "Ping_Current", "Ping_Min", "Ping_Max", "Ping_Average"})
        QCOMPARE(rs.number(field), 0.0);
    QCOMPARE(rs.text("Port_Description"), QString("desc Ping"));
}

void DatabaseTest::names_matchWithoutCaseAndKeepQuotes_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");
    QTest::newRow("same") << "server"
                          << "server" << true;
    QTest::newRow("other case") << "Server"
                                << "SERVER" << true;
    QTest::newRow("quote") << "bob's pc"
                           << "BOB'S PC" << true;
    QTest::newRow("percent is literal") << "50%"
                                        << "5%" << false;
    QTest::newRow("underscore is literal") << "a_b"
                                           << "axb" << false;
    QTest::newRow("ipv6 literal") << "fe80::1"
                                  << "FE80::1" << true;
}

void DatabaseTest::names_matchWithoutCaseAndKeepQuotes() {
    QFETCH(QString, stored);
    QFETCH(QString, asked);
    QFETCH(bool, found);
    addDevice(*m_db, stored, "", {"Ping", "80"});
    QCOMPARE(!m_db->openRecordset(Catalogue::device(asked)).atEnd(), found);
    QCOMPARE(!m_db->openRecordset(Catalogue::pingItem(asked)).atEnd(), found);
    QCOMPARE(!m_db->openRecordset(Catalogue::item(asked, "80")).atEnd(), found);
    if (found)
        QCOMPARE(m_db->openRecordset(Catalogue::device(asked)).text("Device"), stored);
}

void DatabaseTest::likeStar_selectsEveryItemOfOneDevice() {
    addDevice(*m_db, "a", "", {"Ping", "25", "80"});
    addDevice(*m_db, "ab", "", {"Ping", "22"});
    QCOMPARE(m_db->openRecordset(Catalogue::itemsLike("a", "*")).count(), 3);
    QCOMPARE(m_db->openRecordset(Catalogue::itemsLike("A", "80")).count(), 1);
}

void DatabaseTest::likePattern_isLiteralForWildcards() {
    QCOMPARE(Catalogue::likePattern("*"), QString("%"));
    QCOMPARE(Catalogue::likePattern("8_%"), QString("8\\_\\%"));
    addDevice(*m_db, "d", "", {"80", "8_"});
    QCOMPARE(m_db->openRecordset(Catalogue::itemsLike("d", "8_")).count(), 1);
}

void DatabaseTest::reset_clearsResultsOnly() {
    addDevice(*m_db, "host", "Alias", {"Ping", "443"});
    m_db->execute({"Update Main_Data set Status = 'Failed', Connect = 4, Error = 2, Count = -3, "
                   "Last_Error = 'x', Mail_Status = 'Sent now', Failed_On = 'then', "
                   "Recovered_On = 'now', Ping_Current = 3, Ping_Min = 1, Ping_Max = 9, "
                   "Ping_Average = 4.5",
                   {}});
    m_db->execute(Catalogue::reset());
    for (Recordset rs = m_db->openRecordset(Catalogue::itemsOfDevice("host")); !rs.atEnd();
         rs.moveNext()) {
        QCOMPARE(rs.text("Status"), QString("Not Checked"));
        QCOMPARE(rs.text("Mail_Status"), QString("N/A"));
        QCOMPARE(rs.number("Count"), 0.0);
        QCOMPARE(rs.number("Ping_Average"), 0.0);
        QCOMPARE(rs.text("Port_Description"), "desc " + rs.text("Port"));
        QCOMPARE(rs.text("Port_Type"), QString("Port"));
    }
    QCOMPARE(column(*m_db, Catalogue::allDevices(), "Device_Alias"), QStringList{"Alias"});
    QCOMPARE(column(*m_db, Catalogue::itemsOfDevice("host"), "Port"), (QStringList{"443", "Ping"}));
}

void DatabaseTest::deleteAndEdit_throughRecordset() {
    addDevice(*m_db, "gone", "", {"Ping", "21", "22"});
    addDevice(*m_db, "kept", "", {"Ping"});
    for (Recordset rs = m_db->openRecordset(Catalogue::itemsLike("gone", "*")); !rs.atEnd();
         rs.moveNext())
        rs.deleteRow();
    QCOMPARE(m_db->openRecordset(Catalogue::itemsLike("gone", "*")).count(), 0);
    QCOMPARE(m_db->openRecordset(Catalogue::itemsLike("kept", "*")).count(), 1);

    Recordset rs = m_db->openRecordset(Catalogue::device("kept"));
    rs.edit();
    rs.setField("device_description", "it's 100% here");
    rs.update();
    QCOMPARE(rs.text("Device_Description"), QString("it's 100% here"));
    QCOMPARE(m_db->openRecordset(Catalogue::device("KEPT")).text("Device_Description"),
             QString("it's 100% here"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, rs.field("NoSuchField"));
}

void DatabaseTest::catalogue_orderAndShape() {
    addDevice(*m_db, "zeta", "", {"Ping", "80"});
    addDevice(*m_db, "alpha", "", {"ping", "25"});
    QCOMPARE(column(*m_db, Catalogue::deviceNames(), "Device"), (QStringList{"alpha", "zeta"}));
    QStringList ports = column(*m_db, Catalogue::itemPortsOfDevice("alpha"), "Port");
    ports.sort();
    QCOMPARE(ports, (QStringList{"25", "ping"}));
    m_db->execute({"Update Main_Data set Status = 'Connected' where Port = '80'", {}});
    QCOMPARE(column(*m_db, Catalogue::itemsNotConnected(), "Port"),
             (QStringList{"25", "ping", "Ping"}));
    QCOMPARE(column(*m_db, Catalogue::itemStates("zeta"), "Status"),
             (QStringList{"Connected", "Not Checked"}));
    QCOMPARE(m_db->openRecordset(Catalogue::portsOfDevice("zeta")).count(), 2);
}

void DatabaseTest::getAlias_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no alias spells the name") << "web1"
                                              << ""
                                              << "WEB1";
    QTest::newRow("alias pronounced") << "10.0.0.1"
                                      << "Front Door"
                                      << "front door";
    QTest::newRow("alias equal to name") << "Mail"
                                         << "Mail"
                                         << "MAIL";
}

void DatabaseTest::getAlias() {
    QFETCH(QString, device);
    QFETCH(QString, alias);
    QFETCH(QString, expected);
    addDevice(*m_db, device, alias, {});
    QCOMPARE(GetAlias(*m_db, device), expected);
    QCOMPARE(GetAlias(*m_db, "unknown"), QString("UNKNOWN"));
}

void DatabaseTest::secondOpen_inThisProcessRefused() {
    Database second;
    try {
        second.open(m_path);
        QFAIL("a second open succeeded");
    } catch (const RuntimeError& error) {
        QVERIFY2(error.description().contains("already in use"), qPrintable(error.description()));
    }
    QVERIFY(!second.isOpen());
    // The first connection still works.
    addDevice(*m_db, "still", "", {});
}

void DatabaseTest::secondOpen_fromOtherProcessRefused() {
    m_db->close();
    {
        LockHolder other(m_path);
        QVERIFY(other.waitHeld());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m_db->open(m_path));
    }
    m_db->open(m_path);
    LockHolder late(m_path);
    // The other process cannot take the file while we hold it: it never reports "held".
    QVERIFY(!late.waitHeld());
}

void DatabaseTest::open_refusesFileThatIsNotADatabase() {
    const QString junk = m_dir->filePath("junk.mdb");
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is a text file, not a database\n");
    file.close();
    Database db;
    QVERIFY_THROWS_EXCEPTION(RuntimeError, db.open(junk));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, db.open(m_dir->filePath("missing.mdb")));
}

void DatabaseTest::open_tableNamesMatchWithoutCase_data() {
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<bool>("opens");
    QTest::newRow("as created") << QStringList{"Devices", "Main_Data", "TCP_Ports"} << true;
    QTest::newRow("lower case") << QStringList{"devices", "main_data", "tcp_ports"} << true;
    QTest::newRow("one missing") << QStringList{"devices", "main_data"} << false;
}

// A file made by another tool may spell the three table names differently.
void DatabaseTest::open_tableNamesMatchWithoutCase() {
    QFETCH(QStringList, tables);
    QFETCH(bool, opens);
    const QString path = m_dir->filePath("spelled.mdb");
    {
        QProcess python;
        QString script = "import sqlite3,sys\nc=sqlite3.connect(sys.argv[1])\n";
        for (const QString& table : tables)
            script += "c.execute('create table " + table + " (Device text)')\n";
        script += "c.commit()\n";
        python.start("/usr/bin/python3", {"-c", script, path});
        QVERIFY(python.waitForFinished(10000));
        QCOMPARE(python.exitCode(), 0);
    }
    Database db;
    try {
        db.open(path);
        QVERIFY(opens);
    } catch (const RuntimeError& error) {
        QVERIFY2(!opens, qPrintable(error.description()));
        QVERIFY(error.description().startsWith("Unrecognized database format"));
    }
}

void DatabaseTest::canWrite_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<bool>("writable");
    QTest::newRow("file in a writable folder") << "test.mdb" << false << true;
    QTest::newRow("file in a read-only folder") << "test.mdb" << true << false;
    QTest::newRow("no such file") << "missing.mdb" << false << false;
    QTest::newRow("a folder") << "." << false << false;
}

void DatabaseTest::canWrite() {
    QFETCH(QString, name);
    QFETCH(bool, readOnlyFolder);
    QFETCH(bool, writable);
    m_db->close();
    std::unique_ptr<ReadOnlyFolder> readOnly;
    if (readOnlyFolder) {
        readOnly = std::make_unique<ReadOnlyFolder>(m_dir->path());
        if (!readOnly->ready())
            QSKIP("this process can make no folder read-only");
    }
    QCOMPARE(Database::canWrite(m_dir->filePath(name)), writable);
}

void DatabaseTest::transaction_rollsBackWhenNotCommitted() {
    {
        Database::Transaction transaction(*m_db);
        addDevice(*m_db, "temp", "", {"Ping"});
    }
    QCOMPARE(m_db->openRecordset(Catalogue::allDevices()).count(), 0);
    {
        Database::Transaction transaction(*m_db);
        addDevice(*m_db, "kept", "", {"Ping"});
        transaction.commit();
    }
    QCOMPARE(m_db->openRecordset(Catalogue::allDevices()).count(), 1);
}

void DatabaseTest::compactAndBackup_makeCompleteCopies() {
    addDevice(*m_db, "copy me", "", {"Ping", "80"});
    const QString compacted = m_dir->filePath("Temp.mdb");
    const QString saved = m_dir->filePath("saved.mdb");
    m_db->compactInto(compacted);
    m_db->backupTo(saved);
    for (const QString& path : {compacted, saved}) {
        Database copy;
        copy.open(path);
        QCOMPARE(copy.openRecordset(Catalogue::itemsLike("copy me", "*")).count(), 2);
    }
}

void DatabaseTest::replacing_leavesOnlyWholeFiles_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("left"); // in the target's folder
    QTest::addColumn<QString>("error");
    const QStringList target{"Branch.mdb"}, copy{"test.mdb"};
    QTest::newRow("save as over a hot journal") << "delete" << target << "";
    QTest::newRow("save as past killed copies, keeping look-alikes")
        << "copy"
        << (target + QStringList{".Branch.mdb.Ab12C", ".Branch.mdb.Lk12Cd", ".image.raw.Ab12Cd",
                                 "Branch.mdb.Ab12Cd"})
        << "";
    QTest::newRow("empty file opened") << "empty" << target << "Unrecognized";
    QTest::newRow("save as, disk full") << "full" << copy << "disk is full";
    QTest::newRow("compact, disk full") << "full compact" << copy << "disk is full";
    QTest::newRow("compact to another disk, full") << "full across" << copy << "No space left";
}

void DatabaseTest::replacing_leavesOnlyWholeFiles() {
    QFETCH(QString, setup);
    QFETCH(QStringList, left);
    QFETCH(QString, error);
    // Larger than the engine's page cache, so that a copy writes pages before it commits.
    addDevice(*m_db, "copy me", QString(3000000, 'a'), {});
    const QString folder = m_dir->filePath("to");
    const QString target = folder + "/Branch.mdb";
    std::optional<SmallDisk> disk;
    if (setup.startsWith("full")) {
        disk.emplace(folder, QFileInfo(m_path).size() + 256 * 1024);
        if (!disk->mounted)
            QSKIP("a small file system of its own needs root");
        QVERIFY(QFile::copy(m_path, folder + "/test.mdb"));
        if (setup != "full")
            m_db->open(folder + "/test.mdb");
    } else {
        QDir().mkpath(folder);
        Database::create(target);
    }
    if (setup == "copy") {
        for (const QString& name : left + QStringList{".Branch.mdb.Sq12Cd", ".Older.mdb.x1Y2z3"})
            QFile::copy(m_path, folder + "/" + name);
        QFile::resize(folder + "/.Older.mdb.x1Y2z3", 0);
        QFile::resize(folder + "/.image.raw.Ab12Cd", 0); // zeros, with no journal beside
        QFile::resize(folder + "/.image.raw.Ab12Cd", 4096);
    }
    if (setup == "empty")
        QFile::resize(target, 0);
    else if (!setup.startsWith("full"))
        killWriter(setup == "copy" ? folder + "/.Branch.mdb.Ab12Cd" : target, setup, target);
    // Another run at work on a file of that shape holds it.
    QFile held(folder + "/.Branch.mdb.Lk12Cd");
    QVERIFY(setup != "copy" ||
            (held.open(QIODevice::ReadOnly) && !::flock(held.handle(), LOCK_EX)));
    QString raised;
    try {
        if (setup == "empty")
            Database().open(target);
        else if (setup.startsWith("full "))
            DatabaseFile::compact(*m_db,
                                  (setup == "full compact" ? folder : m_dir->path()) + "/Temp.mdb");
        else
            DatabaseFile::saveCopy(*m_db, target);
    } catch (const RuntimeError& failure) {
        raised = failure.description();
    }
    QVERIFY2(error.isEmpty() ? raised.isEmpty() : raised.contains(error), qPrintable(raised));
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    left.sort();
    QCOMPARE(names, left);
    // A refused empty file is still empty.
    QCOMPARE(QFileInfo(target).size() > 0, error.isEmpty());
    if (!error.isEmpty())
        return;
    Database copy;
    copy.open(target);
    QCOMPARE(column(copy, {"Select integrity_check as Row from pragma_integrity_check", {}}, "Row"),
             QStringList{"ok"});
    QCOMPARE(column(copy, Catalogue::deviceNames(), "Device"), QStringList{"copy me"});
}

ORVEX_TEST_GUILESS_MAIN(DatabaseTest)
#include "tst_store_database.moc"
