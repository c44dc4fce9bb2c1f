#include "app/MainStartup.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/EventPause.h"
#include "report/Assistant.h"
#include "report/frmSplash.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"
#include "ui/main/MainCommands.h"

#include <QTimer>

MainStartup::MainStartup(AppContext& context, Database& monitorDB, frmSplash* splash)
    : m_context(context)
    , m_monitorDB(monitorDB)
    , m_splash(splash) {}

void MainStartup::setSplashLabel(const QString& text) {
    if (m_splash)
        m_splash->setProgress(text);
    EventPause::letEventsRun();
}

std::unique_ptr<frmMain> MainStartup::createMainForm() {
    return std::make_unique<frmMain>(m_context, m_monitorDB,
                                     [this](const QString& text) { setSplashLabel(text); });
}

void MainStartup::loadAssistant(Assistant& assistant, frmMain& mainForm) {
    setSplashLabel(QStringLiteral("Loading Microsoft Agent"));
    if (m_splash)
        QObject::connect(&assistant, &Assistant::agentUnavailable, m_splash, &QWidget::close);
    m_context.setAssistant(&assistant);
    assistant.LoadMSAgent();
    assistant.setProblemCounter([&mainForm] { return mainForm.panes().problemCount(); });

    mainForm.commands().attachAssistant(assistant);
    QObject::connect(&mainForm, &frmMain::unloading, &assistant, &Assistant::UnloadCharacter);
    QObject::connect(&mainForm, &frmMain::restoreAvailableChanged, &assistant,
                     [&assistant](bool available) {
                         assistant.setCommandEnabled(QStringLiteral("Restore"), available);
                         assistant.setCommandEnabled(QStringLiteral("Minimize"), !available);
                     });
}

void MainStartup::show(frmMain& mainForm) {
    mainForm.face().Form_Load();
    mainForm.setWindowTitle(AppInfo::Title + QStringLiteral(" - ") +
                            Paths::fileNamePart(m_context.state().DatabasePath));
    if (m_splash)
        m_splash->close();
    SettingsCatalogue& catalogue = m_context.catalogue();
    mainForm.placeWindow(catalogue.get(Key::MainLeft), catalogue.get(Key::MainTop),
                         catalogue.get(Key::MainWidth), catalogue.get(Key::MainHeight));
    m_context.state().StartupComplete = 1;
    mainForm.show();
    if (catalogue.autoStart()) {
        EventPause::letEventsRun();
        QTimer::singleShot(1000, &mainForm.face(), &EngineFace::Monitor_Initialize);
    }
}
