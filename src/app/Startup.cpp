#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/EventPause.h"
#include "core/RuntimeError.h"
#include "report/frmSplash.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"

#include <QFileInfo>

namespace {
const QString CRLF = QStringLiteral("\r\n");
}

Startup::Startup(AppContext& context, Database& monitorDB)
    : m_context(context)
    , m_monitorDB(monitorDB) {}

Startup::~Startup() {
    delete m_splash;
}

QString Startup::alreadyLoadedText() {
    return AppInfo::Title + QStringLiteral(" is already loaded.  Unable to load program again.");
}

QString Startup::startupErrorText(const QString& description) {
    return description + CRLF + QStringLiteral("If this problem persists please contact ") +
           AppInfo::Contact;
}

bool Startup::run() {
    if (!isFirstInstance()) {
        if (m_instance->heldByAnother())
            m_context.dialogs().message(alreadyLoadedText(), MessageIcon::Exclamation,
                                        AppInfo::Title);
        else
            m_context.dialogs().message(startupErrorText(settingsFolderText()),
                                        MessageIcon::Critical, AppInfo::Title);
        return false;
    }
    try {
        showSplash();
        findDatabase();
        openDatabase();
    } catch (const RuntimeError& error) {
        m_context.dialogs().message(startupErrorText(error.description()), MessageIcon::Critical,
                                    AppInfo::Title);
        return false;
    }
    return true;
}

QString Startup::settingsFolder() const {
    return QFileInfo(m_context.settings().fileName()).absolutePath();
}

QString Startup::settingsFolderText() const {
    return QStringLiteral("The settings folder '%1' cannot be written.").arg(settingsFolder());
}

bool Startup::isFirstInstance() {
    // The lock sits beside the user's settings: one monitor per logged-on user.
    m_instance =
        std::make_unique<SingleInstance>(settingsFolder() + QStringLiteral("/OrvexMonitor.lock"));
    return m_instance->acquire();
}

void Startup::showSplash() {
    m_splash = new frmSplash;
    m_splash->show();
    m_splash->repaint();
    EventPause::letEventsRun();
}

void Startup::findDatabase() {
    // An installed program's first start gives the user a database of their own.
    m_context.paths().seedDataFolder(FileName::Database);
    // Work files of copies that a run stopped half way left behind.
    DatabaseFile::removeLeftovers(m_context.paths().dataFolder());
    SettingsCatalogue& catalogue = m_context.catalogue();
    QString& path = m_context.state().DatabasePath;
    path = catalogue.database();
    // A folder of that name is no database file.
    if (QFileInfo(path).isFile())
        return;
    path = catalogue.defaultDatabasePath();
    if (!QFileInfo(path).isFile()) {
        // The open below fails and takes the start-up error path.
        m_context.dialogs().message(
            QStringLiteral("Unable to load the database you specified or the default database.") +
                CRLF + QStringLiteral("Try un-installing and re-installing the program."),
            MessageIcon::Critical, AppInfo::Title);
        return;
    }
    m_context.dialogs().message(QStringLiteral("The default database will be loaded because the "
                                               "user specified database does not exist."),
                                MessageIcon::Exclamation, AppInfo::Title);
    catalogue.set(Key::Database, path);
}

void Startup::openDatabase() {
    const QString& path = m_context.state().DatabasePath;
    if (QFileInfo(path).isFile() && !Database::canWrite(path))
        throw Database::cannotWriteError(path);
    m_monitorDB.open(path);
}
