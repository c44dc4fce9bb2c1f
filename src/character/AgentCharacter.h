#pragma once

#include "character/AgentCommands.h"
#include "character/AgentRequest.h"
#include "character/AnimationPlayer.h"
#include "character/CharacterDefinition.h"
#include "character/SpeechAudio.h"
#include "character/SpeechMarkup.h"
#include "character/SpeechPlayer.h"

#include <memory>
#include <QObject>
#include <QQueue>
#include <QTimer>

class CharacterWindow;
class QVariantAnimation;
class SpeechService;
class WordBalloon;

// A loaded character: its window, balloon, voice and command set, and the queue its requests
// wait in. Show, Hide, Play, Speak and MoveTo return at once; each runs when those before it
// are done, and none blocks the GUI thread. Speech is rendered when its turn comes, phrase by
// phrase while it is spoken, so waiting requests hold only their text. A drag by the user
// takes the place of the moves still waiting. After a quiet spell the character blinks and
// fidgets now and then and reports IdleStart once. While a modal dialog lies over the
// character or its balloon, both step off the screen until it closes or moves away, so
// nothing of theirs ever covers a dialog the person must answer; requests go on meanwhile.
class AgentCharacter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgentCharacter)
public:
    AgentCharacter(const QString& id, CharacterDefinition definition, SpeechService& speech,
                   QObject* parent = nullptr);
    ~AgentCharacter() override;

    QString id() const { return m_id; }
    QString name() const { return m_definition.name; }
    const CharacterDefinition& definition() const { return m_definition; }

    quint32 Show();
    quint32 Hide();
    // An animation name the character does not have is ignored.
    quint32 Play(const QString& animation);
    quint32 Speak(const QString& text);
    quint32 MoveTo(int x, int y);
    // Drops every request not yet started.
    void StopAll();
    // Drops those of the given requests that have not started yet.
    void Stop(const QList<quint32>& ids);
    // Ends the utterance under way at once, closes the balloon and drops every request not
    // yet started; the character stays where it is.
    void hush();
    // Stops everything and leaves the desktop, before being unloaded.
    void retire();

    int Left() const;
    int Top() const;
    // Shown by Show and not yet hidden, also while stepped aside for a dialog.
    bool Visible() const;
    bool isAside() const { return m_aside; }
    bool HasOtherClients() const { return false; }

    int balloonStyle() const;
    void setBalloonStyle(int style);
    // False when balloons are switched off for every program on the desktop.
    bool balloonEnabled() const { return m_balloonEnabled; }
    void setBalloonEnabled(bool enabled);

    AgentCommands& Commands() { return m_commands; }

    // The running request first, then those waiting.
    QList<AgentRequest> pendingRequests() const;
    bool isBusy() const { return m_running || !m_queue.isEmpty(); }

    int idleTimeout() const { return m_idleTimeoutMs; }
    void setIdleTimeout(int ms);

    CharacterWindow* window() const { return m_window.get(); }
    WordBalloon* balloon() const { return m_balloon.get(); }
    bool audible() const { return m_speechPlayer.audible(); }
    const SpeechPlayer& speechPlayer() const { return m_speechPlayer; }

    static constexpr int DefaultIdleTimeoutMs = 10000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void Command(const QString& name);
    void DragComplete(int x, int y);
    void IdleStart();
    void RequestStart(quint32 id);
    void RequestComplete(quint32 id);

private:
    quint32 enqueue(AgentRequest request);
    void scheduleNext();
    void runNext();
    void start(const AgentRequest& request);
    void complete();
    void renderNextPhrase();
    void followDrag(QPoint topLeft);
    void onRendered(quint64 ticket, const SpeechAudio& audio);
    void onAnimationFinished();
    void enterIdle();
    void leaveIdle();
    void idleGesture();
    bool underModalDialog() const;
    void updateAside();

    QString m_id;
    CharacterDefinition m_definition;
    SpeechService& m_speech;
    AgentCommands m_commands;
    AnimationPlayer m_player;
    SpeechPlayer m_speechPlayer;
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<WordBalloon> m_balloon;
    QVariantAnimation* m_move = nullptr;

    QQueue<AgentRequest> m_queue;
    AgentRequest m_current;
    bool m_running = false;
    bool m_nextScheduled = false;
    bool m_waitingForAnimation = false;
    quint32 m_nextId = 1;
    // The phrases of the utterance being spoken, rendered one at a time as they are due.
    QList<QList<SpeechSegment>> m_phrases;
    qsizetype m_nextPhrase = 0;
    quint64 m_awaitedTicket = 0;

    bool m_present = false;
    bool m_aside = false;
    QTimer m_asideCheck;

    bool m_balloonEnabled = true;
    int m_idleTimeoutMs = DefaultIdleTimeoutMs;
    bool m_idle = false;
    QTimer m_idleTimer;
    QTimer m_gestureTimer;
    bool m_gesturing = false;
};
