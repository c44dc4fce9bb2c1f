#include "report/HtmlText.h"

namespace HtmlText {

QString escaped(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            result += QLatin1String("&amp;");
            break;
        case '<':
            result += QLatin1String("&lt;");
            break;
        case '>':
            result += QLatin1String("&gt;");
            break;
        case '"':
            result += QLatin1String("&quot;");
            break;
        case '\'':
            result += QLatin1String("&#39;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString scriptString(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            result += QLatin1String("\"\"");
            break;
        case '<':
            result += QLatin1String("\" + Chr(60) + \"");
            break;
        case 0x2028:
        case 0x2029:
            result += QLatin1Char(' ');
            break;
        default:
            // A line break or other control character would end or corrupt the statement.
            result += (c.unicode() < 0x20 && c != QLatin1Char('\t')) ? QChar(QLatin1Char(' ')) : c;
        }
    }
    return result;
}

} // namespace HtmlText
