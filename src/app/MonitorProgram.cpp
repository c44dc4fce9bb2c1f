#include "app/MonitorProgram.h"

#include "app/MainStartup.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/Paths.h"
#include "core/RuntimeError.h"
#include "platform/ComponentLoader.h"
#include "report/Assistant.h"
#include "ui/desktop/WidgetDialogs.h"
#include "ui/main/frmMain.h"

MonitorProgram::MonitorProgram(AppContext& context, WidgetDialogs* dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
    , m_startup(context, m_monitorDB) {}

MonitorProgram::~MonitorProgram() {
    // The window goes before the assistant it speaks through.
    m_mainForm.reset();
    m_context.setAssistant(nullptr);
    m_assistant.reset();
}

bool MonitorProgram::start() {
    if (!m_startup.run())
        return false;
    registerMailControl();
    MainStartup mainStartup(m_context, m_monitorDB, m_startup.splash());
    m_assistant = std::make_unique<Assistant>(m_context);
    try {
        m_mainForm = mainStartup.createMainForm();
        if (m_dialogs)
            m_dialogs->setParentWindow(m_mainForm.get());
        mainStartup.loadAssistant(*m_assistant, *m_mainForm);
        mainStartup.show(*m_mainForm);
    } catch (const RuntimeError& error) {
        m_context.dialogs().message(Startup::startupErrorText(error.description()),
                                    MessageIcon::Critical, AppInfo::Title);
        return false;
    }
    return true;
}

void MonitorProgram::registerMailControl() {
    // A build registers the control it builds; an installed program registers its own on the
    // user's first start. Without it the program still runs, and each send says so.
    const Paths& paths = m_context.paths();
    ComponentLoader::registerIfMissing(
        QStringLiteral("OrvexSMTPControl.OrvexSMTP"),
        {paths.inProgramFolder(QStringLiteral("libOrvexSMTP.so")),
         paths.inProgramFolder(QStringLiteral("../lib/orvex-monitor/libOrvexSMTP.so"))});
}
