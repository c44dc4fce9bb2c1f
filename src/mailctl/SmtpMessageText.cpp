#include "SmtpMessageText.h"

QByteArray SmtpMessageText::compose(const QString& subject, const QString& body) {
    const QByteArray text =
        (QStringLiteral("Subject: ") + subject + QStringLiteral("\r\n") + body).toUtf8();
    QByteArray data;
    data.reserve(text.size() + text.size() / 16 + 8);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArray line = text.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('.'))
            data.append('.');
        data.append(line).append("\r\n");
        start = end + 1;
    }
    data.append(".\r\n");
    return data;
}
