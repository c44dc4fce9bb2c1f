#pragma once

#include <QObject>
#include <QString>

class AppContext;
class FileViewer;

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
    // Shows a local text file in the program's own viewer where one is registered; anything
    // else is logged as a warning and the user is told nothing on the desktop could open it.
    void cannotOpen(const QString& target);
    // The window layer registers its viewer; not owned, null for none.
    void setFileViewer(FileViewer* viewer) { m_viewer = viewer; }
    FileViewer* fileViewer() const { return m_viewer; }

    static QString reportText(qint32 number, const QString& description,
                              const QString& routineName);

signals:
    // The program is about to end on a report: stop every timer and check, start nothing new.
    void halting();

private:
    bool isTextFile(const QString& path);

    AppContext& m_context;
    FileViewer* m_viewer = nullptr;
    bool m_reporting = false;
};
