#pragma once

#include "store/Database.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantHash>

// A monitoring database made the way the program makes a new one (the schema and nothing else),
// held open and filled in a few calls. Fields left out of a row read as freshly reset, as they
// do for an item the wizards add.
class SeededDatabase final {
public:
    // In a folder of its own, under the program's database file name.
    SeededDatabase();
    // At path, which must not exist yet.
    explicit SeededDatabase(const QString& path);

    QString path() const { return m_path; }

    // A device row; a null alias or description is stored as null.
    SeededDatabase& addDevice(const QString& device, const QVariant& alias = {},
                              const QVariant& description = {});
    // One item row with the given fields (column name to value) beside its key.
    SeededDatabase& addItem(const QString& device, const QString& port,
                            const QVariantHash& fields = {});
    // One item row per port, each with only its key set.
    SeededDatabase& addItems(const QString& device, const QStringList& ports);
    // A row of the well-known ports list.
    SeededDatabase& addPort(int number, const QString& description);

    // Sets fields (column name to value) of one item row.
    void setItem(const QString& device, const QString& port, const QVariantHash& fields);

    // One field of an item row, null when the row is missing.
    QVariant item(const QString& device, const QString& port, const QString& field);
    // The number of rows a statement selects.
    int count(const QString& sql, const QVariantList& params = {});

    QTemporaryDir folder;
    Database db;

private:
    void insert(const QString& table, const QVariantHash& fields);

    QString m_path;
};
