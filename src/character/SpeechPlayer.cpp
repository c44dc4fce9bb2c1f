#include "character/SpeechPlayer.h"

#ifdef ORVEX_HAVE_AUDIO
#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#endif

namespace {
constexpr int FrameMs = 33;
}

// The sound device side of playback; absent where the desktop has no sound output.
class AudioOutput {
public:
#ifdef ORVEX_HAVE_AUDIO
    static std::unique_ptr<AudioOutput> open(const SpeechAudio& audio) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return nullptr;
        QAudioFormat format;
        format.setSampleRate(audio.sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return nullptr;
        auto output = std::make_unique<AudioOutput>();
        output->m_data = QByteArray(reinterpret_cast<const char*>(audio.samples.constData()),
                                    audio.samples.size() * qsizetype(sizeof(qint16)));
        output->m_buffer.setData(output->m_data);
        if (!output->m_buffer.open(QIODevice::ReadOnly))
            return nullptr;
        output->m_sink = std::make_unique<QAudioSink>(device, format);
        output->m_sink->start(&output->m_buffer);
        if (output->m_sink->error() != QAudio::NoError)
            return nullptr;
        return output;
    }
    ~AudioOutput() {
        if (m_sink)
            m_sink->stop();
    }

private:
    QByteArray m_data;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
#else
    static std::unique_ptr<AudioOutput> open(const SpeechAudio&) {
        return nullptr;
    }
#endif
};

SpeechPlayer::SpeechPlayer(QObject* parent)
    : QObject(parent) {
    m_frame.setInterval(FrameMs);
    m_frame.setTimerType(Qt::PreciseTimer);
    connect(&m_frame, &QTimer::timeout, this, &SpeechPlayer::tick);
}

SpeechPlayer::~SpeechPlayer() = default;

bool SpeechPlayer::audible() const {
    return m_output != nullptr;
}

void SpeechPlayer::play(const SpeechAudio& audio) {
    stop();
    m_audio = audio;
    if (!m_audio.samples.isEmpty())
        m_output = AudioOutput::open(m_audio);
    m_clock.start();
    m_frame.start();
    tick();
}

void SpeechPlayer::stop() {
    m_frame.stop();
    m_output.reset();
}

void SpeechPlayer::tick() {
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed >= m_audio.durationMs()) {
        stop();
        emit progressed(m_audio.shownText.size(), 0.0f);
        emit finished();
        return;
    }
    emit progressed(m_audio.shownAt(elapsed), m_audio.levelAt(elapsed));
}
