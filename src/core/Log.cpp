#include "core/Log.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/RuntimeError.h"
#include "core/TrimBlanks.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString CRLF = QStringLiteral("\r\n");

bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029;
}

// Names and error texts are data: a line break in one must neither split its event nor forge
// another, in the file or in the message window.
QString oneLine(const QString& text) {
    if (std::none_of(text.begin(), text.end(), isControl))
        return text;
    QString line = text;
    std::replace_if(line.begin(), line.end(), isControl, QLatin1Char(' '));
    return line;
}
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
           trimBlanks(oneLine(text));
}

QString Log::logFilePath() {
    SettingsCatalogue& catalogue = m_context.catalogue();
    const QString path = catalogue.logFile();
    if (QFileInfo(path).isFile())
        return path;
    // At a first start the default file is simply not there yet: nobody chose it, so nobody
    // needs telling. A file that cannot be made is reported when the line is written.
    const QString defaultPath = catalogue.defaultLogFile();
    if (QDir::cleanPath(path) == QDir::cleanPath(defaultPath) && !QFileInfo(path).isDir()) {
        (void)QFile(path).open(QIODevice::WriteOnly | QIODevice::Append);
        return path;
    }
    // A chosen file that has gone, or a folder of that name, is reset to the default.
    m_context.speak(QStringLiteral("The log file you specified could not be found and was reset "
                                   "back to the default value.") +
                        CRLF +
                        QStringLiteral("You can change the log file location from the options "
                                       "dialogue."),
                    QStringLiteral("Explain"));
    catalogue.set(Key::LogFile, defaultPath);
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
