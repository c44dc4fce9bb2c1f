#include "character/SpeechSynthesizer.h"

#include "character/SpeechMarkup.h"

#include <cmath>
#include <espeak-ng/espeak_ng.h>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex& engineLock() {
    static QMutex lock;
    return lock;
}

struct WordEvent {
    int audioMs;
    int textPosition; // 1-based
    int length;
};

struct Collector {
    QVector<qint16>* samples = nullptr;
    QList<WordEvent> words;
};

// The rendering in progress; set and cleared under the engine lock.
Collector* current = nullptr;

int collect(short* wav, int count, espeak_EVENT* events) {
    if (!current)
        return 0;
    if (wav && count > 0)
        current->samples->append(QVector<qint16>(wav, wav + count));
    for (espeak_EVENT* event = events; event && event->type != espeakEVENT_LIST_TERMINATED;
         ++event) {
        if (event->type == espeakEVENT_WORD)
            current->words.append({event->audio_position, event->text_position, event->length});
    }
    return 0;
}

// Initialised once; returns the sample rate, or 0 when espeak-ng cannot run here.
int engineSampleRate() {
    static const int rate = [] {
        espeak_ng_InitializePath(nullptr);
        if (espeak_ng_Initialize(nullptr) != ENS_OK)
            return 0;
        if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) != ENS_OK)
            return 0;
        espeak_SetSynthCallback(collect);
        return espeak_ng_GetSampleRate();
    }();
    return rate;
}

bool selectVoice(const SpeechVoice& voice) {
    if (espeak_SetVoiceByName(voice.name.toUtf8().constData()) != EE_OK &&
        espeak_SetVoiceByName("en") != EE_OK)
        return false;
    espeak_SetParameter(espeakRATE, qBound(80, voice.rate, 450), 0);
    espeak_SetParameter(espeakPITCH, qBound(0, voice.pitch, 100), 0);
    espeak_SetParameter(espeakRANGE, qBound(0, voice.range, 100), 0);
    espeak_SetParameter(espeakVOLUME, qBound(0, voice.volume, 200), 0);
    return true;
}

// Speech-free stand-in for a segment when no voice can speak: about the time a person
// would take to say it.
qint64 silentDurationMs(const QString& spoken, int rate) {
    const qint64 count = spoken.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
    return count * 60000 / qMax(80, rate);
}

void appendSilence(SpeechAudio& audio, qint64 ms) {
    audio.samples.resize(audio.samples.size() + qsizetype(ms * audio.sampleRate / 1000), 0);
}

void buildEnvelope(SpeechAudio& audio) {
    const int step = audio.sampleRate * SpeechAudio::EnvelopeStepMs / 1000;
    if (step <= 0)
        return;
    audio.envelope.reserve(audio.samples.size() / step + 1);
    for (qsizetype start = 0; start < audio.samples.size(); start += step) {
        const qsizetype end = qMin(audio.samples.size(), start + step);
        double sum = 0;
        for (qsizetype i = start; i < end; ++i)
            sum += double(audio.samples[i]) * audio.samples[i];
        const double rms = std::sqrt(sum / double(end - start));
        audio.envelope.append(float(qBound(0.0, std::sqrt(rms / 6000.0), 1.0)));
    }
}

} // namespace

bool SpeechSynthesizer::available() {
    QMutexLocker locker(&engineLock());
    return engineSampleRate() > 0;
}

SpeechAudio SpeechSynthesizer::render(const QString& text, const SpeechVoice& voice) {
    const QList<SpeechSegment> segments = SpeechMarkup::parse(text);
    SpeechAudio audio;
    audio.shownText = SpeechMarkup::shownText(segments);

    QMutexLocker locker(&engineLock());
    const int rate = engineSampleRate();
    const bool speaking = rate > 0 && selectVoice(voice);
    if (rate > 0)
        audio.sampleRate = rate;

    qsizetype shownBase = 0;
    for (const SpeechSegment& segment : segments) {
        const qint64 startMs = audio.durationMs();
        if (segment.pauseMs > 0) {
            appendSilence(audio, segment.pauseMs);
            continue;
        }
        if (segment.mapped)
            audio.marks.append({startMs, shownBase + segment.shown.size()});

        QString spoken = segment.spoken;
        spoken.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (!spoken.trimmed().isEmpty()) {
            Collector collector;
            collector.samples = &audio.samples;
            const QByteArray utf8 = spoken.toUtf8();
            current = &collector;
            const bool spokeIt = speaking && espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1,
                                                          0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                                                          nullptr, nullptr) == EE_OK;
            current = nullptr;
            if (!spokeIt)
                appendSilence(audio, silentDurationMs(spoken, voice.rate));
            if (!segment.mapped) {
                for (const WordEvent& word : std::as_const(collector.words)) {
                    const qsizetype end =
                        qBound(qsizetype(0), qsizetype(word.textPosition - 1 + word.length),
                               segment.shown.size());
                    audio.marks.append({startMs + word.audioMs, shownBase + end});
                }
            }
        }
        shownBase += segment.shown.size();
        // Whatever the word events missed shows by the end of its segment.
        audio.marks.append({audio.durationMs(), shownBase});
    }
    buildEnvelope(audio);
    return audio;
}
