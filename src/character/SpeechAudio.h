#pragma once

#include <QList>
#include <QString>
#include <QVector>

// A rendered utterance: mono 16-bit samples, the moments the balloon reveals more of its
// text, and a loudness envelope that drives the character's mouth.
struct SpeechAudio {
    struct Mark {
        qint64 ms = 0;       // from the start of the audio
        qsizetype shown = 0; // characters of the balloon text visible from then on
    };

    int sampleRate = 22050;
    QVector<qint16> samples;
    QString shownText;
    QList<Mark> marks;
    QVector<float> envelope; // 0..1, one value per EnvelopeStepMs
    static constexpr int EnvelopeStepMs = 20;

    qint64 durationMs() const {
        return sampleRate > 0 ? qint64(samples.size()) * 1000 / sampleRate : 0;
    }
    // Balloon characters visible after the given time.
    qsizetype shownAt(qint64 ms) const;
    float levelAt(qint64 ms) const;

    // RIFF/WAVE, PCM 16-bit mono.
    QByteArray toWav() const;
    bool writeWav(const QString& path) const;
};
