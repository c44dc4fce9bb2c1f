#include "character/SpeechMarkup.h"

#include <QRegularExpression>

namespace {

constexpr int MaxPauseMs = 60000;

// The balloon shows a pause between two words as a space, so that "down.\pau=800\Mail"
// does not read "down.Mail"; the space belongs to the pause, which the voice does not speak.
void spaceAfterPause(QList<SpeechSegment>& segments, const QString& next) {
    if (segments.size() < 2 || segments.last().pauseMs == 0 || next.front().isSpace())
        return;
    const QString& before = segments.at(segments.size() - 2).shown;
    if (!before.isEmpty() && !before.back().isSpace())
        segments.last().shown = QStringLiteral(" ");
}

void appendText(QList<SpeechSegment>& segments, const QString& text) {
    if (text.isEmpty())
        return;
    spaceAfterPause(segments, text);
    if (!segments.isEmpty() && segments.last().pauseMs == 0 && !segments.last().mapped) {
        segments.last().spoken += text;
        segments.last().shown += text;
        return;
    }
    segments.append({text, text, 0, false});
}

void appendPause(QList<SpeechSegment>& segments, int ms) {
    if (ms <= 0)
        return;
    if (!segments.isEmpty() && segments.last().pauseMs > 0) {
        segments.last().pauseMs = qMin(MaxPauseMs, segments.last().pauseMs + ms);
        return;
    }
    segments.append({{}, {}, qMin(MaxPauseMs, ms), false});
}

// Pauses inside the spoken half of a map tag are kept; the other tags there are dropped.
void appendMapped(QList<SpeechSegment>& segments, const QString& spoken, const QString& shown) {
    const QList<SpeechSegment> inner = SpeechMarkup::parse(spoken);
    bool shownPlaced = false;
    for (const SpeechSegment& part : inner) {
        if (part.pauseMs > 0) {
            appendPause(segments, part.pauseMs);
            continue;
        }
        segments.append({part.spoken, shownPlaced ? QString() : shown, 0, true});
        shownPlaced = true;
    }
    if (!shownPlaced && !shown.isEmpty())
        segments.append({QString(), shown, 0, true});
}

} // namespace

QList<SpeechSegment> SpeechMarkup::parse(const QString& text) {
    static const QRegularExpression pause(QStringLiteral("^pau=(\\d{1,9})$"),
                                          QRegularExpression::CaseInsensitiveOption);
    QList<SpeechSegment> segments;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('\\'), pos);
        if (open < 0) {
            appendText(segments, text.mid(pos));
            break;
        }
        appendText(segments, text.mid(pos, open - pos));

        const QString mapOpen = QStringLiteral("map=\"");
        if (text.mid(open + 1, mapOpen.size()).compare(mapOpen, Qt::CaseInsensitive) == 0) {
            const qsizetype spokenStart = open + 1 + mapOpen.size();
            const qsizetype middle = text.indexOf(QStringLiteral("\"=\""), spokenStart);
            const qsizetype close =
                middle < 0 ? -1 : text.indexOf(QStringLiteral("\"\\"), middle + 3);
            if (close >= 0) {
                appendMapped(segments, text.mid(spokenStart, middle - spokenStart),
                             text.mid(middle + 3, close - middle - 3));
                pos = close + 2;
                continue;
            }
        }

        const qsizetype close = text.indexOf(QLatin1Char('\\'), open + 1);
        if (close < 0) {
            pos = open + 1; // an unmatched backslash: drop it, keep the words
            continue;
        }
        const QRegularExpressionMatch match = pause.match(text.mid(open + 1, close - open - 1));
        if (match.hasMatch())
            appendPause(segments, match.captured(1).toInt());
        pos = close + 1;
    }
    return segments;
}

QString SpeechMarkup::shownText(const QList<SpeechSegment>& segments) {
    QString shown;
    for (const SpeechSegment& segment : segments)
        shown += segment.shown;
    return shown;
}

QList<QList<SpeechSegment>> SpeechMarkup::phrases(const QList<SpeechSegment>& segments) {
    QList<QList<SpeechSegment>> result{{}};
    for (const SpeechSegment& segment : segments) {
        result.last().append(segment);
        if (segment.pauseMs >= PhrasePauseMs)
            result.append(QList<SpeechSegment>{});
    }
    // A speech that ends in a long pause leaves no empty phrase behind it.
    if (result.size() > 1 && result.last().isEmpty())
        result.removeLast();
    return result;
}
