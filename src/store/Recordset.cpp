#include "store/Recordset.h"

#include "core/RuntimeError.h"
#include "store/Database.h"

namespace {
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;
} // namespace

Recordset::Recordset(Database& db, QString table, QStringList columns,
                     QVector<QVector<QVariant>> rows)
    : m_db(&db)
    , m_table(std::move(table))
    , m_columns(std::move(columns))
    , m_rows(std::move(rows)) {}

void Recordset::moveNext() {
    requireCurrent();
    ++m_current;
}

int Recordset::columnIndex(const QString& name) const {
    // Column 0 is the row id the set reads for its own writes.
    for (int c = 1; c < m_columns.size(); ++c) {
        if (m_columns.at(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void Recordset::requireCurrent() const {
    if (atEnd())
        throw RuntimeError(NoCurrentRecord, QStringLiteral("No current record."));
}

QVariant Recordset::field(const QString& name) const {
    requireCurrent();
    const int c = columnIndex(name);
    if (c < 0)
        throw RuntimeError(ItemNotFound, QStringLiteral("Item not found in this collection."));
    return m_rows.at(m_current).at(c);
}

QString Recordset::text(const QString& name) const {
    const QVariant value = field(name);
    return value.isNull() ? QString() : value.toString();
}

double Recordset::number(const QString& name) const {
    return field(name).toDouble();
}

void Recordset::addNew() {
    m_mode = Mode::Adding;
    m_pending.clear();
}

void Recordset::edit() {
    requireCurrent();
    m_mode = Mode::Editing;
    m_pending.clear();
}

void Recordset::setField(const QString& name, const QVariant& value) {
    if (m_mode == Mode::Browse)
        throw RuntimeError(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    for (auto& pending : m_pending) {
        if (pending.first.compare(name, Qt::CaseInsensitive) == 0) {
            pending.second = value;
            return;
        }
    }
    m_pending.append({name, value});
}

void Recordset::update() {
    if (m_mode == Mode::Browse)
        throw RuntimeError(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const QString table = QLatin1Char('[') + m_table + QLatin1Char(']');
    QStringList names;
    QVariantList values;
    for (const auto& [name, value] : std::as_const(m_pending)) {
        names << QLatin1Char('[') + name + QLatin1Char(']');
        values << value;
    }
    if (m_mode == Mode::Adding) {
        const QString marks = QStringList(names.size(), QStringLiteral("?")).join(u", ");
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, names.join(u", "), marks);
        m_db->execute({sql, values});
    } else if (!names.isEmpty()) {
        values << m_rows.at(m_current).at(0);
        m_db->execute({QStringLiteral("UPDATE %1 SET %2 = ? WHERE _rowid_ = ?")
                           .arg(table, names.join(QStringLiteral(" = ?, "))),
                       values});
        QVector<QVariant>& row = m_rows[m_current];
        for (const auto& [name, value] : std::as_const(m_pending)) {
            const int c = columnIndex(name);
            if (c >= 0)
                row[c] = value;
        }
    }
    m_mode = Mode::Browse;
    m_pending.clear();
}

void Recordset::deleteRow() {
    requireCurrent();
    m_db->execute({QStringLiteral("DELETE FROM [%1] WHERE _rowid_ = ?").arg(m_table),
                   {m_rows.at(m_current).at(0)}});
}

void Recordset::close() {
    m_rows.clear();
    m_current = 0;
    m_mode = Mode::Browse;
    m_pending.clear();
}
