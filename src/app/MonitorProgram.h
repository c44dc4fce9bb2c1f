#pragma once

#include "app/Startup.h"
#include "store/Database.h"

#include <memory>

class AppContext;
class Assistant;
class WidgetDialogs;
class frmMain;

// The whole monitor program on a context: start-up from the single-instance test to the shown
// main window. The entry point runs it on the real desktop; acceptance tests run it on a
// context of their own.
class MonitorProgram final {
public:
    // dialogs, when given, gets the main window as the parent of its message boxes.
    explicit MonitorProgram(AppContext& context, WidgetDialogs* dialogs = nullptr);
    ~MonitorProgram();
    MonitorProgram(const MonitorProgram&) = delete;
    MonitorProgram& operator=(const MonitorProgram&) = delete;

    // False when the program must end now (second instance or a start-up error).
    bool start();

    frmMain* mainForm() const { return m_mainForm.get(); }
    Assistant* assistant() const { return m_assistant.get(); }
    Database& monitorDB() { return m_monitorDB; }

private:
    void registerMailControl();

    AppContext& m_context;
    WidgetDialogs* m_dialogs;
    Database m_monitorDB;
    Startup m_startup;
    std::unique_ptr<Assistant> m_assistant;
    std::unique_ptr<frmMain> m_mainForm;
};
