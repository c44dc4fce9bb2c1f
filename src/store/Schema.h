#pragma once

class Database;

// The three tables of the monitoring database. Column defaults make a new item read as
// freshly reset; device and port names compare without regard to case.
namespace Schema {
const char* createSql();
// Refuses a file that is not a monitoring database.
void verify(Database& db);
} // namespace Schema
