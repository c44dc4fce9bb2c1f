#include "core/Log.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/RuntimeError.h"
#include "core/TrimBlanks.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString CRLF = QStringLiteral("\r\n");

} // namespace

Log::Log(AppContext& context)
    : m_context(context) {}

void Log::WriteLog(const QString& text, const QString& kind) {
    trapErrors(m_context, "WriteLog", [&] {
        const QString path = logFilePath();
        const QString line = formatLine(text, kind);
        MessageWindow& window = m_context.messageWindow();
        const QString shown = window.text();
        const QString kept = Check_Log(shown, 100);
        // Usually only the oldest line goes, and the window keeps the others as they are.
        if (shown.endsWith(kept))
            window.appendAtEnd(shown.size() - kept.size(), line + CRLF);
        else
            window.setTextAtEnd(kept + line + CRLF);
        if (m_context.catalogue().logFailures())
            appendLine(path, line);
    });
}

QString Log::formatLine(const QString& text, const QString& kind) const {
    return m_context.clock().generalDate() + QLatin1Char(' ') + kind + QStringLiteral("...") +
           trimBlanks(text);
}

QString Log::logFilePath() {
    SettingsCatalogue& catalogue = m_context.catalogue();
    // A folder of that name is no log file: it is reset like a missing one.
    if (QFileInfo(catalogue.logFile()).isFile())
        return catalogue.logFile();
    m_context.speak(QStringLiteral("The log file you specified could not be found and was reset "
                                   "back to the default value.") +
                        CRLF +
                        QStringLiteral("You can change the log file location from the options "
                                       "dialogue."),
                    QStringLiteral("Explain"));
    catalogue.save(Section::Options, Key::LogFile, catalogue.defaultLogFile());
    return catalogue.logFile();
}

void Log::appendLine(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw RuntimeError(75, QStringLiteral("Path/File access error: ") + file.errorString());
    const QByteArray bytes = (line + CRLF).toUtf8();
    if (file.write(bytes) != bytes.size())
        throw RuntimeError(57, QStringLiteral("Device I/O error: ") + file.errorString());
}

QString Log::Check_Log(const QString& text, qint32 maxLines) {
    const QStringList parts = text.split(CRLF);
    const qsizetype n = parts.size() - 1;
    QString result;
    for (qsizetype i = n; i >= 0; --i) {
        if (parts.at(i).isEmpty() || (i == 0 && n > maxLines))
            continue;
        result.prepend(parts.at(i) + CRLF);
    }
    return result;
}
