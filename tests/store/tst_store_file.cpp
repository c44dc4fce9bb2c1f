#include "core/RuntimeError.h"
#include "DatabaseFiles.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"
#include "TestMain.h"

#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {
int modeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return static_cast<int>(info.st_mode & 0777);
}

void setMode(const QString& path, int mode) {
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
} // namespace

class DatabaseFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void sameFile_data();
    void sameFile();
    void check_refusesWhatCannotBeWorkedOn_data();
    void check_refusesWhatCannotBeWorkedOn();
    void switchTo_failingKeepsPreviousFileOpen();
    void compact_keepsRowsAndShrinks_data();
    void compact_keepsRowsAndShrinks();
    void compact_failingWriteKeepsOriginalOpen_data();
    void compact_failingWriteKeepsOriginalOpen();
    void compact_databaseNamedLikeWorkFile();
    void compact_workFileOnOtherFileSystem();
    void compactAndCopy_throughLinks_replaceTheFileNotTheLink();
    void saveCopy_completeAndOldFileStaysOpen();
    void saveCopy_failingKeepsExistingDestination();
    void saveCopy_refusesOpenFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void DatabaseFileTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath("OrvexMonitor.mdb");
    DatabaseFiles::create(m_path, 200);
}

void DatabaseFileTest::sameFile_data() {
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("same");
    QTest::addColumn<bool>("maybeSame");
    QTest::newRow("same text") << "OrvexMonitor.mdb" << true << true;
    QTest::newRow("through dot folders") << "sub/../OrvexMonitor.mdb" << true << true;
    QTest::newRow("symbolic link") << "link.mdb" << true << true;
    QTest::newRow("hard link") << "hard.mdb" << true << true;
    QTest::newRow("other letter case") << "orvexmonitor.MDB" << false << true;
    QTest::newRow("other file") << "other.mdb" << false << false;
    QTest::newRow("missing file") << "missing.mdb" << false << false;
}

void DatabaseFileTest::sameFile() {
    QFETCH(QString, other);
    QFETCH(bool, same);
    QFETCH(bool, maybeSame);
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    QVERIFY(QFile::link(m_path, m_dir->filePath("link.mdb")));
    QCOMPARE(::link(QFile::encodeName(m_path).constData(),
                    QFile::encodeName(m_dir->filePath("hard.mdb")).constData()),
             0);
    writeFile(m_dir->filePath("other.mdb"), "x");
    const QString path = m_dir->path() + "/" + other;
    QCOMPARE(DatabaseFile::sameFile(m_path, path), same);
    QCOMPARE(DatabaseFile::sameFile(path, m_path), same);
    QCOMPARE(DatabaseFile::mayBeSameFile(path, m_path), maybeSame);
}

void DatabaseFileTest::check_refusesWhatCannotBeWorkedOn_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("refused");
    QTest::newRow("monitoring database") << "good" << false;
    QTest::newRow("text file") << "text" << true;
    QTest::newRow("empty file") << "empty" << true;
    QTest::newRow("database without TCP_Ports") << "twoTables" << true;
    QTest::newRow("read-only file") << "readOnly" << true;
    QTest::newRow("folder") << "folder" << true;
}

void DatabaseFileTest::check_refusesWhatCannotBeWorkedOn() {
    QFETCH(QString, kind);
    QFETCH(bool, refused);
    QVERIFY(QDir(m_dir->path()).mkdir("pick"));
    setMode(m_dir->path(), 0755);
    setMode(m_dir->filePath("pick"), 0777);
    const QString path = m_dir->filePath("pick/chosen.mdb");
    if (kind == "good" || kind == "readOnly")
        DatabaseFiles::create(path, 1);
    else if (kind == "text")
        writeFile(path, "Device,Port\nhost,80\n");
    else if (kind == "empty")
        writeFile(path, "");
    else if (kind == "twoTables") {
        DatabaseFiles::create(path, 1);
        Database db;
        db.open(path);
        db.execute({"Drop table TCP_Ports", {}});
    } else if (kind == "folder")
        QVERIFY(QDir(m_dir->path()).mkdir("pick/chosen.mdb"));
    if (kind != "folder")
        setMode(path, kind == "readOnly" ? 0444 : 0666);
    const QByteArray before = DatabaseFiles::bytesOf(path);
    bool threw = false;
    {
        DatabaseFiles::AsUnprivilegedUser unprivileged;
        try {
            DatabaseFile::check(path);
        } catch (const RuntimeError&) {
            threw = true;
        }
    }
    QCOMPARE(threw, refused);
    QCOMPARE(DatabaseFiles::bytesOf(path), before);
    // The probe holds nothing: the file can be opened again.
    if (kind == "good")
        QCOMPARE(DatabaseFiles::rowsOf(path).size(), 3);
}

void DatabaseFileTest::switchTo_failingKeepsPreviousFileOpen() {
    const QString junk = m_dir->filePath("junk.mdb");
    writeFile(junk, "not a database");
    Database db;
    db.open(m_path);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, DatabaseFile::switchTo(db, junk));
    QVERIFY(db.isOpen());
    QCOMPARE(db.path(), m_path);
    QCOMPARE(DatabaseFiles::rows(db).size(), 600);

    const QString other = m_dir->filePath("other.mdb");
    DatabaseFiles::create(other, 2);
    DatabaseFile::switchTo(db, other);
    QCOMPARE(db.path(), other);
    QCOMPARE(DatabaseFiles::rows(db).size(), 6);
    // The first file is let go: another connection may take it now.
    QCOMPARE(DatabaseFiles::rowsOf(m_path).size(), 600);
}

void DatabaseFileTest::compact_keepsRowsAndShrinks_data() {
    QTest::addColumn<QByteArray>("leftover");
    QTest::newRow("no leftover") << QByteArray();
    QTest::newRow("leftover work file") << QByteArray("half a file from last time");
}

void DatabaseFileTest::compact_keepsRowsAndShrinks() {
    QFETCH(QByteArray, leftover);
    const QString work = m_dir->filePath("Temp.mdb");
    if (!leftover.isEmpty())
        writeFile(work, leftover);
    Database db;
    db.open(m_path);
    db.execute({"Delete from Main_Data where Device > 'host0050'", {}});
    db.execute({"Delete from Devices where Device > 'host0050'", {}});
    const QStringList before = DatabaseFiles::rows(db);
    const qint64 sizeBefore = QFileInfo(m_path).size();
    setMode(m_path, 0600);

    DatabaseFile::compact(db, work);

    QVERIFY(db.isOpen());
    QCOMPARE(DatabaseFiles::rows(db), before);
    QVERIFY2(QFileInfo(m_path).size() < sizeBefore, "the compacted file is not smaller");
    QVERIFY(!QFileInfo::exists(work));
    QCOMPARE(modeOf(m_path), 0600);
    // The reopened file takes writes.
    db.execute({"Update Main_Data set Connect = 99 where Device = 'host0001'", {}});
    db.close();
    QVERIFY(DatabaseFiles::rowsOf(m_path).join(' ').contains("|99|"));
}

void DatabaseFileTest::compact_failingWriteKeepsOriginalOpen_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("work folder is a file") << "notAFolder";
    QTest::newRow("read-only work folder") << "readOnlyFolder";
    QTest::newRow("disk full") << "diskFull";
    QTest::newRow("leftover cannot be deleted") << "leftoverFolder";
}

void DatabaseFileTest::compact_failingWriteKeepsOriginalOpen() {
    QFETCH(QString, fault);
    QDir root(m_dir->path());
    QVERIFY(root.mkdir("program"));
    setMode(m_dir->path(), 0755);
    setMode(m_path, 0666);
    QString work = m_dir->filePath("program/Temp.mdb");
    if (fault == "notAFolder") {
        writeFile(m_dir->filePath("program/plain"), "x");
        work = m_dir->filePath("program/plain/Temp.mdb");
    } else if (fault == "readOnlyFolder") {
        setMode(m_dir->filePath("program"), 0555);
    } else if (fault == "leftoverFolder") {
        QVERIFY(root.mkpath("program/Temp.mdb/inside"));
    }
    Database db;
    db.open(m_path);
    const QStringList rows = DatabaseFiles::rows(db);
    const QByteArray bytes = DatabaseFiles::bytesOf(m_path);
    QVERIFY(bytes.size() > 32 * 1024);
    bool threw = false;
    {
        std::optional<DatabaseFiles::AsUnprivilegedUser> unprivileged;
        if (fault == "readOnlyFolder")
            unprivileged.emplace();
        std::optional<DatabaseFiles::FileSizeLimit> limit;
        if (fault == "diskFull")
            limit.emplace(16 * 1024);
        try {
            DatabaseFile::compact(db, work);
        } catch (const RuntimeError& error) {
            threw = true;
            QVERIFY(!error.description().isEmpty());
        }
    }
    setMode(m_dir->filePath("program"), 0755);
    QVERIFY(threw);
    QVERIFY(db.isOpen());
    QCOMPARE(db.path(), m_path);
    QCOMPARE(DatabaseFiles::rows(db), rows);
    QCOMPARE(DatabaseFiles::bytesOf(m_path), bytes);
    if (fault != "leftoverFolder")
        QVERIFY(!QFileInfo(work).isFile());
}

void DatabaseFileTest::compact_databaseNamedLikeWorkFile() {
    // The person opened a file called Temp.mdb in the program folder.
    const QString work = m_dir->filePath("Temp.mdb");
    QVERIFY(QFile::rename(m_path, work));
    Database db;
    db.open(work);
    const QStringList rows = DatabaseFiles::rows(db);
    DatabaseFile::compact(db, work);
    QVERIFY(db.isOpen());
    QCOMPARE(DatabaseFiles::rows(db), rows);
    QCOMPARE(entries(m_dir->path()), QStringList{"Temp.mdb"});
}

void DatabaseFileTest::compact_workFileOnOtherFileSystem() {
    QTemporaryDir elsewhere(QDir::tempPath() == "/dev/shm" ? "/tmp/orvex-XXXXXX"
                                                           : "/dev/shm/orvex-XXXXXX");
    struct stat here {};
    struct stat there {};
    if (!elsewhere.isValid() || ::stat(QFile::encodeName(m_dir->path()).constData(), &here) != 0 ||
        ::stat(QFile::encodeName(elsewhere.path()).constData(), &there) != 0 ||
        here.st_dev == there.st_dev)
        QSKIP("no second file system for the work file");
    const QString work = elsewhere.filePath("Temp.mdb");
    Database db;
    db.open(m_path);
    const QStringList rows = DatabaseFiles::rows(db);
    DatabaseFile::compact(db, work);
    QCOMPARE(DatabaseFiles::rows(db), rows);
    QVERIFY(!QFileInfo::exists(work));
    QCOMPARE(entries(m_dir->path()), QStringList{"OrvexMonitor.mdb"});
}

void DatabaseFileTest::compactAndCopy_throughLinks_replaceTheFileNotTheLink() {
    const QString link = m_dir->filePath("link.mdb");
    QVERIFY(QFile::link(m_path, link));
    const QString copy = m_dir->filePath("copy.mdb");
    const QString copyLink = m_dir->filePath("copy-link.mdb");
    writeFile(copy, "older copy");
    QVERIFY(QFile::link(copy, copyLink));
    Database db;
    db.open(link);
    db.execute({"Delete from Main_Data where Port = 'Ping'", {}});
    const QStringList rows = DatabaseFiles::rows(db);
    const qint64 size = QFileInfo(m_path).size();

    DatabaseFile::compact(db, m_dir->filePath("Temp.mdb"));
    DatabaseFile::saveCopy(db, copyLink);

    QCOMPARE(db.path(), link);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(copyLink).isSymLink());
    QVERIFY(QFileInfo(m_path).size() < size);
    QCOMPARE(DatabaseFiles::rows(db), rows);
    QCOMPARE(DatabaseFiles::rowsOf(copy), rows);
}

void DatabaseFileTest::saveCopy_completeAndOldFileStaysOpen() {
    Database db;
    db.open(m_path);
    const QString copy = m_dir->filePath("copy.mdb");
    writeFile(copy, "an older file of that name");
    DatabaseFile::saveCopy(db, copy);
    QCOMPARE(DatabaseFiles::rowsOf(copy), DatabaseFiles::rows(db));
    QCOMPARE(db.path(), m_path);
    db.execute({"Delete from Main_Data", {}});
    QCOMPARE(DatabaseFiles::rowsOf(copy).size(), 600);
    QCOMPARE(DatabaseFiles::rows(db).size(), 200);
    // No work file is left beside the copy (the open file keeps its journal while it is open).
    QCOMPARE(entries(m_dir->path()).filter("copy"), QStringList{"copy.mdb"});
}

void DatabaseFileTest::saveCopy_failingKeepsExistingDestination() {
    QDir root(m_dir->path());
    QVERIFY(root.mkdir("locked"));
    setMode(m_dir->path(), 0755);
    const QString copy = m_dir->filePath("locked/copy.mdb");
    writeFile(copy, "keep me");
    setMode(m_dir->filePath("locked"), 0555);
    Database db;
    db.open(m_path);
    {
        DatabaseFiles::AsUnprivilegedUser unprivileged;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, DatabaseFile::saveCopy(db, copy));
    }
    setMode(m_dir->filePath("locked"), 0755);
    QCOMPARE(DatabaseFiles::bytesOf(copy), QByteArray("keep me"));
    QCOMPARE(entries(m_dir->filePath("locked")), QStringList{"copy.mdb"});
    QCOMPARE(DatabaseFiles::rows(db).size(), 600);
}

void DatabaseFileTest::saveCopy_refusesOpenFile() {
    Database db;
    db.open(m_path);
    QVERIFY(QFile::link(m_path, m_dir->filePath("link.mdb")));
    const QByteArray bytes = DatabaseFiles::bytesOf(m_path);
    for (const char* name : {"OrvexMonitor.mdb", "ORVEXMONITOR.mdb", "link.mdb"})
        QVERIFY_THROWS_EXCEPTION(RuntimeError, DatabaseFile::saveCopy(db, m_dir->filePath(name)));
    QCOMPARE(DatabaseFiles::bytesOf(m_path), bytes);
    QVERIFY(QFileInfo(m_dir->filePath("link.mdb")).isSymLink());
}

ORVEX_TEST_GUILESS_MAIN(DatabaseFileTest)
#include "tst_store_file.moc"
