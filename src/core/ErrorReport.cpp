#include "core/ErrorReport.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/Log.h"

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
    // Nothing inside the report may stop it from ending the program.
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
}

void ErrorReport::Navigate(const QString& target) {
    trapErrors(m_context, "Navigate", [&] {
        if (!m_context.shell().open(target))
            cannotOpen(target);
    });
}

void ErrorReport::cannotOpen(const QString& target) {
    // Said rather than lost: a desktop without a handler for the target shows nothing at all.
    ignoreErrors([&] {
        const QString filePrefix = QStringLiteral("file://");
        const QString shown = target.startsWith(filePrefix, Qt::CaseInsensitive)
                                  ? target.mid(filePrefix.size())
                                  : target;
        m_context.log().WriteLog(QStringLiteral("No program could open ") + shown,
                                 QStringLiteral("Warning"));
        m_context.dialogs().message(QStringLiteral("No program on this desktop could open \"") +
                                        shown + QStringLiteral("\"."),
                                    MessageIcon::Exclamation, AppInfo::Title);
    });
}
