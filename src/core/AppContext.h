#pragma once

#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/Log.h"
#include "core/Paths.h"
#include "core/ProgramState.h"
#include "core/Services.h"
#include "core/Settings.h"
#include "core/SettingsCatalogue.h"

#include <memory>

// Everything program-wide in one object handed to those who need it: state, settings, log,
// error report and the replaceable services. Services not yet registered fall back to quiet
// defaults (the message window keeps its text in memory until the main window exists).
class AppContext final {
public:
    AppContext();
    explicit AppContext(const QString& programFolder);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    ProgramState& state() { return m_state; }
    Paths& paths() { return m_paths; }
    Settings& settings() { return m_settings; }
    SettingsCatalogue& catalogue() { return m_catalogue; }
    const Clock& clock() const { return *m_clock; }
    Log& log() { return m_log; }
    ErrorReport& errors() { return m_errors; }

    UserDialogs& dialogs() { return *m_dialogs; }
    AssistantVoice& assistant() { return *m_assistant; }
    MessageWindow& messageWindow() { return *m_messageWindow; }
    Shell& shell() { return *m_shell; }
    ProgramEnd& programEnd() { return *m_programEnd; }

    // The registered objects are not owned; each must outlive its registration.
    void setDialogs(UserDialogs* dialogs);
    void setAssistant(AssistantVoice* assistant);
    void setMessageWindow(MessageWindow* window);
    void setShell(Shell* shell);
    void setProgramEnd(ProgramEnd* end);
    void setClock(const Clock* clock);

    // MSAgentSpeak's contract for every caller: SpeechText holds the text last spoken.
    void speak(const QString& text, const QString& animation, bool stayInPlace = false);

private:
    struct Defaults;
    std::unique_ptr<Defaults> m_defaults;
    ProgramState m_state;
    Paths m_paths;
    Settings m_settings;
    SettingsCatalogue m_catalogue;
    const Clock* m_clock;
    UserDialogs* m_dialogs;
    AssistantVoice* m_assistant;
    MessageWindow* m_messageWindow;
    Shell* m_shell;
    ProgramEnd* m_programEnd;
    Log m_log;
    ErrorReport m_errors;
};
