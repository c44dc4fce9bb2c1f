#include "character/SpeechAudio.h"

#include <QFile>
#include <QtEndian>

qsizetype SpeechAudio::shownAt(qint64 ms) const {
    qsizetype shown = 0;
    for (const Mark& mark : marks) {
        if (mark.ms > ms)
            break;
        shown = qMax(shown, mark.shown);
    }
    return qMin(shown, shownText.size());
}

float SpeechAudio::levelAt(qint64 ms) const {
    const qint64 index = ms / EnvelopeStepMs;
    return index >= 0 && index < envelope.size() ? envelope.at(index) : 0.0f;
}

QByteArray SpeechAudio::toWav() const {
    const quint32 dataBytes = quint32(samples.size()) * 2;
    QByteArray wav(44, Qt::Uninitialized);
    char* h = wav.data();
    auto put32 = [](char* at, quint32 v) { qToLittleEndian<quint32>(v, at); };
    auto put16 = [](char* at, quint16 v) { qToLittleEndian<quint16>(v, at); };
    memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + dataBytes);
    memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put32(h + 24, quint32(sampleRate));
    put32(h + 28, quint32(sampleRate) * 2);
    put16(h + 32, 2);
    put16(h + 34, 16);
    memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
    for (qint16 sample : samples) {
        char bytes[2];
        qToLittleEndian<qint16>(sample, bytes);
        wav.append(bytes, 2);
    }
    return wav;
}

bool SpeechAudio::writeWav(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(toWav()) >= 44 &&
           file.flush();
}
