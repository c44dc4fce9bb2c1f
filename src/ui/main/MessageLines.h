#pragma once

#include <QString>

class QPlainTextEdit;

// The message window shows the log's CRLF text with one block per line. Adding a line changes
// only the two ends of what it shows: the oldest lines leave the top and the new one is added
// at the bottom, so the lines in between are neither set again nor laid out again.
namespace MessageLines {

// Takes the lines of `removed` off the top of the box and adds the lines of `added` at its
// bottom, then shows the end. False, with the box unchanged, when either text holds a line
// break that is no CRLF or the box has fewer lines than `removed`: the caller then shows the
// whole text again.
bool replaceEnds(QPlainTextEdit& box, const QString& removed, const QString& added);

} // namespace MessageLines
