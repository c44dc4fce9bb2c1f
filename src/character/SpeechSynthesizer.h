#pragma once

#include "character/SpeechAudio.h"
#include "character/SpeechMarkup.h"
#include "character/SpeechVoice.h"

// Text to speech with espeak-ng in its synchronous mode. The library keeps one voice for the
// whole process, so renderings are serialised; call it from a worker thread, never from
// the GUI thread. A text that cannot be spoken (no speech data installed, an unknown voice)
// still yields its balloon text, with silence paced like speech.
namespace SpeechSynthesizer {
SpeechAudio render(const QString& text, const SpeechVoice& voice);
// The same for a speech already read into segments (one phrase of it, for example).
SpeechAudio render(const QList<SpeechSegment>& segments, const SpeechVoice& voice);
bool available();
} // namespace SpeechSynthesizer
