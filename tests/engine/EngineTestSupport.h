#pragma once

#include "engine/EngineView.h"
#include "SeededDatabase.h"

#include <QHash>
#include <QStringList>

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
using ScratchDatabase = SeededDatabase;
