#pragma once

#include <QString>

class QLineEdit;

namespace DialogText {

inline const QString CRLF = QStringLiteral("\r\n");

// Removes the blanks (spaces) around a text; tabs and line breaks stay, so that the checks
// that refuse them still see them.
QString trimBlanks(const QString& text);

// A box that receives the focus, by any means, selects its whole text.
void selectAllOnFocus(QLineEdit* box);

} // namespace DialogText
