#pragma once

#include "engine/CheckResults.h"

#include <QString>

class AppContext;
class Database;
class EngineView;

// The one place where devices and items are added, changed and deleted, and where the outcome
// of every check becomes counters, round-trip figures, dates and a status on the item's row.
// The check passes hand over their result lists once their waits are over; a list is written
// in one transaction and then emptied.
class ResultRecording final {
public:
    ResultRecording(AppContext& context, Database& db, EngineView& view);
    ResultRecording(const ResultRecording&) = delete;
    ResultRecording& operator=(const ResultRecording&) = delete;

    // Action "Add", "Delete", "Modify" or "Modify_Device"; Device_Status is accepted and ignored.
    void Device_Update(const QString& Action, const QString& Device,
                       const QString& Device_Description = {}, const QString& Device_Status = {},
                       const QString& Device_Alias = {});
    // Records one ping outcome; Status becomes "Recovered" when the item came back.
    void Ping_Update(const QString& Device, QString& Status, qint32 RTT, const QString& strError);
    // Action "Add", "Delete", "Modify_Port" or "Modify" (a check result); Port may be a pattern
    // with "*". Status becomes "Recovered" when a checked item came back. ConnectTime, the
    // milliseconds a good connect took, goes into the item's history. False when it failed; the
    // failure has gone to the error report.
    bool Port_Update(const QString& Action, const QString& Device, const QString& Port,
                     const QString& Port_Type, const QString& Port_Description, QString& Status,
                     const QString& Last_Error, qint32 ConnectTime = -1);
    // Records every ping result in one transaction, then empties the list. A failed commit
    // goes to the error report, since the whole pass is then lost.
    void WritePingResults(PingResultList& PingResults);
    // Records every port result in one transaction, then empties the list; as above.
    void WritePortResults(PortResultList& PortResults);
    // The name notices use for a device; a store error goes to the error report.
    QString GetAlias(const QString& strDeviceName);

private:
    // A check result joins the item's history in the transaction of its pass; a history that
    // cannot be written never stops the counters.
    void recordHistory(const QString& device, const QString& port, bool connected, qint32 roundTrip,
                       const QString& error);

    AppContext& m_context;
    Database& m_db;
    EngineView& m_view;
};
