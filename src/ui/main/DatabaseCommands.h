#pragma once

#include "core/Services.h"

#include <QObject>

class AppContext;
class CommandWindow;
class Database;

// The database file commands of the File menu, the Tools > Database submenu and the "New" and
// "Open" buttons: open another file, save a copy, compact, reload, and the announcement that a
// new file cannot be made. None of them runs while monitoring is on.
class DatabaseCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DatabaseCommands)

public:
    DatabaseCommands(AppContext& context, Database& monitorDB, CommandWindow& window,
                     QObject* parent);

public slots:
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSaveAs_Click();
    void mnuCompactDatabase_Click();
    void mnuReloadDatabase_Click();

private:
    bool available() const;
    FileDialogRequest fileRequest(const QString& title) const;
    void inform(const QString& text);
    bool ask(const QString& text);
    void openChosen(const QString& chosen);
    void saveAs(const QString& chosen);
    void compact();
    // Rebuilds the tree (resetting every counter) and fills the list with all devices.
    void reloadPanes();
    // reloadPanes for a file just opened: an error is raised instead of reported.
    void loadPanes();
    template <typename Load> void whilePanesHidden(Load&& load);
    void setStatus(const QString& text);

    AppContext& m_context;
    Database& m_db;
    CommandWindow& m_window;
};
