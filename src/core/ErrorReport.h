#pragma once

#include <QString>

class AppContext;

// The common error report: tells the person what went wrong and where, then ends the program.
class ErrorReport final {
public:
    explicit ErrorReport(AppContext& context);

    // Ends the program through the context's ProgramEnd; returns only where a test replaced it.
    void ReportError(qint32 number, const QString& description, const QString& routineName);

    // Opens a file path, "file://" address or web address with the desktop.
    void Navigate(const QString& target);
    // Logs a warning and tells the user that nothing on the desktop could open the target.
    void cannotOpen(const QString& target);

    static QString reportText(qint32 number, const QString& description,
                              const QString& routineName);

private:
    AppContext& m_context;
};
