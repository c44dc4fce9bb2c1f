#pragma once

#include <memory>
#include <QPointer>
#include <QString>

class AppContext;
class Database;
class SingleInstance;
#include "report/frmSplash.h"

// The program's start-up routine: refuses a second instance, shows the splash box, finds and
// opens the database for exclusive use. Any run-time error on the way shows the start-up
// error message, after which the program ends.
class Startup final {
public:
    Startup(AppContext& context, Database& monitorDB);
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    // False when the program must end now.
    bool run();

    frmSplash* splash() const { return m_splash; }

    static QString alreadyLoadedText();
    static QString startupErrorText(const QString& description);

private:
    bool isFirstInstance();
    QString settingsFolder() const;
    QString settingsFolderText() const;
    void showSplash();
    void findDatabase();
    void openDatabase();

    AppContext& m_context;
    Database& m_monitorDB;
    std::unique_ptr<SingleInstance> m_instance;
    QPointer<frmSplash> m_splash;
};
