#include "ui/main/DatabaseCommands.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"
#include "ui/main/CommandWindow.h"
#include "ui/main/DetailList.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QScopeGuard>
#include <QWidget>

namespace {
const QString CRLF = QStringLiteral("\r\n");
} // namespace

DatabaseCommands::DatabaseCommands(AppContext& context, Database& monitorDB, CommandWindow& window,
                                   QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_db(monitorDB)
    , m_window(window) {}

bool DatabaseCommands::available() const {
    // The menus are disabled while monitoring; this also holds for any other way in.
    return !m_context.state().MonitoringOn;
}

FileDialogRequest DatabaseCommands::fileRequest(const QString& title) const {
    // The folder the database lives in by default: the program folder, or the per-user data
    // folder once the program is installed.
    return {AppInfo::Title + title, m_context.paths().dataFolder(), FileName::Database,
            QStringLiteral("mdb (*.mdb)")};
}

void DatabaseCommands::inform(const QString& text) {
    m_context.dialogs().message(text, MessageIcon::Information, AppInfo::Title);
}

bool DatabaseCommands::ask(const QString& text) {
    return m_context.dialogs().askYesNo(text, AppInfo::Title);
}

void DatabaseCommands::mnuFileNew_Click() {
    if (!available())
        return;
    m_context.speak(QStringLiteral("Sorry, creating a new database has not been implemented yet."),
                    QStringLiteral("Decline"), false);
}

void DatabaseCommands::mnuFileOpen_Click() {
    if (!available())
        return;
    trapErrors(m_context, "mnuFileOpen_Click", [&] {
        const QString chosen =
            m_context.dialogs().openFileName(fileRequest(QStringLiteral(" - Open Database")));
        if (!chosen.isEmpty())
            openChosen(chosen);
    });
}

void DatabaseCommands::openChosen(const QString& chosen) {
    if (!QFileInfo::exists(chosen)) {
        inform(QStringLiteral("The Database name you provided is not valid."));
        return;
    }
    QString& databasePath = m_context.state().DatabasePath;
    const QString previous = databasePath;
    if (DatabaseFile::sameFile(chosen, previous)) {
        if (!ask(QStringLiteral("The file you specified is already loaded.  ") +
                 QStringLiteral("Re-loading the database will reset the counters.  Continue with "
                                "re-load.")))
            return;
    } else {
        // A file the program cannot work on is refused while the current one is still open.
        setStatus(QStringLiteral("Checking database.  Please wait..."));
        try {
            DatabaseFile::check(chosen);
        } catch (const RuntimeError&) {
            setStatus(QStringLiteral("Ready"));
            throw;
        }
        setStatus(QStringLiteral("Ready"));
    }
    DatabaseFile::switchTo(m_db, chosen);
    try {
        loadPanes();
    } catch (const RuntimeError& error) {
        // Loading writes to the file, which a sound-looking file can still refuse. The person
        // goes on with the database they had, and the next start opens that one too.
        DatabaseFile::switchTo(m_db, previous);
        reloadPanes();
        m_context.dialogs().message(
            QStringLiteral("Unable to load the database '%1'.").arg(chosen) + CRLF +
                error.description() + CRLF +
                QStringLiteral("The database '%1' remains loaded.").arg(previous),
            MessageIcon::Exclamation, AppInfo::Title);
        return;
    }
    databasePath = chosen;
    m_context.catalogue().set(Key::Database, chosen);
    m_window.ownerWindow()->setWindowTitle(AppInfo::Title + QStringLiteral(" - ") +
                                           Paths::fileNamePart(chosen));
}

void DatabaseCommands::mnuFileSaveAs_Click() {
    if (!available())
        return;
    trapErrors(m_context, "mnuFileSaveAs_Click", [&] {
        const QString chosen =
            m_context.dialogs().saveFileName(fileRequest(QStringLiteral(" - Save Database As...")));
        if (!chosen.isEmpty())
            saveAs(chosen);
    });
}

void DatabaseCommands::saveAs(const QString& chosen) {
    // Another spelling of the open file's name, or another path to it, is the open file too.
    if (DatabaseFile::mayBeSameFile(chosen, m_context.state().DatabasePath)) {
        inform(QStringLiteral("File in use.  Please specify a different file name."));
        return;
    }
    if (QFileInfo::exists(chosen) && !ask(QStringLiteral("Overwrite existing file?")))
        return;
    // The existing file is replaced only once the copy is complete; the program goes on with
    // the file it had open.
    DatabaseFile::saveCopy(m_db, chosen);
}

void DatabaseCommands::mnuCompactDatabase_Click() {
    if (!available())
        return;
    trapErrors(m_context, "mnuCompactDatabase_Click", [&] {
        if (ask(QStringLiteral("You are about to compact the database.") + CRLF +
                QStringLiteral("Continue with database compaction?")))
            compact();
    });
}

void DatabaseCommands::compact() {
    setStatus(QStringLiteral("Compacting Database.  Please wait..."));
    try {
        DatabaseFile::compact(m_db, m_context.paths().inDataFolder(FileName::CompactWork));
    } catch (const RuntimeError&) {
        setStatus(QStringLiteral("Ready"));
        throw;
    }
    setStatus(QStringLiteral("Ready"));
    m_context.speak(QStringLiteral("The database has been compacted successfully."),
                    QStringLiteral("Pleased"), false);
}

void DatabaseCommands::mnuReloadDatabase_Click() {
    if (!available())
        return;
    trapErrors(m_context, "mnuReloadDatabase_Click", [&] {
        if (ask(QStringLiteral("Reloading the database will also reset the counters.") + CRLF +
                QStringLiteral("Continue with reload?")))
            reloadPanes();
    });
}

void DatabaseCommands::reloadPanes() {
    whilePanesHidden([&] {
        m_window.panes().Load_Data();
        m_window.panes().Update_Devices();
    });
}

void DatabaseCommands::loadPanes() {
    whilePanesHidden([&] { m_window.panes().loadRaising(); });
}

template <typename Load> void DatabaseCommands::whilePanesHidden(Load&& load) {
    DeviceTree& tree = m_window.tvTreeView();
    DetailList& list = m_window.lvListView();
    // The list may be behind the message window; it comes back only where it was.
    const bool listShown = !list.isHidden();
    tree.hide();
    list.hide();
    const auto show = qScopeGuard([&] {
        tree.show();
        list.setVisible(listShown);
    });
    load();
}

void DatabaseCommands::setStatus(const QString& text) {
    m_window.setStatusPanel(1, text);
    // Shown before the work starts; a click meanwhile waits until the command is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
