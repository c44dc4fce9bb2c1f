#pragma once

#include "character/SpeechAudio.h"

#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// Where an utterance's samples go: the desktop's sound device, or a stand-in.
class SpeechOutput {
public:
    virtual ~SpeechOutput() = default;
    // Takes what the device has room for now; returns the bytes taken.
    virtual qint64 write(const char* data, qint64 bytes) = 0;
    // How much of what was written the device has played.
    virtual qint64 playedMs() const = 0;
};
// Opens an output for 16-bit mono samples at a rate; null where there is none.
using SpeechOutputFactory = std::function<std::unique_ptr<SpeechOutput>(int sampleRate)>;

// Plays one utterance through the desktop's sound output, phrase by phrase as the phrases are
// rendered, and paces the balloon and the mouth by what the output has actually played. A
// phrase is let go once it has been heard, so only the audio still ahead is held. The
// utterance ends when the output has played it to the last sample; an output that stops
// playing is left and the rest runs silently. Without a sound device the utterance runs
// silently with the same timing.
class SpeechPlayer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeechPlayer)
public:
    explicit SpeechPlayer(QObject* parent = nullptr);
    ~SpeechPlayer() override;

    // Starts an utterance; its phrases follow with append(), and close() says none follow.
    void begin();
    void append(const SpeechAudio& phrase);
    void close();
    // An utterance of one phrase.
    void play(const SpeechAudio& audio);
    void stop();
    bool isPlaying() const { return m_frame.isActive(); }
    bool audible() const;
    void setOutputFactory(SpeechOutputFactory factory) { m_openOutput = std::move(factory); }

    // Rendered audio of this utterance not yet played, and the samples held for it.
    qint64 aheadMs() const { return m_totalMs - m_positionMs; }
    qsizetype heldSamples() const;

    // Rendered audio wanted ahead of what is playing before the next phrase is asked for.
    static constexpr int AheadWantedMs = 3000;
    // An output that plays nothing for this long is given up.
    static constexpr int StallMs = 3000;

signals:
    // Several times a second while playing: balloon characters shown and mouth opening.
    void progressed(qsizetype shown, float level);
    // Less than AheadWantedMs is left to play and the utterance is still open.
    void wantsMore();
    void finished();

private:
    struct Phrase {
        qint64 startMs = 0;
        qsizetype shownBase = 0;
        qsizetype written = 0; // samples handed to the output
        SpeechAudio audio;
    };

    void tick();
    void feed();
    qint64 playedMs();
    void release();
    const Phrase* phraseAt(qint64 ms) const;

    QList<Phrase> m_phrases; // not yet played to the end
    qint64 m_totalMs = 0;
    qsizetype m_totalShown = 0;
    qint64 m_positionMs = 0;
    bool m_closed = false;
    bool m_asked = false;

    QTimer m_frame;
    QElapsedTimer m_clock;
    qint64 m_lastTickMs = 0;
    qint64 m_progressAtMs = 0; // wall time the position last moved
    SpeechOutputFactory m_openOutput;
    std::unique_ptr<SpeechOutput> m_output;
    qint64 m_outputStartMs = 0; // where on the utterance's time line the output began
    qint64 m_tailBytes = 0;     // silence still to follow the last phrase
    bool m_silent = false;
};
