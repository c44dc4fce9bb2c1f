#pragma once

#include <QObject>
#include <QString>

class AppContext;

// The common error report: tells the person what went wrong and where, then ends the program.
// Before the report shows, everything that runs by itself (the monitoring) is told to halt, so
// nothing goes on behind the report while the person reads it.
class ErrorReport final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ErrorReport)

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

signals:
    // The program is about to end on a report: stop every timer and check, start nothing new.
    void halting();

private:
    AppContext& m_context;
    bool m_reporting = false;
};
