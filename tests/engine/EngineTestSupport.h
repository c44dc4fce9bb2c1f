#pragma once

#include "engine/EngineView.h"
#include "store/Database.h"

#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// What the engine showed: every status panel text in order and the latest text of each node.
class RecordingView final : public EngineView {
public:
    void setStatusPanel(int panel, const QString& text) override {
        panels << QStringLiteral("%1:%2").arg(panel).arg(text);
    }
    void setDeviceNodeText(const QString& key, const QString& text) override {
        nodeTexts.insert(key, text);
    }
    QStringList panels;
    QHash<QString, QString> nodeTexts;
};

// A fresh monitoring database with the schema in a folder of its own.
class ScratchDatabase final {
public:
    ScratchDatabase() {
        const QString path = folder.filePath(QStringLiteral("OrvexMonitor.mdb"));
        Database::create(path);
        db.open(path);
    }

    void addDevice(const QString& device, const QVariant& alias = {},
                   const QVariant& description = {}) {
        db.execute({QStringLiteral("INSERT INTO Devices (Device, Device_Alias, Device_Description)"
                                   " VALUES (?, ?, ?)"),
                    {device, alias, description}});
    }
    void addItem(const QString& device, const QString& port) {
        db.execute(
            {QStringLiteral("INSERT INTO Main_Data (Device, Port) VALUES (?, ?)"), {device, port}});
    }
    // Sets fields of one item row, as a column list and values.
    void setItem(const QString& device, const QString& port, const QVariantHash& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            db.execute(
                {QStringLiteral("UPDATE Main_Data SET [%1] = ? WHERE Device = ? AND Port = ?")
                     .arg(it.key()),
                 {it.value(), device, port}});
        }
    }
    QVariant item(const QString& device, const QString& port, const QString& field) {
        Recordset rs = db.openRecordset(
            {QStringLiteral("Select * from Main_Data where Device = ? and Port = ?"),
             {device, port}});
        return rs.atEnd() ? QVariant() : rs.field(field);
    }
    int count(const QString& sql, const QVariantList& params = {}) {
        Recordset rs = db.openRecordset({sql, params});
        return rs.count();
    }

    QTemporaryDir folder;
    Database db;
};
