#include "SmtpMessageText.h"

QByteArray SmtpMessageText::compose(const QString& subject, const QString& body) {
    QByteArray text =
        (QStringLiteral("Subject: ") + subject + QStringLiteral("\r\n") + body).toUtf8();
    text.replace('\0', ' ');
    QByteArray data;
    data.reserve(text.size() + text.size() / 16 + 8);
    qsizetype start = 0;
    // A bare CR ends a line as much as LF or CR LF does: a server may read it so, and must
    // never find a lone "." that we did not double.
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != '\r' && text.at(end) != '\n')
            ++end;
        if (end > start && text.at(start) == '.')
            data.append('.');
        data.append(text.constData() + start, end - start).append("\r\n");
        if (end == text.size())
            break;
        const bool crLf = text.at(end) == '\r' && end + 1 < text.size() && text.at(end + 1) == '\n';
        start = end + (crLf ? 2 : 1);
    }
    data.append(".\r\n");
    return data;
}
