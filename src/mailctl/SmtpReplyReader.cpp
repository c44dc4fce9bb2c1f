#include "SmtpReplyReader.h"

namespace {
// A line longer than any server sends is cut here, so a peer that never ends its line
// cannot make the buffer grow without bound.
constexpr qsizetype MaxLineLength = 64 * 1024;
// Likewise for a reply that goes on with "NNN-" lines: past this size its further
// continuation lines are dropped; the last line, which carries the code, is always kept.
constexpr qsizetype MaxReplyLength = 64 * 1024;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isContinuation(const QByteArray& line) {
    return line.size() >= 4 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) &&
           line[3] == '-';
}

int leadingNumber(const QByteArray& line) {
    int value = 0;
    for (qsizetype i = 0; i < line.size() && i < 9 && isDigit(line[i]); ++i)
        value = value * 10 + (line[i] - '0');
    return value;
}
} // namespace

QList<SmtpReply> SmtpReplyReader::feed(const QByteArray& bytes) {
    QList<SmtpReply> replies;
    m_pending.append(bytes);
    for (;;) {
        qsizetype lineEnd = m_pending.indexOf('\n', m_lineStart);
        if (lineEnd < 0) {
            if (m_pending.size() - m_lineStart < MaxLineLength)
                break;
            lineEnd = m_pending.size() - 1;
        }
        const qsizetype lineStart = m_lineStart;
        const QByteArray line = m_pending.mid(lineStart, lineEnd - lineStart);
        m_lineStart = lineEnd + 1;
        if (isContinuation(line)) {
            if (m_lineStart > MaxReplyLength) {
                m_pending.remove(lineStart, m_lineStart - lineStart);
                m_lineStart = lineStart;
            }
            continue;
        }
        replies.append({leadingNumber(line), m_pending.left(m_lineStart)});
        m_pending.remove(0, m_lineStart);
        m_lineStart = 0;
    }
    return replies;
}

void SmtpReplyReader::clear() {
    m_pending.clear();
    m_lineStart = 0;
}
