#include "engine/ResultRecording.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/EngineView.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/DeviceQueries.h"
#include "store/History.h"

#include <optional>

namespace {
const QString Connected = QStringLiteral("Connected");
const QString NotChecked = QStringLiteral("Not Checked");
const QString Recovered = QStringLiteral("Recovered");
const QString NotApplicable = QStringLiteral("N/A");

const QString FieldStatus = QStringLiteral("Status");
const QString FieldLastError = QStringLiteral("Last_Error");
const QString FieldFailedOn = QStringLiteral("Failed_On");
const QString FieldRecoveredOn = QStringLiteral("Recovered_On");
const QString FieldConnect = QStringLiteral("Connect");
const QString FieldError = QStringLiteral("Error");
const QString FieldCount = QStringLiteral("Count");
const QString FieldDeviceAlias = QStringLiteral("Device_Alias");
const QString FieldDeviceDescription = QStringLiteral("Device_Description");

qint64 wholeNumber(const Recordset& rs, const QString& name) {
    return rs.field(name).toLongLong();
}

// Deletes every row of the set, one by one to its end.
void deleteAll(Recordset& rs) {
    while (!rs.atEnd()) {
        rs.deleteRow();
        rs.moveNext();
    }
}

// Deletes the item rows of the set and the history of each, all or nothing: a history left
// behind would reappear under an item added later with the same name.
void deleteItems(Database& db, Recordset& rs) {
    std::optional<Database::Transaction> own;
    if (!db.inTransaction())
        own.emplace(db);
    while (!rs.atEnd()) {
        History::removeItem(db, rs.text(QStringLiteral("Device")), rs.text(QStringLiteral("Port")));
        rs.deleteRow();
        rs.moveNext();
    }
    if (own)
        own->commit();
}

// The shared part of a failed check on an item row in edit mode.
void recordFailure(Recordset& rs, const QString& now) {
    rs.setField(FieldRecoveredOn, NotApplicable);
    if (rs.text(FieldFailedOn) == NotApplicable)
        rs.setField(FieldFailedOn, now);
    rs.setField(FieldError, wholeNumber(rs, FieldError) + 1);
    const qint64 count = qMax<qint64>(wholeNumber(rs, FieldCount), 0);
    rs.setField(FieldCount, count + 1);
}

// An item that was failing (or had recovered) and answers again reads "Recovered".
void recoveryTest(Recordset& rs, QString& Status, const QString& now) {
    const QString stored = rs.text(FieldStatus);
    if (stored.toLower() != Status.toLower() && stored != NotChecked) {
        Status = Recovered;
        if (rs.text(FieldRecoveredOn) == NotApplicable)
            rs.setField(FieldRecoveredOn, now);
    }
}
} // namespace

ResultRecording::ResultRecording(AppContext& context, Database& db, EngineView& view)
    : m_context(context)
    , m_db(db)
    , m_view(view) {}

void ResultRecording::Device_Update(const QString& Action, const QString& Device,
                                    const QString& Device_Description,
                                    const QString& /*Device_Status*/, const QString& Device_Alias) {
    trapErrors(m_context, "Device_Update", [&] {
        Recordset rs = m_db.openRecordset(Catalogue::deviceForUpdate(Device));
        if (Action == QLatin1String("Add")) {
            if (rs.atEnd()) {
                rs.addNew();
                rs.setField(QStringLiteral("Device"), Device);
                if (!Device_Alias.isEmpty())
                    rs.setField(FieldDeviceAlias, Device_Alias);
                if (!Device_Description.isEmpty())
                    rs.setField(FieldDeviceDescription, Device_Description);
                rs.update();
            }
        } else if (Action == QLatin1String("Delete")) {
            std::optional<Database::Transaction> own;
            if (!m_db.inTransaction())
                own.emplace(m_db);
            deleteAll(rs);
            History::removeDevice(m_db, Device);
            if (own)
                own->commit();
        } else if (Action == QLatin1String("Modify")) {
            if (!rs.atEnd()) {
                rs.edit();
                if (!Device_Alias.isEmpty())
                    rs.setField(FieldDeviceAlias, Device_Alias);
                if (!Device_Description.isEmpty())
                    rs.setField(FieldDeviceDescription, Device_Description);
                rs.update();
            }
        } else if (Action == QLatin1String("Modify_Device")) {
            if (!rs.atEnd()) {
                rs.edit();
                rs.setField(FieldDeviceAlias, Device_Alias);
                m_view.setDeviceNodeText(Device, Device_Alias.isEmpty() ? Device : Device_Alias);
                if (!Device_Description.isEmpty())
                    rs.setField(FieldDeviceDescription, Device_Description);
                rs.update();
            }
        }
        rs.close();
    });
}

void ResultRecording::Ping_Update(const QString& Device, QString& Status, qint32 RTT,
                                  const QString& strError) {
    trapErrors(m_context, "Device_Ping_Update", [&] {
        Recordset rs = m_db.openRecordset(Catalogue::pingItem(Device));
        if (rs.atEnd()) {
            rs.close();
            return;
        }
        const QString now = m_context.clock().generalDate();
        recordHistory(rs.text(QStringLiteral("Device")), rs.text(QStringLiteral("Port")),
                      Status == Connected, RTT, strError);
        rs.edit();
        if (!strError.isEmpty())
            rs.setField(FieldLastError, strError.toLower());
        if (Status != Connected) {
            recordFailure(rs, now);
        } else {
            const double rtt = RTT;
            double minimum = rs.number(QStringLiteral("Ping_Min"));
            double average = rs.number(QStringLiteral("Ping_Average"));
            const double maximum = rs.number(QStringLiteral("Ping_Max"));
            // 0 marks "no sample yet", so a first sample sets both figures.
            if (minimum == 0)
                minimum = rtt;
            if (average == 0)
                average = rtt;
            rs.setField(FieldFailedOn, NotApplicable);
            rs.setField(FieldConnect, wholeNumber(rs, FieldConnect) + 1);
            rs.setField(QStringLiteral("Ping_Average"), (average + rtt) / 2);
            rs.setField(QStringLiteral("Ping_Current"), rtt);
            if (rtt > maximum)
                rs.setField(QStringLiteral("Ping_Max"), rtt);
            rs.setField(QStringLiteral("Ping_Min"), rtt < minimum ? rtt : minimum);
            recoveryTest(rs, Status, now);
        }
        rs.setField(FieldStatus, Status);
        rs.update();
        rs.close();
    });
}

bool ResultRecording::Port_Update(const QString& Action, const QString& Device, const QString& Port,
                                  const QString& Port_Type, const QString& Port_Description,
                                  QString& Status, const QString& Last_Error, qint32 ConnectTime) {
    return trapErrors(m_context, "Port_Update", [&] {
        // A check result names its item exactly; only the editing actions take a pattern.
        const bool checkResult = Action == QLatin1String("Modify");
        Recordset rs = m_db.openRecordset(checkResult ? Catalogue::item(Device, Port)
                                                      : Catalogue::itemsLike(Device, Port));
        if (Action == QLatin1String("Add")) {
            if (rs.atEnd()) {
                rs.addNew();
                rs.setField(QStringLiteral("Device"), Device);
                rs.setField(QStringLiteral("Port"), Port);
                rs.setField(QStringLiteral("Port_Type"), Port_Type);
                rs.setField(QStringLiteral("Port_Description"), Port_Description);
                rs.update();
            }
        } else if (Action == QLatin1String("Delete")) {
            deleteItems(m_db, rs);
        } else if (Action == QLatin1String("Modify_Port")) {
            if (!rs.atEnd()) {
                rs.edit();
                rs.setField(QStringLiteral("Port_Description"), Port_Description);
                rs.update();
            }
        } else if (Action == QLatin1String("Modify")) {
            if (!rs.atEnd()) {
                const QString now = m_context.clock().generalDate();
                recordHistory(rs.text(QStringLiteral("Device")), rs.text(QStringLiteral("Port")),
                              Status == Connected, ConnectTime, Last_Error);
                rs.edit();
                if (!Last_Error.isEmpty())
                    rs.setField(FieldLastError, Last_Error.toLower());
                if (Status != Connected) {
                    recordFailure(rs, now);
                } else {
                    recoveryTest(rs, Status, now);
                    rs.setField(FieldFailedOn, NotApplicable);
                    rs.setField(FieldConnect, wholeNumber(rs, FieldConnect) + 1);
                }
                rs.setField(FieldStatus, Status);
                rs.update();
            }
        }
        rs.close();
    });
}

void ResultRecording::WritePingResults(PingResultList& PingResults) {
    std::optional<Database::Transaction> pass;
    ignoreErrors([&] { pass.emplace(m_db); });
    for (const PingResult& result : std::as_const(PingResults)) {
        ignoreErrors([&] {
            QString status = result.Status;
            Ping_Update(result.Device, status, result.RoundTrip, result.Error);
        });
    }
    if (pass)
        trapErrors(m_context, "WritePingResults", [&] { pass->commit(); });
    PingResults.clear();
}

void ResultRecording::WritePortResults(PortResultList& PortResults) {
    std::optional<Database::Transaction> pass;
    ignoreErrors([&] { pass.emplace(m_db); });
    for (const PortResult& result : std::as_const(PortResults)) {
        ignoreErrors([&] {
            QString status = result.Status;
            Port_Update(result.Action, result.Device, result.Port, result.Port_Type,
                        result.Port_Description, status, result.Last_Error, result.ConnectTime);
        });
    }
    if (pass)
        trapErrors(m_context, "WritePortResults", [&] { pass->commit(); });
    PortResults.clear();
}

void ResultRecording::recordHistory(const QString& device, const QString& port, bool connected,
                                    qint32 roundTrip, const QString& error) {
    ignoreErrors([&] {
        History::append(m_db, {device, port, m_context.clock().now().toMSecsSinceEpoch(), connected,
                               connected ? roundTrip : -1, error});
    });
}

QString ResultRecording::GetAlias(const QString& strDeviceName) {
    QString name = strDeviceName.toUpper();
    trapErrors(m_context, "GetAlias", [&] { name = ::GetAlias(m_db, strDeviceName); });
    return name;
}
