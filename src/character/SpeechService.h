#pragma once

#include "character/SpeechAudio.h"
#include "character/SpeechMarkup.h"
#include "character/SpeechVoice.h"

#include <QObject>
#include <QThread>

// Renders speech on a worker thread so the GUI never waits for the synthesiser. Requests are
// rendered in the order they were made; each ends in exactly one rendered() signal, delivered
// on the thread that owns the service.
class SpeechService final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeechService)
public:
    explicit SpeechService(QObject* parent = nullptr);
    ~SpeechService() override;

    quint64 request(const QString& text, const SpeechVoice& voice);
    quint64 request(const QList<SpeechSegment>& segments, const SpeechVoice& voice);

signals:
    void rendered(quint64 ticket, const SpeechAudio& audio);

private:
    QThread m_thread;
    QObject* m_worker; // lives on m_thread
    quint64 m_nextTicket = 1;
};
