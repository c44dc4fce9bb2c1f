#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/EventPause.h"
#include "core/RuntimeError.h"
#include "report/frmSplash.h"
#include "store/Database.h"

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
        m_context.dialogs().message(alreadyLoadedText(), MessageIcon::Exclamation, AppInfo::Title);
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

bool Startup::isFirstInstance() {
    // The lock sits beside the user's settings: one monitor per logged-on user.
    const QString folder = QFileInfo(m_context.settings().fileName()).absolutePath();
    m_instance = std::make_unique<SingleInstance>(folder + QStringLiteral("/OrvexMonitor.lock"));
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
    SettingsCatalogue& catalogue = m_context.catalogue();
    QString& path = m_context.state().DatabasePath;
    path = catalogue.database();
    if (QFileInfo::exists(path))
        return;
    path = catalogue.defaultDatabasePath();
    if (!QFileInfo::exists(path)) {
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
    catalogue.save(Section::Startup, Key::Database, path);
}

void Startup::openDatabase() {
    m_monitorDB.open(m_context.state().DatabasePath);
}
