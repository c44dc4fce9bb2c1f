#include "character/SpeechPlayer.h"

#ifdef ORVEX_HAVE_AUDIO
#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#endif

namespace {
constexpr int FrameMs = 33;
// Written after the last phrase, so that whatever the output still holds when the utterance
// ends is silence rather than the end of a word.
constexpr int TailMs = 250;
constexpr qint64 BytesPerSample = qint64(sizeof(qint16));
} // namespace

#ifdef ORVEX_HAVE_AUDIO
namespace {

// The desktop's sound device. Data is pushed as the device has room for it, and the clock is
// what the device reports as played, which trails what was written by the time the sound
// server takes to start the stream and by its latency.
class AudioOutput final : public SpeechOutput {
public:
    static std::unique_ptr<SpeechOutput> open(int sampleRate) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return nullptr;
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return nullptr;
        auto output = std::make_unique<AudioOutput>();
        output->m_sink = std::make_unique<QAudioSink>(device, format);
        output->m_device = output->m_sink->start();
        if (!output->m_device || output->m_sink->error() != QAudio::NoError)
            return nullptr;
        return output;
    }
    ~AudioOutput() override {
        if (m_sink)
            m_sink->stop();
    }
    qint64 write(const char* data, qint64 bytes) override {
        const qint64 room = m_sink->bytesFree() / BytesPerSample * BytesPerSample;
        const qint64 taken = qMin(bytes, room);
        return taken > 0 ? qMax<qint64>(0, m_device->write(data, taken)) : 0;
    }
    qint64 playedMs() const override { return m_sink->processedUSecs() / 1000; }

private:
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_device = nullptr;
};

std::unique_ptr<SpeechOutput> openDesktopOutput(int sampleRate) {
    return AudioOutput::open(sampleRate);
}

} // namespace
#else
namespace {
std::unique_ptr<SpeechOutput> openDesktopOutput(int) {
    return nullptr;
}
} // namespace
#endif

SpeechPlayer::SpeechPlayer(QObject* parent)
    : QObject(parent)
    , m_openOutput(openDesktopOutput) {
    m_frame.setInterval(FrameMs);
    m_frame.setTimerType(Qt::PreciseTimer);
    connect(&m_frame, &QTimer::timeout, this, &SpeechPlayer::tick);
}

SpeechPlayer::~SpeechPlayer() = default;

bool SpeechPlayer::audible() const {
    return m_output != nullptr;
}

qsizetype SpeechPlayer::heldSamples() const {
    qsizetype held = 0;
    for (const Phrase& phrase : m_phrases)
        held += phrase.audio.samples.size();
    return held;
}

void SpeechPlayer::begin() {
    stop();
    m_totalMs = 0;
    m_totalShown = 0;
    m_positionMs = 0;
    m_closed = false;
    m_asked = false;
    m_silent = false;
    m_tailBytes = 0;
    m_clock.start();
    m_lastTickMs = 0;
    m_progressAtMs = 0;
    m_frame.start();
}

void SpeechPlayer::append(const SpeechAudio& phrase) {
    if (!isPlaying() || m_closed)
        return;
    m_phrases.append({m_totalMs, m_totalShown, 0, phrase});
    m_totalMs += phrase.durationMs();
    m_totalShown += phrase.shownText.size();
    m_asked = false;
    if (!m_output && !m_silent && !phrase.samples.isEmpty()) {
        m_output = m_openOutput ? m_openOutput(phrase.sampleRate) : nullptr;
        m_silent = !m_output;
        m_outputStartMs = m_phrases.last().startMs;
        m_tailBytes = qint64(phrase.sampleRate) * TailMs / 1000 * BytesPerSample;
    }
    feed();
}

void SpeechPlayer::close() {
    m_closed = true;
    if (isPlaying())
        tick();
}

void SpeechPlayer::play(const SpeechAudio& audio) {
    begin();
    append(audio);
    close();
}

void SpeechPlayer::stop() {
    m_frame.stop();
    m_output.reset();
    m_phrases.clear();
}

void SpeechPlayer::feed() {
    if (!m_output)
        return;
    for (Phrase& phrase : m_phrases) {
        const QVector<qint16>& samples = phrase.audio.samples;
        if (phrase.written >= samples.size())
            continue;
        const qint64 bytes = (samples.size() - phrase.written) * BytesPerSample;
        const qint64 taken = m_output->write(
            reinterpret_cast<const char*>(samples.constData() + phrase.written), bytes);
        phrase.written += qsizetype(taken / BytesPerSample);
        if (taken < bytes)
            return; // the device is full for now
    }
    if (!m_closed)
        return;
    static const QByteArray silence(4096, '\0');
    while (m_tailBytes > 0) {
        const qint64 taken = m_output->write(silence.constData(), qMin(m_tailBytes, 4096LL));
        if (taken <= 0)
            return;
        m_tailBytes -= taken;
    }
}

qint64 SpeechPlayer::playedMs() {
    const qint64 now = m_clock.elapsed();
    const qint64 sinceLastTick = now - m_lastTickMs;
    m_lastTickMs = now;
    if (m_output)
        return m_outputStartMs + m_output->playedMs();
    return m_positionMs + sinceLastTick;
}

// Phrases heard to their end are let go; the text they showed stays counted.
void SpeechPlayer::release() {
    while (!m_phrases.isEmpty()) {
        const Phrase& first = m_phrases.first();
        const bool handedOver = !m_output || first.written >= first.audio.samples.size();
        if (!handedOver || first.startMs + first.audio.durationMs() > m_positionMs)
            return;
        m_phrases.removeFirst();
    }
}

const SpeechPlayer::Phrase* SpeechPlayer::phraseAt(qint64 ms) const {
    for (const Phrase& phrase : m_phrases) {
        if (ms < phrase.startMs + phrase.audio.durationMs())
            return &phrase;
    }
    return nullptr;
}

void SpeechPlayer::tick() {
    feed();
    const qint64 position = qMin(playedMs(), m_totalMs);
    if (position > m_positionMs) {
        m_positionMs = position;
        m_progressAtMs = m_lastTickMs;
    } else if (m_output && m_positionMs < m_totalMs && m_lastTickMs - m_progressAtMs >= StallMs) {
        // The device has stopped playing: the rest of the utterance runs silently.
        m_output.reset();
        m_silent = true;
        m_progressAtMs = m_lastTickMs;
    }
    release();

    if (m_closed && m_positionMs >= m_totalMs) {
        stop();
        emit progressed(m_totalShown, 0.0f);
        emit finished();
        return;
    }
    if (const Phrase* phrase = phraseAt(m_positionMs)) {
        const qint64 into = m_positionMs - phrase->startMs;
        emit progressed(phrase->shownBase + phrase->audio.shownAt(into),
                        phrase->audio.levelAt(into));
    } else {
        emit progressed(m_totalShown, 0.0f);
    }
    if (!m_closed && !m_asked && aheadMs() < AheadWantedMs) {
        m_asked = true;
        emit wantsMore();
    }
}
