#include "ui/main/DocumentCommands.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "report/AboutBox.h"
#include "ui/main/CommandWindow.h"

#include <QFileInfo>

namespace {
const QString CRLF = QStringLiteral("\r\n");
} // namespace

DocumentCommands::DocumentCommands(AppContext& context, CommandWindow& window, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_window(window) {}

void DocumentCommands::mnuViewLog_Click() {
    trapErrors(m_context, "mnuViewLog_Click", [&] {
        SettingsCatalogue& catalogue = m_context.catalogue();
        if (!QFileInfo(catalogue.logFile()).isFile()) {
            m_context.dialogs().message(
                QStringLiteral("The Log Files you specified does not exist or is corrupt .") +
                    CRLF + QStringLiteral("Please re-define a log file from the options menu."),
                MessageIcon::Information, AppInfo::Title);
            return;
        }
        m_context.errors().Navigate(QStringLiteral("file://") + catalogue.logFile());
    });
}

void DocumentCommands::openProgramFile(const QString& name) {
    m_context.errors().Navigate(QStringLiteral("file://") +
                                m_context.paths().inShippedFolder(name));
}

void DocumentCommands::mnuAboutIssues_Click() {
    openProgramFile(FileName::Issues);
}

void DocumentCommands::mnuAboutReadme_Click() {
    openProgramFile(FileName::Readme);
}

void DocumentCommands::mnuAboutHalvikWebSite_Click() {
    m_context.errors().Navigate(AppInfo::WebSite);
}

void DocumentCommands::mnuHelpAbout_Click() {
    trapErrors(m_context, "mnuHelpAbout_Click", [&] {
        frmAbout about(m_window.mailControl(), m_window.ownerWindow());
        about.exec();
    });
}
