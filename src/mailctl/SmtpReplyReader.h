#pragma once

#include <QByteArray>
#include <QList>

struct SmtpReply {
    int code = 0;    // the leading number of the last line; 0 when it has none
    QByteArray text; // every line of the reply as received, line breaks included
};

// Frames a server's replies by line, however the bytes were split across reads. A reply is
// complete when its last line arrives: a line that is not "NNN-" continued.
class SmtpReplyReader final {
public:
    // Takes the bytes just read and returns the replies they complete, in order.
    QList<SmtpReply> feed(const QByteArray& bytes);
    void clear();

private:
    QByteArray m_pending;
    qsizetype m_lineStart = 0;
};
