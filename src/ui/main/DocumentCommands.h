#pragma once

#include <QObject>

class AppContext;
class CommandWindow;

// The commands that show a document: the log file, the readme and the known issues from the
// program folder, the web site, and the about box.
class DocumentCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentCommands)

public:
    DocumentCommands(AppContext& context, CommandWindow& window, QObject* parent);

    void mnuViewLog_Click();
    void mnuAboutIssues_Click();
    void mnuAboutReadme_Click();
    void mnuAboutHalvikWebSite_Click();
    void mnuHelpAbout_Click();

private:
    void openProgramFile(const QString& name);

    AppContext& m_context;
    CommandWindow& m_window;
};
