#pragma once

#include <QString>

class QLineEdit;

namespace DialogText {

inline const QString CRLF = QStringLiteral("\r\n");

// A box that receives the focus, by any means, selects its whole text.
void selectAllOnFocus(QLineEdit* box);

// A box that shows a value that cannot be changed here: read-only, on the window's colour.
void lock(QLineEdit* box);

// A tool tip that shows the text as it is. Qt reads a tip that looks like markup as markup,
// so a name such as "<b>x</b>" would show bold and an "&amp;" as "&".
QString plainTip(const QString& text);

} // namespace DialogText
