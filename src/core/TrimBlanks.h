#pragma once

#include <QString>

// Removes the blanks (spaces) around a text. Tabs and line breaks stay where a caller put them,
// so the name checks that refuse them still see them.
inline QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
