#pragma once

#include "SeededDatabase.h"
#include "TestContext.h"
#include "ui/main/DetailList.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"
#include "ui/main/MainClientArea.h"
#include "ui/main/MainCommands.h"

#include <functional>
#include <memory>
#include <QDir>

// The main window as start-up builds it, on a recording context and a database seeded for the
// test (file is taken in the program folder unless it is a full path). The window is built once the
// seed has run; open() builds a new one on the same database, as the next start would.
class MainWindowFixture {
public:
    using Seed = std::function<void(SeededDatabase&)>;

    explicit MainWindowFixture(const Seed& seed = {},
                               const QString& file = QStringLiteral("OrvexMonitor.mdb"))
        : data(QDir(t.folder.path()).filePath(file)) {
        if (seed)
            seed(data);
        open();
    }

    void open() {
        window.reset();
        window = std::make_unique<frmMain>(*t, data.db);
    }

    frmMain& w() { return *window; }
    MainClientArea& client() { return w().clientArea(); }
    EngineFace& face() { return w().face(); }
    MainCommands& commands() { return w().commands(); }
    DeviceTree& tree() { return client().tvTreeView(); }
    DetailList& list() { return client().lvListView(); }
    QTreeWidgetItem* node(const QString& key) { return tree().node(key); }
    // An empty key selects the root.
    void select(const QString& key) {
        tree().selectNode(key.isEmpty() ? tree().root() : tree().node(key));
    }
    // The shown texts of a node's children.
    QStringList childTexts(const QString& key) {
        QStringList result;
        QTreeWidgetItem* parent = node(key);
        for (int i = 0; parent && i < parent->childCount(); ++i)
            result << parent->child(i)->text(0);
        return result;
    }

    TestContext t;
    SeededDatabase data;
    Database& db = data.db;
    std::unique_ptr<frmMain> window;
};
