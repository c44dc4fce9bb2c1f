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

// Speech-free stand-in when no voice can speak: about the time a person would take.
qint64 silentDurationMs(const QList<SpeechSegment>& segments, int rate) {
    qint64 ms = 0;
    for (const SpeechSegment& segment : segments) {
        ms += segment.pauseMs;
        ms += segment.spoken.split(QLatin1Char(' '), Qt::SkipEmptyParts).size() * 60000 /
              qMax(80, rate);
    }
    return ms;
}

// The whole utterance as one SSML document, so the voice keeps its sentence melody across
// pauses; for every character of the document, how much of the balloon text is due once the
// voice has reached it.
struct Document {
    QString ssml;
    QVector<qsizetype> shownAfter;

    void append(const QString& text, qsizetype shown) {
        ssml += text;
        shownAfter.insert(shownAfter.size(), text.size(), shown);
    }
};

Document buildDocument(const QList<SpeechSegment>& segments) {
    Document document;
    document.append(QStringLiteral("<speak>"), 0);
    qsizetype shownBase = 0;
    for (const SpeechSegment& segment : segments) {
        if (segment.pauseMs > 0) {
            shownBase += segment.shown.size();
            document.append(QStringLiteral("<break time=\"%1ms\"/>").arg(segment.pauseMs),
                            shownBase);
            continue;
        }
        for (qsizetype i = 0; i < segment.spoken.size(); ++i) {
            QChar c = segment.spoken.at(i);
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
                c = QLatin1Char(' ');
            const qsizetype shown = segment.mapped ? shownBase + segment.shown.size()
                                                   : shownBase + qMin(i + 1, segment.shown.size());
            if (c == QLatin1Char('<'))
                document.append(QStringLiteral("&lt;"), shown);
            else if (c == QLatin1Char('>'))
                document.append(QStringLiteral("&gt;"), shown);
            else if (c == QLatin1Char('&'))
                document.append(QStringLiteral("&amp;"), shown);
            else
                document.append(QString(c), shown);
        }
        shownBase += segment.shown.size();
    }
    document.append(QStringLiteral("</speak>"), shownBase);
    return document;
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
    return render(SpeechMarkup::parse(text), voice);
}

SpeechAudio SpeechSynthesizer::render(const QList<SpeechSegment>& segments,
                                      const SpeechVoice& voice) {
    SpeechAudio audio;
    audio.shownText = SpeechMarkup::shownText(segments);
    if (segments.isEmpty())
        return audio;

    QMutexLocker locker(&engineLock());
    const int rate = engineSampleRate();
    bool spoke = false;
    Collector collector;
    collector.samples = &audio.samples;
    const Document document = buildDocument(segments);
    if (rate > 0 && selectVoice(voice)) {
        audio.sampleRate = rate;
        const QByteArray utf8 = document.ssml.toUtf8();
        current = &collector;
        spoke = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8 | espeakSSML, nullptr, nullptr) == EE_OK;
        current = nullptr;
    }
    if (!spoke) {
        audio.samples.clear();
        collector.words.clear();
        appendSilence(audio, silentDurationMs(segments, voice.rate));
    }

    // A word shows when the voice starts it; a mapped text shows whole with its first word.
    for (const WordEvent& word : std::as_const(collector.words)) {
        const qsizetype last = qBound(qsizetype(0), qsizetype(word.textPosition - 2 + word.length),
                                      document.shownAfter.size() - 1);
        audio.marks.append({word.audioMs, document.shownAfter.at(last)});
    }
    // Whatever the word events missed shows by the end.
    audio.marks.append({audio.durationMs(), audio.shownText.size()});
    buildEnvelope(audio);
    return audio;
}
