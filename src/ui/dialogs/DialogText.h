#pragma once

#include <QString>

class QLineEdit;

namespace DialogText {

inline const QString CRLF = QStringLiteral("\r\n");

// A box that receives the focus, by any means, selects its whole text.
void selectAllOnFocus(QLineEdit* box);

// A box that shows a value that cannot be changed here: read-only, on the window's colour.
void lock(QLineEdit* box);

} // namespace DialogText
