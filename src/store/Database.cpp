#include "store/Database.h"

#include "core/RuntimeError.h"
#include "store/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {
constexpr int CouldNotFindFile = 3024;
constexpr int CannotWriteFile = 3051;
constexpr int UnrecognizedFormat = 3343;

void bind(sqlite3_stmt* stmt, const QVariantList& params, const Database& db) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params.at(i);
        int rc = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt, i + 1, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, i + 1, value.toDouble());
            break;
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, i + 1, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        }
        if (rc != SQLITE_OK)
            db.raise(rc);
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }
}

// A statement from the open database's cache, reset and unbound again when the scope ends.
struct Prepared {
    Prepared(Database& db, const QString& sql)
        : stmt(db.prepared(sql)) {}
    ~Prepared() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    sqlite3_stmt* stmt = nullptr;
};

// "Select <list> from [Table] ..." becomes "Select _rowid_, <list> from ..." so that every
// row read can be written back. The catalogue's statements read one table each.
QString tableOf(const QString& sql) {
    static const QRegularExpression from(QStringLiteral(R"(\bfrom\s+\[?(\w+)\]?)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return from.match(sql).captured(1);
}

QString withRowId(const QString& sql) {
    static const QRegularExpression select(QStringLiteral(R"(^\s*select\s+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = select.match(sql);
    if (!match.hasMatch())
        return sql;
    return sql.left(match.capturedEnd()) + QStringLiteral("_rowid_, ") +
           sql.mid(match.capturedEnd());
}
} // namespace

Database::~Database() {
    close();
}

void Database::raise(int code) const {
    const QString message =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    throw RuntimeError(code, message);
}

void Database::exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raise(rc);
}

void Database::open(const QString& path) {
    close();
    const QFileInfo file(path);
    if (!file.isFile())
        throw RuntimeError(CouldNotFindFile, QStringLiteral("Could not find file '%1'.").arg(path));
    // The engine would take an empty file for a new database and write a header into it.
    if (file.size() == 0)
        throw RuntimeError(UnrecognizedFormat,
                           QStringLiteral("Unrecognized database format '%1'.").arg(path));
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    m_path = path;
    try {
        if (rc != SQLITE_OK)
            raise(rc);
        sqlite3_extended_result_codes(m_db, 1);
        // Exclusive use: the lock taken here is held until close.
        exec("PRAGMA locking_mode = EXCLUSIVE");
        if (sqlite3_exec(m_db, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            const int code = sqlite3_errcode(m_db);
            if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
                throw RuntimeError(
                    3045, QStringLiteral("Could not use '%1'; file already in use.").arg(path));
            raise(code);
        }
        Schema::verify(*this);
        Schema::addMissing(*this);
    } catch (...) {
        close();
        throw;
    }
}

sqlite3_stmt* Database::prepared(const QString& sql) {
    // Result recording runs the same few statements thousands of times in one pass; compiling
    // each once saves most of the time. The texts are the catalogue's, so the cache stays small.
    constexpr qsizetype MaxCached = 64;
    if (sqlite3_stmt* cached = m_statements.value(sql))
        return cached;
    if (m_statements.size() >= MaxCached)
        finalizeStatements();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        raise(rc);
    m_statements.insert(sql, stmt);
    return stmt;
}

void Database::finalizeStatements() {
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
}

void Database::close() {
    finalizeStatements();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

Recordset Database::openRecordset(const Statement& statement) {
    if (!m_db)
        throw RuntimeError(91, QStringLiteral("The database is not open."));
    Prepared prepared(*this, withRowId(statement.sql));
    bind(prepared.stmt, statement.params, *this);
    const int columns = sqlite3_column_count(prepared.stmt);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QString::fromUtf8(sqlite3_column_name(prepared.stmt, c));
    QVector<QVector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(prepared.stmt)) == SQLITE_ROW) {
        QVector<QVariant> row(columns);
        for (int c = 0; c < columns; ++c)
            row[c] = columnValue(prepared.stmt, c);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        raise(rc);
    return Recordset(*this, tableOf(statement.sql), names, std::move(rows));
}

int Database::execute(const Statement& statement) {
    if (!m_db)
        throw RuntimeError(91, QStringLiteral("The database is not open."));
    Prepared prepared(*this, statement.sql);
    bind(prepared.stmt, statement.params, *this);
    const int rc = sqlite3_step(prepared.stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        raise(rc);
    return sqlite3_changes(m_db);
}

void Database::compactInto(const QString& destination) {
    execute({QStringLiteral("VACUUM INTO ?"), {destination}});
}

void Database::backupTo(const QString& destination) {
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(destination).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", m_db, "main");
        if (backup) {
            sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
        }
        rc = sqlite3_errcode(target);
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(target));
    sqlite3_close_v2(target);
    if (rc != SQLITE_OK)
        throw RuntimeError(rc, message);
}

void Database::create(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        throw RuntimeError(3044, message);
    }
    char* error = nullptr;
    int rc = sqlite3_exec(db, Schema::createSql(), nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, Schema::historySql(), nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK)
        throw RuntimeError(rc, message);
}

bool Database::inTransaction() const {
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool Database::canWrite(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

RuntimeError Database::cannotWriteError(const QString& path) {
    return RuntimeError(CannotWriteFile,
                        QStringLiteral("The database file '%1' cannot be written (the file or its "
                                       "folder is read-only).")
                            .arg(path));
}

Database::Transaction::Transaction(Database& db)
    : m_db(db) {
    m_db.exec("BEGIN");
}

Database::Transaction::~Transaction() {
    if (!m_done)
        sqlite3_exec(m_db.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::Transaction::commit() {
    m_db.exec("COMMIT");
    m_done = true;
}
