#include "SeededDatabase.h"

namespace {
// Columns in a fixed order, so that the statement text is the same for the same columns.
QStringList columnsOf(const QVariantHash& fields) {
    QStringList columns = fields.keys();
    columns.sort();
    return columns;
}
} // namespace

SeededDatabase::SeededDatabase()
    : SeededDatabase(QString()) {}

SeededDatabase::SeededDatabase(const QString& path)
    : m_path(path.isEmpty() ? folder.filePath(QStringLiteral("OrvexMonitor.mdb")) : path) {
    Database::create(m_path);
    db.open(m_path);
}

SeededDatabase& SeededDatabase::addDevice(const QString& device, const QVariant& alias,
                                          const QVariant& description) {
    db.execute({QStringLiteral("INSERT INTO Devices (Device, Device_Alias, Device_Description)"
                               " VALUES (?, ?, ?)"),
                {device, alias, description}});
    return *this;
}

SeededDatabase& SeededDatabase::addItem(const QString& device, const QString& port,
                                        const QVariantHash& fields) {
    QVariantHash row = fields;
    row.insert(QStringLiteral("Device"), device);
    row.insert(QStringLiteral("Port"), port);
    insert(QStringLiteral("Main_Data"), row);
    return *this;
}

SeededDatabase& SeededDatabase::addItems(const QString& device, const QStringList& ports) {
    for (const QString& port : ports)
        addItem(device, port);
    return *this;
}

SeededDatabase& SeededDatabase::addPort(int number, const QString& description) {
    insert(QStringLiteral("TCP_Ports"),
           {{QStringLiteral("Port_Number"), number}, {QStringLiteral("Description"), description}});
    return *this;
}

void SeededDatabase::setItem(const QString& device, const QString& port,
                             const QVariantHash& fields) {
    for (const QString& column : columnsOf(fields))
        db.execute({QStringLiteral("UPDATE Main_Data SET [%1] = ? WHERE Device = ? AND Port = ?")
                        .arg(column),
                    {fields.value(column), device, port}});
}

QVariant SeededDatabase::item(const QString& device, const QString& port, const QString& field) {
    Recordset rs = db.openRecordset(
        {QStringLiteral("Select * from Main_Data where Device = ? and Port = ?"), {device, port}});
    return rs.atEnd() ? QVariant() : rs.field(field);
}

int SeededDatabase::count(const QString& sql, const QVariantList& params) {
    return db.openRecordset({sql, params}).count();
}

void SeededDatabase::insert(const QString& table, const QVariantHash& fields) {
    const QStringList columns = columnsOf(fields);
    QVariantList values;
    for (const QString& column : columns)
        values << fields.value(column);
    const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','));
    db.execute({QStringLiteral("INSERT INTO %1 ([%2]) VALUES (%3)")
                    .arg(table, columns.join(QStringLiteral("], [")), marks),
                values});
}
