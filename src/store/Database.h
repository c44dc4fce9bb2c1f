#pragma once

#include "core/RuntimeError.h"
#include "store/Recordset.h"
#include "store/Statement.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// The monitoring database file, held open for exclusive use while the program runs: a
// second open of the same file, from this process or another, is refused with a clear error.
// Every failure raises RuntimeError carrying SQLite's result code and message.
class Database final {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const QString& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // An updatable set of the rows the statement selects.
    Recordset openRecordset(const Statement& statement);
    // Runs a statement that returns no rows; returns the number of rows changed.
    int execute(const Statement& statement);

    // A complete compacted copy of the open file at a path that must not exist yet.
    void compactInto(const QString& destination);
    // A page-by-page copy of the open file, replacing whatever is at destination.
    void backupTo(const QString& destination);

    // True between the begin and the end of a transaction.
    bool inTransaction() const;

    // All writes between begin and commit land together or not at all.
    class Transaction final {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        Database& m_db;
        bool m_done = false;
    };

    sqlite3* handle() const { return m_db; }
    [[noreturn]] void raise(int code) const;

    // Creates a new database file holding the schema and nothing else.
    static void create(const QString& path);

    // Whether this process can write the file at path: the file itself and the folder that
    // holds its journal while a write is under way. A read-only file opens without complaint
    // and fails only at its first write, so callers ask before they open it.
    static bool canWrite(const QString& path);
    // The error that refuses such a file, naming it.
    static RuntimeError cannotWriteError(const QString& path);

    // The compiled statement for the text, kept until the database closes.
    sqlite3_stmt* prepared(const QString& sql);

private:
    void exec(const char* sql);
    void finalizeStatements();

    sqlite3* m_db = nullptr;
    QString m_path;
    QHash<QString, sqlite3_stmt*> m_statements;
};
