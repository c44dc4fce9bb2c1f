#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Database;

// An updatable set of rows read by one statement, walked forward: at end, move next, field by
// name, add, edit, assign, update, delete and close. Field names match without regard to
// case. Writes go straight to the file; the set keeps the rows it read when it was opened.
class Recordset final {
public:
    Recordset(Database& db, QString table, QStringList columns, QVector<QVector<QVariant>> rows);
    Recordset(Recordset&&) noexcept = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset() = default;

    bool atEnd() const { return m_current >= m_rows.size(); }
    int count() const { return static_cast<int>(m_rows.size()); }
    void moveNext();

    QVariant field(const QString& name) const;
    // A field read the null-safe way every reader of text uses: null reads as "".
    QString text(const QString& name) const;
    double number(const QString& name) const;

    void addNew();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void update();
    void deleteRow();
    void close();

private:
    enum class Mode { Browse, Adding, Editing };
    int columnIndex(const QString& name) const;
    void requireCurrent() const;

    Database* m_db;
    QString m_table;
    QStringList m_columns; // the first is the row id
    QVector<QVector<QVariant>> m_rows;
    qsizetype m_current = 0;
    Mode m_mode = Mode::Browse;
    QVector<QPair<QString, QVariant>> m_pending;
};
