#pragma once

#include <QString>

// Making outside text safe where the status page puts it. Device names, ports and error
// texts come from the operator and from the network; none of them may add markup to the
// page, end an attribute early or break out of a script string.
namespace HtmlText {
// Text for element content and for attribute values in single or double quotes.
QString escaped(const QString& text);

// Text inside a double-quoted script string literal of the page's character script: quotes
// are doubled, line breaks become blanks, and "<" is spliced in with Chr(60) so that nothing
// in the string can close the script element or open a comment in it.
QString scriptString(const QString& text);
} // namespace HtmlText
