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
// Splits a speech after each pause of at least PhrasePauseMs, so a long announcement can be
// voiced phrase by phrase instead of as one recording of many minutes. The phrases, joined,
// are the segments again; an empty speech is one empty phrase.
QList<QList<SpeechSegment>> phrases(const QList<SpeechSegment>& segments);
constexpr int PhrasePauseMs = 500;
} // namespace SpeechMarkup
