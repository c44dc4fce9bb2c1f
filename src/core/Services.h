#pragma once

#include <QString>

// The seams through which the program's lower layers reach the person at the screen. The
// window layers register real implementations at start-up; tests register recording ones.

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

struct FileDialogRequest {
    QString title;
    QString folder;
    QString fileName;
    QString filter; // "mdb (*.mdb)"
};

// Message boxes, Yes/No questions and file dialogs.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void message(const QString& text, MessageIcon icon, const QString& caption) = 0;
    // True only when the answer is Yes.
    virtual bool askYesNo(const QString& text, const QString& caption,
                          MessageIcon icon = MessageIcon::Question) = 0;
    // An empty result means the dialog was cancelled.
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    virtual QString saveFileName(const FileDialogRequest& request) = 0;
};

// The assistant: every spoken notice of the program goes through speak().
class AssistantVoice {
public:
    virtual ~AssistantVoice() = default;
    virtual void speak(const QString& text, const QString& animation, bool stayInPlace) = 0;
    // Monitoring has stopped: the notices not yet begun are dropped. A voice that queues
    // nothing has nothing to drop.
    virtual void dropUnspoken() {}
    // A cycle's announcement begins. What is still unsaid of the previous one is dropped, as
    // this one tells the state as it is now.
    virtual void beginAnnouncement() {}
};

// The main window's in-window log.
class MessageWindow {
public:
    virtual ~MessageWindow() = default;
    virtual QString text() const = 0;
    // Replaces the text and puts the caret after its last character.
    virtual void setTextAtEnd(const QString& text) = 0;
    // The same for a new text that is the current one without its first `dropped` characters
    // and with `added` after its end. A window that can change only the two ends does so, so a
    // new line costs the same however many lines the window shows.
    virtual void appendAtEnd(qsizetype dropped, const QString& added) {
        setTextAtEnd(text().mid(dropped) + added);
    }
};

// Opens a document or web address with the desktop's handler.
class Shell {
public:
    virtual ~Shell() = default;
    // False when nothing on the desktop could open the target.
    virtual bool open(const QString& target) = 0;
};

// Shows a local text file in a window of the program, for a desktop with nothing to open it.
class FileViewer {
public:
    virtual ~FileViewer() = default;
    // False when the file could not be read.
    virtual bool showFile(const QString& path) = 0;
};

// The end of the program after an error report. Tests observe it instead of exiting.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void end(int exitCode) = 0;
};
