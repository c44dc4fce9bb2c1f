#pragma once

#include <QList>
#include <QString>

// One piece of a speech text once its tags are read: words to speak, the text the balloon
// shows for them, or a pause.
struct SpeechSegment {
    QString spoken;
    QString shown;
    int pauseMs = 0; // > 0 for a pause; spoken and shown are then empty
    // A "\map" segment shows its text at once instead of word by word.
    bool mapped = false;

    bool operator==(const SpeechSegment&) const = default;
};

// Reads the speech tags the program uses: "\pau=N\" pauses N milliseconds and
// "\map="spoken"="shown"\" speaks one text while the balloon shows another. Any other
// backslash tag is dropped; a backslash that opens no complete tag is dropped by itself and
// the text after it is kept. Never fails.
namespace SpeechMarkup {
QList<SpeechSegment> parse(const QString& text);
// The text the balloon shows for the whole speech.
QString shownText(const QList<SpeechSegment>& segments);
} // namespace SpeechMarkup
