#pragma once

#include "character/SpeechAudio.h"

#include <memory>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class AudioOutput;

// Plays a rendered utterance through the desktop's sound output and paces the balloon and the
// mouth by the clock. Without a sound device the utterance runs silently with the same timing.
class SpeechPlayer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeechPlayer)
public:
    explicit SpeechPlayer(QObject* parent = nullptr);
    ~SpeechPlayer() override;

    void play(const SpeechAudio& audio);
    void stop();
    bool isPlaying() const { return m_frame.isActive(); }
    bool audible() const;

signals:
    // Several times a second while playing: balloon characters shown and mouth opening.
    void progressed(qsizetype shown, float level);
    void finished();

private:
    void tick();

    SpeechAudio m_audio;
    QTimer m_frame;
    QElapsedTimer m_clock;
    std::unique_ptr<AudioOutput> m_output;
};
