#include "store/DatabaseFile.h"

#include "core/RuntimeError.h"
#include "store/Database.h"

#include <filesystem>
#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sqlite3.h>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr int PathFileAccessError = 75;
constexpr int UnrecognizedFormat = 3343;

RuntimeError fileError(const QString& path, const QString& reason) {
    return RuntimeError(PathFileAccessError,
                        QStringLiteral("Path/File access error: '%1' (%2)").arg(path, reason));
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
    if (!file.open(QIODevice::ReadOnly) || ::fsync(file.handle()) != 0)
        throw fileError(path, QStringLiteral("cannot flush to disk"));
#else
    Q_UNUSED(path);
#endif
}

// A work file beside target, removed again unless it has been given target's name.
class WorkFileBeside final {
public:
    explicit WorkFileBeside(const QString& target)
        : m_file(QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                 QFileInfo(target).fileName() + QStringLiteral(".XXXXXX")) {
        if (!m_file.open())
            throw fileError(target, m_file.errorString());
        m_file.close();
    }
    Q_DISABLE_COPY_MOVE(WorkFileBeside)

    QString name() const { return m_file.fileName(); }
    void renamedAway() { m_file.setAutoRemove(false); }

private:
    QTemporaryFile m_file;
};

void renameOver(const QString& source, const QString& target, std::error_code& error) {
    // Replaces target in one step: at every moment target names a whole file.
    std::filesystem::rename(nativePath(source), nativePath(target), error);
}

void copyBytes(const QString& source, const QString& destination) {
    QFile in(source);
    QFile out(destination);
    if (!in.open(QIODevice::ReadOnly))
        throw fileError(source, in.errorString());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw fileError(destination, out.errorString());
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            throw fileError(source, in.errorString());
        if (out.write(block) != block.size())
            throw fileError(destination, out.errorString());
    }
    if (!out.flush())
        throw fileError(destination, out.errorString());
}

// Gives source target's name. A target on another file system gets a copy beside it first, so
// the last step is a rename there too.
void replaceFile(const QString& source, const QString& target) {
    std::error_code error;
    renameOver(source, target, error);
    if (!error)
        return;
    if (error != std::errc::cross_device_link)
        throw fileError(target, QString::fromStdString(error.message()));
    WorkFileBeside beside(target);
    copyBytes(source, beside.name());
    QFile::setPermissions(beside.name(), QFile::permissions(source));
    flushToDisk(beside.name());
    renameOver(beside.name(), target, error);
    if (error)
        throw fileError(target, QString::fromStdString(error.message()));
    beside.renamedAway();
    QFile::remove(source);
}

void removeLeftover(const QString& path) {
    const QFileInfo leftover(path);
    if (!leftover.exists() && !leftover.isSymLink())
        return;
    if (!QFile::remove(path))
        throw fileError(path, QStringLiteral("cannot delete the file"));
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
    // The engine would take an empty file for a new database and write a header into it.
    const QFileInfo file(path);
    if (file.isFile() && file.size() == 0)
        throw RuntimeError(UnrecognizedFormat,
                           QStringLiteral("Unrecognized database format '%1'.").arg(path));
    Database probe;
    probe.open(path);
    const bool readOnly = sqlite3_db_readonly(probe.handle(), "main") == 1;
    probe.close();
    // Writing needs the folder too: the engine keeps its journal beside the file.
    if (readOnly || !QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        throw fileError(path, QStringLiteral("the file cannot be written"));
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
        flushToDisk(work);
    } catch (const RuntimeError&) {
        QFile::remove(work);
        throw;
    }
    db.close();
    try {
        replaceFile(work, target);
    } catch (const RuntimeError&) {
        QFile::remove(work);
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
    WorkFileBeside work(target);
    db.backupTo(work.name());
    QFile::setPermissions(work.name(),
                          QFile::permissions(QFileInfo::exists(target) ? target : db.path()));
    std::error_code error;
    renameOver(work.name(), target, error);
    if (error)
        throw fileError(destination, QString::fromStdString(error.message()));
    work.renamedAway();
}
