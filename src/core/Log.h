#pragma once

#include <QString>

class AppContext;

// The activity log: one line per event in the main window's message window (the last 101
// lines) and, when logging is on, appended to the log file.
class Log final {
public:
    explicit Log(AppContext& context);

    void WriteLog(const QString& text, const QString& kind);

    // The non-empty lines of text, without the first when it holds more than maxLines breaks.
    static QString Check_Log(const QString& text, qint32 maxLines);

    // The line WriteLog writes for text and kind at the context's current time.
    QString formatLine(const QString& text, const QString& kind) const;

private:
    QString logFilePath();
    static void appendLine(const QString& path, const QString& line);

    AppContext& m_context;
};
