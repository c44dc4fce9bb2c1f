#pragma once

#include <memory>
#include <QPointer>
#include <QString>

class AppContext;
class Assistant;
class Database;
class frmMain;
class frmSplash;

// The second half of start-up, once the database is open: builds the main window while the
// splash box shows progress, puts the tray icon up, names the database in the caption,
// places and shows the window, and switches monitoring on a second later when AutoStart is 1.
// A run-time error on the way is raised to the caller, which ends the program.
class MainStartup final {
public:
    MainStartup(AppContext& context, Database& monitorDB, frmSplash* splash);
    MainStartup(const MainStartup&) = delete;
    MainStartup& operator=(const MainStartup&) = delete;

    // Steps up to creating the window; the assistant is loaded between this and show().
    std::unique_ptr<frmMain> createMainForm();
    void setSplashLabel(const QString& text);
    // Loads the assistant's character and hands it to the window's commands.
    void loadAssistant(Assistant& assistant, frmMain& mainForm);
    // Loads, names, places and shows the window; the splash box goes away on the way.
    void show(frmMain& mainForm);

private:
    AppContext& m_context;
    Database& m_monitorDB;
    QPointer<frmSplash> m_splash; // it deletes itself when closed
};
