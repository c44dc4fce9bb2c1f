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

// A box that shows a value that cannot be changed here: read-only, on the window's colour.
void lock(QLineEdit* box);

} // namespace DialogText
