#include "character/SpeechService.h"

#include "character/SpeechSynthesizer.h"

#include <QPointer>

SpeechService::SpeechService(QObject* parent)
    : QObject(parent)
    , m_worker(new QObject) {
    qRegisterMetaType<SpeechAudio>();
    m_thread.setObjectName(QStringLiteral("Speech"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

SpeechService::~SpeechService() {
    m_thread.quit();
    m_thread.wait();
}

quint64 SpeechService::request(const QString& text, const SpeechVoice& voice) {
    return request(SpeechMarkup::parse(text), voice);
}

quint64 SpeechService::request(const QList<SpeechSegment>& segments, const SpeechVoice& voice) {
    const quint64 ticket = m_nextTicket++;
    QPointer<SpeechService> self(this);
    QMetaObject::invokeMethod(
        m_worker,
        [self, ticket, segments, voice] {
            SpeechAudio audio;
            try {
                audio = SpeechSynthesizer::render(segments, voice);
            } catch (...) {
                audio.shownText = SpeechMarkup::shownText(segments); // shown unspoken, not lost
            }
            // Delivered on the service's own thread; dropped if the service is gone by then.
            if (self)
                QMetaObject::invokeMethod(
                    self.data(),
                    [self, ticket, audio] {
                        if (self)
                            emit self->rendered(ticket, audio);
                    },
                    Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return ticket;
}
