#pragma once

#include "character/AgentCharacter.h"
#include "core/Services.h"

#include <functional>
#include <QObject>
#include <QPointer>

class AgentControl;
class AppContext;

// The program's assistant: loads the character at start-up (with fall-backs), switches it,
// keeps its command set, speaks every notice of the program (the AssistantVoice seam that
// AppContext::speak reaches) and answers the character's events. Commands that act on the
// main window are signals the window connects. Once an error report halts the program the
// character falls silent: the report alone speaks to the person.
class Assistant final : public QObject, public AssistantVoice {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Assistant)
public:
    explicit Assistant(AppContext& context, QObject* parent = nullptr);
    ~Assistant() override;

    // AssistantVoice
    void speak(const QString& text, const QString& animation, bool stayInPlace) override;
    void dropUnspoken() override;
    void beginAnnouncement() override;

    void LoadMSAgent();
    bool LoadCharacter(const QString& name);
    void ChangeCharacter(const QString& name);
    void AddAgentCommands();
    QString CharacterPath() const;
    // The characters that can be loaded, from the program folder's and the per-user character
    // folders: each file's lower-case name without its extension, sorted, each name once.
    QStringList availableCharacters() const;
    void MSAgentSpeak(const QString& text, const QString& animation, bool stayInPlace);

    // The character's events.
    void Agent1_Command(const QString& name);
    void Agent1_DragComplete(const QString& characterId, int button, int shift, int x, int y);
    void Agent1_IdleStart(const QString& characterId);

    // At shutdown: hides the character and unloads it.
    void UnloadCharacter();

    // The engine (Agent1) and the current character, which is null while none is loaded.
    AgentControl& Agent1() const { return *m_agent; }
    AgentCharacter* character() const;
    // Enables or disables one of the character's commands; nothing while none is loaded.
    void setCommandEnabled(const QString& name, bool enabled);

    // The main window's count of failing items, for "Monitoring Status".
    void setProblemCounter(std::function<int()> counter);

    // The per-user folder where more characters may be installed.
    static QString userCharacterPath();

    inline static const QString CharacterId = QStringLiteral("Character");
    static const QStringList& fallbackCharacters();

signals:
    void restoreRequested();
    void minimizeRequested();
    void monitoringOnRequested();
    void monitoringOffRequested();
    // No character can be loaded; the program is about to end (the splash box closes).
    void agentUnavailable();

private:
    // The character file of that name in the first folder that has one, whatever the case of
    // its letters; the bare file name when no folder has it.
    QString characterFile(const QString& name) const;
    void adopt(AgentCharacter* character);
    void release();
    void endWithoutAgent(const QString& message);
    void showLogFile();
    void play(const QString& animation);
    void halt();

    AppContext& m_context;
    AgentControl* m_agent;
    QPointer<AgentCharacter> m_character;
    std::function<int()> m_problemCounter;
    bool m_readingPosition = false;
    bool m_halted = false;
    void dropNotices(qsizetype from);
    void forgetStartedNotices();

    // The requests of the spoken notices still waiting, in the order made; those from
    // m_announcementStart on belong to the latest announcement.
    QList<quint32> m_notices;
    qsizetype m_announcementStart = -1;
};
