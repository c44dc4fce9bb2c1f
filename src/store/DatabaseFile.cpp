#include "store/DatabaseFile.h"

#include "core/RuntimeError.h"
#include "store/Database.h"

#include <filesystem>
#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <sqlite3.h>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#endif

namespace {
constexpr int PathFileAccessError = 75;
// The journal and logs the engine keeps beside a database file.
const char* const Companions[] = {"-journal", "-wal", "-shm"};

RuntimeError fileError(const QString& path, const QString& reason) {
    return RuntimeError(PathFileAccessError,
                        QStringLiteral("Path/File access error: '%1' (%2)").arg(path, reason));
}

RuntimeError systemError(const QString& path, int error) {
    return fileError(path, QString::fromStdString(std::generic_category().message(error)));
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The copy reaches the disk before it takes the database's name, so a crash right after the
// rename cannot leave a name on an empty file.
void flushToDisk(const QString& path) {
#ifdef Q_OS_UNIX
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(path, file.errorString());
    if (::fsync(file.handle()) != 0)
        throw systemError(path, errno);
#else
    Q_UNUSED(path);
#endif
}

// The rename itself is on disk only once the folder that records it is.
void flushFolderToDisk(const QString& path) {
#ifdef Q_OS_UNIX
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = folder < 0 ? errno : 0;
    if (folder >= 0) {
        if (::fsync(folder) != 0)
            error = errno;
        ::close(folder);
    }
    // Some file systems cannot flush a folder and say so with EINVAL; they need not.
    if (error != 0 && error != EINVAL)
        throw systemError(path, error);
#else
    Q_UNUSED(path);
#endif
}

// False when one of them stays.
bool removeCompanions(const QString& path) {
    bool removed = true;
    for (const char* suffix : Companions) {
        const QString companion = path + QLatin1String(suffix);
        if (QFileInfo(companion).exists() && !QFile::remove(companion))
            removed = false;
    }
    return removed;
}

void removeWithCompanions(const QString& path) {
    removeCompanions(path);
    QFile::remove(path);
}

// A work file stays open and locked while in use, so that a clean-up elsewhere leaves it alone.
// Where an open file cannot be renamed it is closed instead.
void holdWhileInUse(QFile& file) {
#ifdef Q_OS_UNIX
    ::flock(file.handle(), LOCK_EX | LOCK_NB);
#else
    file.close();
#endif
}

// A work file beside target, removed again with its journal unless it has been given target's
// name.
class WorkFileBeside final {
public:
    explicit WorkFileBeside(const QString& target)
        : m_file(QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                 QFileInfo(target).fileName() + QStringLiteral(".XXXXXX")) {
        if (!m_file.open())
            throw fileError(target, m_file.errorString());
        holdWhileInUse(m_file);
    }
    Q_DISABLE_COPY_MOVE(WorkFileBeside)
    ~WorkFileBeside() {
        if (m_file.autoRemove())
            removeCompanions(name());
    }

    QString name() const { return m_file.fileName(); }
    void renamedAway() { m_file.setAutoRemove(false); }

private:
    QTemporaryFile m_file;
};

void renameOver(const QString& source, const QString& target, std::error_code& error) {
    // Replaces target in one step: at every moment target names a whole file.
    std::filesystem::rename(nativePath(source), nativePath(target), error);
}

// Copies source over destination, naming the reason of a failure such as a full disk: QFile and
// the library's copy report that as an unknown or an input/output error.
void copyBytes(const QString& source, const QString& destination) {
#ifdef Q_OS_LINUX
    QFile in(source);
    QFile out(destination);
    if (!in.open(QIODevice::ReadOnly))
        throw fileError(source, in.errorString());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw fileError(destination, out.errorString());
    ssize_t copied;
    do
        copied = ::sendfile(out.handle(), in.handle(), nullptr, 1 << 30);
    while (copied > 0 || (copied < 0 && errno == EINTR));
    if (copied < 0)
        throw systemError(destination, errno);
#else
    std::error_code error;
    std::filesystem::copy_file(nativePath(source), nativePath(destination),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        throw fileError(destination, QString::fromStdString(error.message()));
#endif
}

// Gives source target's name, on disk before this returns. Target's journal and logs go first:
// the engine would play them into the new file at its next open and damage it. A target on
// another file system gets a copy beside it first, so the last step is a rename there too.
void replaceFile(const QString& source, const QString& target) {
    flushToDisk(source);
    if (!removeCompanions(target))
        throw fileError(target, QStringLiteral("cannot delete its journal"));
    std::error_code error;
    renameOver(source, target, error);
    if (error == std::errc::cross_device_link) {
        WorkFileBeside beside(target);
        copyBytes(source, beside.name());
        QFile::setPermissions(beside.name(), QFile::permissions(source));
        flushToDisk(beside.name());
        renameOver(beside.name(), target, error);
        if (!error) {
            beside.renamedAway();
            QFile::remove(source);
        }
    }
    if (error)
        throw fileError(target, QString::fromStdString(error.message()));
    flushFolderToDisk(target);
}

void removeLeftover(const QString& path) {
    const QFileInfo leftover(path);
    if (!removeCompanions(path) ||
        ((leftover.exists() || leftover.isSymLink()) && !QFile::remove(path)))
        throw fileError(path, QStringLiteral("cannot delete the file"));
}

QByteArray firstBytes(const QString& path, qint64 count) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(count) : QByteArray();
}

// A work file of this program's that a run stopped half way left behind: named the way
// WorkFileBeside names them, made by this user, held by no run still at work on it, and either
// empty, a whole database, or a database the engine was writing (its first page is written
// last, so it starts with zeros, and its journal lies beside it). Anything else of a like name
// is someone else's.
bool isLeftoverWorkFile(const QFileInfo& file) {
    static const QRegularExpression workName(QStringLiteral(R"(^\..+\.[A-Za-z0-9]{6}$)"));
    static const QByteArray databaseHeader("SQLite format 3", 16);
    static const QByteArray journalHeader("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    if (!file.isFile() || file.isSymLink() || !workName.match(file.fileName()).hasMatch())
        return false;
    QFile content(file.filePath());
    if (!content.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = content.read(databaseHeader.size());
    const bool beingWritten =
        header == QByteArray(databaseHeader.size(), '\0') &&
        firstBytes(file.filePath() + QStringLiteral("-journal"), 8) == journalHeader;
    if (!header.isEmpty() && header != databaseHeader && !beingWritten)
        return false;
#ifdef Q_OS_UNIX
    return file.ownerId() == ::geteuid() && ::flock(content.handle(), LOCK_EX | LOCK_NB) == 0;
#else
    return true;
#endif
}

// The file a path leads to: a replacement lands on it, and a link to it stays a link.
QString resolved(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

void reopenQuietly(Database& db, const QString& path) {
    try {
        db.open(path);
    } catch (const RuntimeError&) {
        // The caller reports the error that brought it here.
    }
}
} // namespace

bool DatabaseFile::sameFile(const QString& a, const QString& b) {
    if (cleanAbsolute(a) == cleanAbsolute(b))
        return true;
    std::error_code error;
    return std::filesystem::equivalent(nativePath(a), nativePath(b), error);
}

bool DatabaseFile::mayBeSameFile(const QString& a, const QString& b) {
    return sameFile(a, b) || cleanAbsolute(a).compare(cleanAbsolute(b), Qt::CaseInsensitive) == 0;
}

void DatabaseFile::check(const QString& path) {
    Database probe;
    probe.open(path);
    const bool readOnly = sqlite3_db_readonly(probe.handle(), "main") == 1;
    // Every page is read once: damage that the schema alone does not show fails loading later.
    const QString damage =
        probe.openRecordset({QStringLiteral("Select quick_check from pragma_quick_check"), {}})
            .text(QStringLiteral("quick_check"));
    probe.close();
    if (damage != QLatin1String("ok"))
        throw RuntimeError(
            SQLITE_CORRUPT,
            QStringLiteral("The database file '%1' is damaged (%2).").arg(path, damage));
    // Writing needs the folder too: the engine keeps its journal beside the file.
    if (readOnly || !QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        throw fileError(path, QStringLiteral("the file cannot be written"));
}

void DatabaseFile::removeLeftovers(const QString& folder) {
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        // Journals first: a work file whose journal stayed is found again next time.
        if (isLeftoverWorkFile(file) && removeCompanions(file.filePath()))
            QFile::remove(file.filePath());
    }
}

void DatabaseFile::switchTo(Database& db, const QString& path) {
    const QString previous = db.path();
    db.close();
    try {
        db.open(path);
    } catch (const RuntimeError&) {
        if (!previous.isEmpty())
            reopenQuietly(db, previous);
        throw;
    }
}

void DatabaseFile::compact(Database& db, const QString& workFile) {
    const QString path = db.path();
    const QString target = resolved(path);
    // A database that itself carries the work file's name is compacted beside itself: the
    // leftover rule would otherwise delete the open file.
    std::optional<WorkFileBeside> beside;
    QString work = workFile;
    if (mayBeSameFile(workFile, path)) {
        beside.emplace(target);
        work = beside->name();
    } else {
        removeLeftover(workFile);
    }
    try {
        db.compactInto(work);
        QFile::setPermissions(work, QFile::permissions(path));
    } catch (const RuntimeError&) {
        removeWithCompanions(work);
        throw;
    }
    db.close();
    try {
        replaceFile(work, target);
    } catch (const RuntimeError&) {
        removeWithCompanions(work);
        reopenQuietly(db, path);
        throw;
    }
    if (beside)
        beside->renamedAway();
    db.open(path);
}

void DatabaseFile::saveCopy(Database& db, const QString& destination) {
    // Renaming a copy over the open file would leave the program writing to a deleted one.
    if (mayBeSameFile(destination, db.path()))
        throw fileError(destination, QStringLiteral("the file is in use"));
    const QString target = resolved(destination);
    removeLeftovers(QFileInfo(target).absolutePath());
    WorkFileBeside work(target);
    db.backupTo(work.name());
    QFile::setPermissions(work.name(),
                          QFile::permissions(QFileInfo::exists(target) ? target : db.path()));
    replaceFile(work.name(), target);
    work.renamedAway();
}
