#pragma once

class Database;

// The three tables of the monitoring database, and the check history beside them. Column
// defaults make a new item read as freshly reset; device and port names compare without
// regard to case.
namespace Schema {
const char* createSql();
// The history table and its indexes; each is created only where it is missing.
const char* historySql();
// Refuses a file that is not a monitoring database.
void verify(Database& db);
// Brings a file written before the history existed up to date.
void addMissing(Database& db);
} // namespace Schema
