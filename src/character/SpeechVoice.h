#pragma once

#include <QString>

// How a character sounds: an espeak-ng voice name (language, optionally "+variant") and its
// prosody settings.
struct SpeechVoice {
    QString name = QStringLiteral("en");
    int rate = 170; // words per minute
    int pitch = 50; // 0..100
    int range = 50; // 0..100, pitch variation
    int volume = 100;

    bool operator==(const SpeechVoice&) const = default;
};
