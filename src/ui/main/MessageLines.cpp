#include "ui/main/MessageLines.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// Whether every line break of the text is a CRLF, the only break the log's lines are split at.
bool onlyCrlfBreaks(const QString& text) {
    const qsizetype breaks = text.count(CRLF);
    return text.count(QLatin1Char('\n')) == breaks && text.count(QLatin1Char('\r')) == breaks;
}
} // namespace

bool MessageLines::replaceEnds(QPlainTextEdit& box, const QString& removed, const QString& added) {
    if (!onlyCrlfBreaks(removed) || !onlyCrlfBreaks(added) || !added.endsWith(CRLF))
        return false;
    const qsizetype lines = removed.count(CRLF);
    if (lines >= box.document()->blockCount())
        return false;
    if (lines > 0) {
        // Inside an edit block the cursor does not lay out the lines it moves over.
        QTextCursor top(box.document());
        top.beginEditBlock();
        top.movePosition(QTextCursor::Start);
        top.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, int(lines));
        top.removeSelectedText();
        top.endEditBlock();
    }
    QString shown = added;
    shown.chop(CRLF.size());
    shown.replace(CRLF, QStringLiteral("\n"));
    box.appendPlainText(shown);
    box.moveCursor(QTextCursor::End);
    box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
    return true;
}
