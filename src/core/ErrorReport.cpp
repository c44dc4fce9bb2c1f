#include "core/ErrorReport.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/Log.h"

#include <cstdio>
#include <QFileInfo>

ErrorReport::ErrorReport(AppContext& context)
    : m_context(context) {}

QString ErrorReport::reportText(qint32 number, const QString& description,
                                const QString& routineName) {
    const QString crlf = QStringLiteral("\r\n");
    const QString shownDescription =
        description.isEmpty() ? QStringLiteral("Unknown error") : description;
    return AppInfo::Title + QStringLiteral(" will be shut down due to an error in the program.") +
           crlf + crlf + QStringLiteral("An error has occured in the ") + routineName +
           QStringLiteral(" subroutine.") + crlf + crlf + QStringLiteral("Error Number: \t") +
           QString::number(number) + crlf + QStringLiteral("Error Description: \t") +
           shownDescription + crlf + crlf +
           QStringLiteral("If you can duplicate this error then report it to ") + AppInfo::Contact +
           QStringLiteral(" ") + crlf +
           QStringLiteral("with a complete description of the error.  Your cooperation is "
                          "appreciated.");
}

void ErrorReport::ReportError(qint32 number, const QString& description,
                              const QString& routineName) {
    // A report is on screen already and the program ends when it closes; a second box on top
    // of it would tell the person nothing they can act on.
    if (m_reporting) {
        std::fprintf(stderr, "%s (error %d in %s) while an error report is shown\n",
                     qPrintable(description), int(number), qPrintable(routineName));
        return;
    }
    m_reporting = true;
    // Nothing inside the report may stop it from ending the program.
    ignoreErrors([&] { emit halting(); });
    ignoreErrors([&] {
        m_context.speak(QStringLiteral("Oh crap!  A very bad thing just happened!"),
                        QStringLiteral("GetAttention"));
    });
    ignoreErrors([&] {
        m_context.dialogs().message(reportText(number, description, routineName),
                                    MessageIcon::Critical,
                                    AppInfo::Title + QStringLiteral(" - Unexpected Error!"));
    });
    m_context.programEnd().end(1);
    m_reporting = false; // only where a test's ProgramEnd returned
}

void ErrorReport::Navigate(const QString& target) {
    trapErrors(m_context, "Navigate", [&] {
        if (!m_context.shell().open(target))
            cannotOpen(target);
    });
}

bool ErrorReport::isTextFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.isAbsolute() || !file.isFile())
        return false;
    const QString suffix = file.suffix();
    if (suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("log"), Qt::CaseInsensitive) == 0)
        return true;
    bool isLog = false;
    ignoreErrors([&] { isLog = file == QFileInfo(m_context.catalogue().logFile()); });
    return isLog;
}

void ErrorReport::cannotOpen(const QString& target) {
    // Said rather than lost: a desktop without a handler for the target shows nothing at all.
    ignoreErrors([&] {
        const QString filePrefix = QStringLiteral("file://");
        const QString shown = target.startsWith(filePrefix, Qt::CaseInsensitive)
                                  ? target.mid(filePrefix.size())
                                  : target;
        if (m_viewer && isTextFile(shown) && m_viewer->showFile(shown))
            return;
        m_context.log().WriteLog(QStringLiteral("No program could open ") + shown,
                                 QStringLiteral("Warning"));
        m_context.dialogs().message(QStringLiteral("No program on this desktop could open \"") +
                                        shown + QStringLiteral("\"."),
                                    MessageIcon::Exclamation, AppInfo::Title);
    });
}
