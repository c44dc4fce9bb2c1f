#pragma once

#include <QString>

class Database;

// The file-level operations on the monitoring database: checking a file before it replaces
// the open one, switching the open database to another file, compacting it in place and
// saving a copy. None of them ever leaves the program without a complete database: a failure
// keeps the file that was open, open. Every failure raises RuntimeError.
namespace DatabaseFile {

// True when both paths name one file: the same text, or two paths to the same file.
bool sameFile(const QString& a, const QString& b);
// sameFile, or paths that differ only in letter case: a copy must not land on the open file on
// a file system that does not tell case apart.
bool mayBeSameFile(const QString& a, const QString& b);

// Refuses a file the program could not work on: not a monitoring database, damaged, in use
// elsewhere, or not writable. Opens it for a moment and leaves it as it was; reads every page,
// so it takes a while on a large file.
void check(const QString& path);

// Removes from folder what copies stopped half way left there: the program's own work files
// and their journals, never anything else.
void removeLeftovers(const QString& folder);

// Closes db and opens path in its place. When path cannot be opened, db is open on its
// previous file again and the error is raised.
void switchTo(Database& db, const QString& path);

// Writes a compacted copy of the open file to workFile (a leftover there is removed first) and
// gives the copy the database's name in one step, taking the file's journal and logs away
// with the old file. On failure the database file is untouched and nothing of the copy is
// left. db is open on its file again afterwards either way.
void compact(Database& db, const QString& workFile);

// A complete copy of the open file at destination, replacing what is there (with its journal
// and logs) only once the copy is whole. db stays open on its own file.
void saveCopy(Database& db, const QString& destination);

} // namespace DatabaseFile
