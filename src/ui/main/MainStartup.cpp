#include "ui/main/MainStartup.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/EventPause.h"
#include "character/AgentCharacter.h"
#include "report/Assistant.h"
#include "report/frmSplash.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/frmMain.h"
#include "ui/main/OptionsCommands.h"

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

    QObject::connect(&assistant, &Assistant::restoreRequested, &mainForm, &frmMain::Restore);
    QObject::connect(&assistant, &Assistant::minimizeRequested, &mainForm, &frmMain::Minimize);
    QObject::connect(&assistant, &Assistant::monitoringOnRequested, &mainForm,
                     &frmMain::Monitor_Initialize);
    QObject::connect(&assistant, &Assistant::monitoringOffRequested, &mainForm,
                     &frmMain::Monitor_Stop);
    QObject::connect(&mainForm, &frmMain::unloading, &assistant, &Assistant::UnloadCharacter);
    auto* options = new OptionsCommands(m_context, assistant, &mainForm);
    QObject::connect(&mainForm, &frmMain::optionsRequested, options,
                     &OptionsCommands::mnuViewOptions_Click);
    const auto enable = [&assistant](const QString& name, bool enabled) {
        if (AgentCharacter* character = assistant.character())
            character->Commands().setEnabled(name, enabled);
    };
    QObject::connect(&mainForm, &frmMain::restoreAvailableChanged, &assistant,
                     [enable](bool available) {
                         enable(QStringLiteral("Restore"), available);
                         enable(QStringLiteral("Minimize"), !available);
                     });
    QObject::connect(&mainForm, &frmMain::monitoringCommandsChanged, &assistant,
                     [enable](bool monitoringOn) {
                         enable(QStringLiteral("Monitoring On"), !monitoringOn);
                         enable(QStringLiteral("Monitoring Off"), monitoringOn);
                     });
}

void MainStartup::show(frmMain& mainForm) {
    mainForm.Form_Load();
    mainForm.setWindowTitle(AppInfo::Title + QStringLiteral(" - ") +
                            Paths::fileNamePart(m_context.state().DatabasePath));
    if (m_splash)
        m_splash->close();
    SettingsCatalogue& catalogue = m_context.catalogue();
    mainForm.placeWindow(catalogue.mainGeometry(Key::MainLeft, 1000),
                         catalogue.mainGeometry(Key::MainTop, 1000),
                         catalogue.mainGeometry(Key::MainWidth, 6500),
                         catalogue.mainGeometry(Key::MainHeight, 6500));
    m_context.state().StartupComplete = 1;
    mainForm.show();
    if (catalogue.autoStart()) {
        EventPause::letEventsRun();
        QTimer::singleShot(1000, &mainForm, &frmMain::Monitor_Initialize);
    }
}
