#include "core/AppContext.h"

#include <cstdio>
#include <cstdlib>

// Fall-backs used until the window layers register their own services.
struct AppContext::Defaults {
    struct Dialogs final : UserDialogs {
        void message(const QString& text, MessageIcon, const QString& caption) override {
            std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        }
        bool askYesNo(const QString&, const QString&, MessageIcon) override { return false; }
        QString openFileName(const FileDialogRequest&) override { return {}; }
        QString saveFileName(const FileDialogRequest&) override { return {}; }
    };
    struct Silent final : AssistantVoice {
        void speak(const QString&, const QString&, bool) override {}
    };
    struct Memory final : MessageWindow {
        QString text() const override { return m_text; }
        void setTextAtEnd(const QString& text) override { m_text = text; }
        QString m_text;
    };
    // Replaced by the desktop's shell at start-up; a program without one says so.
    struct NoDesktop final : Shell {
        bool open(const QString& target) override {
            std::fprintf(stderr, "No desktop shell to open %s\n", qPrintable(target));
            return false;
        }
    };
    struct Exit final : ProgramEnd {
        void end(int exitCode) override { std::exit(exitCode); }
    };

    Clock clock;
    Dialogs dialogs;
    Silent assistant;
    Memory messageWindow;
    NoDesktop shell;
    Exit exit;
};

AppContext::AppContext()
    : AppContext(Paths().programFolder()) {}

AppContext::AppContext(const QString& programFolder)
    : m_defaults(std::make_unique<Defaults>())
    , m_paths(programFolder)
    , m_catalogue(m_settings, m_paths)
    , m_clock(&m_defaults->clock)
    , m_dialogs(&m_defaults->dialogs)
    , m_assistant(&m_defaults->assistant)
    , m_messageWindow(&m_defaults->messageWindow)
    , m_shell(&m_defaults->shell)
    , m_programEnd(&m_defaults->exit)
    , m_log(*this)
    , m_errors(*this) {}

AppContext::~AppContext() = default;

void AppContext::setDialogs(UserDialogs* dialogs) {
    m_dialogs = dialogs ? dialogs : &m_defaults->dialogs;
}

void AppContext::setAssistant(AssistantVoice* assistant) {
    m_assistant = assistant ? assistant : &m_defaults->assistant;
}

void AppContext::setMessageWindow(MessageWindow* window) {
    MessageWindow* next = window ? window : &m_defaults->messageWindow;
    // Lines written before the window existed are carried over.
    if (next != m_messageWindow && next->text().isEmpty())
        next->setTextAtEnd(m_messageWindow->text());
    m_messageWindow = next;
}

void AppContext::setShell(Shell* shell) {
    m_shell = shell ? shell : &m_defaults->shell;
}

void AppContext::setProgramEnd(ProgramEnd* end) {
    m_programEnd = end ? end : &m_defaults->exit;
}

void AppContext::setClock(const Clock* clock) {
    m_clock = clock ? clock : &m_defaults->clock;
}

void AppContext::speak(const QString& text, const QString& animation, bool stayInPlace) {
    m_state.SpeechText = text;
    m_assistant->speak(text, animation, stayInPlace);
}
