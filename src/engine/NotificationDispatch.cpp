#include "engine/NotificationDispatch.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/EventPause.h"
#include "engine/MonitorView.h"
#include "engine/ResultRecording.h"
#include "report/HtmlPage.h"
#include "store/Catalogue.h"
#include "store/Database.h"

#include <QRegularExpression>

namespace {
const QString CRLF = QStringLiteral("\r\n");
constexpr int MailPollMilliseconds = 500;

// Has the assistant say an address with "dot" and short pauses while its balloon shows the
// address as written.
QString mapTag(const QString& name) {
    QString spoken = name;
    spoken.replace(QLatin1Char('.'), QStringLiteral("\\pau=50\\ dot \\pau=25\\"));
    return QStringLiteral("\\map=\"") + spoken + QStringLiteral("\"=\"") + name +
           QStringLiteral("\"\\");
}

// A server's reply keeps its line breaks (a multi-line reply has several); one event is one
// line of the log, so each break becomes a blank, or nothing before a full stop.
QString oneLine(const QString& text) {
    static const QRegularExpression BreakBeforeStop(
        QStringLiteral("[ \\t]*[\\r\\n]+[ \\t]*(?=\\.)"));
    static const QRegularExpression Break(QStringLiteral("[ \\t]*[\\r\\n]+[ \\t]*"));
    QString line = text;
    line.replace(BreakBeforeStop, QString());
    line.replace(Break, QStringLiteral(" "));
    return line.trimmed();
}
} // namespace

NotificationDispatch::NotificationDispatch(AppContext& context, Database& db, MonitorView& view,
                                           ResultRecording& recording, HtmlPage& page,
                                           QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_db(db)
    , m_view(view)
    , m_recording(recording)
    , m_page(page) {}

void NotificationDispatch::setMailControl(QObject* control) {
    if (m_mail)
        disconnect(m_mail, nullptr, this, nullptr);
    m_mail = control;
    if (!control)
        return;
    // The control is late-bound: its events are connected by name.
    connect(control, SIGNAL(SendComplete(QString)), this, SLOT(OrvexSMTP1_SendComplete()));
    connect(control, SIGNAL(SendError(QString)), this, SLOT(OrvexSMTP1_SendError(QString)));
}

void NotificationDispatch::clearLists() {
    FailureList_.clear();
    RecoveryList_.clear();
    MailFailures.clear();
    MailRecoveries.clear();
}

void NotificationDispatch::Monitor_Finish() {
    clearLists();
    // The check is over: "Stop" answers again, unless monitoring was switched off meanwhile.
    ignoreErrors([&] {
        m_view.setMonitoringState(m_context.state().MonitoringOn ? MonitoringState::Waiting
                                                                 : MonitoringState::Off);
    });
    m_context.state().CheckInProgress = false;
    qint16 T = 0;
    qint16 K = 0;
    ignoreErrors([&] { T = m_context.catalogue().sendOnConsecutiveFailure(); });
    ignoreErrors([&] { K = m_context.catalogue().resetIcon(); });
    if (!trapErrors(m_context, "Monitor_Finish", [&] { walkItems(T, K); }))
        return;
    ignoreErrors([&] { m_view.Check_TVIcons(); });
    ignoreErrors([&] { m_view.refreshDetailList(); });
    ignoreErrors([&] { Check_Announce(); });
    ignoreErrors([&] { Check_DesktopNotify(); });
    ignoreErrors([&] { Check_Email(T); });
    ignoreErrors([&] { Check_HTMLOutput(); });
    clearLists();
    ignoreErrors([&] { m_view.setBusyPointer(false); });
}

void NotificationDispatch::walkItems(qint16 T, qint16 K) {
    Recordset rs = m_db.openRecordset(Catalogue::itemsNotConnected());
    for (; !rs.atEnd(); rs.moveNext()) {
        ignoreErrors([&] {
            const QString name = m_recording.GetAlias(rs.text(QStringLiteral("Device")));
            const QString port = rs.text(QStringLiteral("Port"));
            const qint64 count = rs.field(QStringLiteral("Count")).toLongLong();
            if (rs.text(QStringLiteral("Status")) == QLatin1String("Recovered")) {
                if (count > 0) {
                    rs.edit();
                    rs.setField(QStringLiteral("Count"), -1);
                    Recovery(name, port);
                    if (rs.text(QStringLiteral("Mail_Status")) != QLatin1String("N/A")) {
                        MailRecoveries.append({name, port});
                        rs.setField(QStringLiteral("Mail_Status"), QStringLiteral("N/A"));
                    }
                    rs.update();
                } else if (count < -K) {
                    rs.edit();
                    rs.setField(QStringLiteral("Count"), 0);
                    rs.update();
                } else if (count < 0) {
                    rs.edit();
                    rs.setField(QStringLiteral("Count"), count - 1);
                    rs.update();
                }
                return;
            }
            const QString error = rs.text(QStringLiteral("Last_Error"));
            Failure(name, port, error);
            if (count == T && m_context.catalogue().sendOnFailure()) {
                rs.edit();
                rs.setField(QStringLiteral("Mail_Status"),
                            QStringLiteral("Sent ") + m_context.clock().generalDate());
                rs.update();
                MailFailures.append({name, port, error});
            }
        });
    }
    rs.close();
}

void NotificationDispatch::Failure(const QString& Name, const QString& Port,
                                   const QString& ErrorText) {
    FailureList_.append({Name, Port, ErrorText});
    m_context.log().WriteLog(Name.toUpper() + QStringLiteral(" port ") + Port +
                                 QStringLiteral(" because ") + ErrorText + QLatin1Char('.'),
                             QStringLiteral("Failure"));
}

void NotificationDispatch::Recovery(const QString& Name, const QString& Port) {
    RecoveryList_.append({Name, Port});
    m_context.log().WriteLog(Name.toUpper() + QStringLiteral(" port ") + Port +
                                 QStringLiteral(" recovered."),
                             QStringLiteral("Recovery"));
}

QString NotificationDispatch::failureSpeech(const FailureList& failures) {
    QString text = QStringLiteral("There was a problem connecting to the following devices:  ");
    for (const FailureNotice& f : failures)
        text += mapTag(f.name) + QStringLiteral(" port ") + f.port + QStringLiteral(" because ") +
                f.errorText + QStringLiteral(".\\pau=800\\");
    return text;
}

QString NotificationDispatch::recoverySpeech(const RecoveryList& recoveries) {
    QString text = QStringLiteral("The following devices have recovered:  ");
    for (const RecoveryNotice& r : recoveries)
        text += mapTag(r.name) + QStringLiteral(" port ") + r.port + QStringLiteral(".\\pau=800\\");
    return text;
}

void NotificationDispatch::Check_Announce() {
    const bool show = m_context.catalogue().showCharacter();
    if (!show || (FailureList_.isEmpty() && RecoveryList_.isEmpty()))
        return;
    m_context.assistant().beginAnnouncement();
    if (m_context.catalogue().announceDate()) {
        const QDateTime now = m_context.clock().now();
        m_context.speak(QStringLiteral("The date is ") + Clock::longDate(now.date()) +
                            QLatin1Char('.') + CRLF + QStringLiteral("  The time is ") +
                            Clock::shortTime(now.time()) + QLatin1Char('.'),
                        QStringLiteral("Explain"));
    }
    if (!FailureList_.isEmpty())
        m_context.speak(failureSpeech(FailureList_), QStringLiteral("Surprised"));
    if (!RecoveryList_.isEmpty())
        m_context.speak(recoverySpeech(RecoveryList_), QStringLiteral("Pleased"));
}

void NotificationDispatch::Check_DesktopNotify() {
    if ((FailureList_.isEmpty() && RecoveryList_.isEmpty()) ||
        !m_context.catalogue().desktopNotify())
        return;
    m_view.notifyDesktop(desktopTitle(FailureList_, RecoveryList_),
                         desktopText(FailureList_, RecoveryList_));
}

QString NotificationDispatch::desktopTitle(const FailureList& failures,
                                           const RecoveryList& recoveries) {
    QStringList parts;
    if (!failures.isEmpty())
        parts << QString::number(failures.size()) + QStringLiteral(" failed");
    if (!recoveries.isEmpty())
        parts << QString::number(recoveries.size()) + QStringLiteral(" recovered");
    return AppInfo::Title + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

QString NotificationDispatch::desktopText(const FailureList& failures,
                                          const RecoveryList& recoveries) {
    // A notification is a glance: the first few items, and how many more the log holds.
    constexpr int Shown = 5;
    QStringList lines;
    for (const FailureNotice& f : failures)
        lines << f.name + QStringLiteral(" port ") + f.port + QStringLiteral(" failed: ") +
                     f.errorText;
    for (const RecoveryNotice& r : recoveries)
        lines << r.name + QStringLiteral(" port ") + r.port + QStringLiteral(" recovered");
    if (lines.size() > Shown) {
        const qsizetype more = lines.size() - (Shown - 1);
        lines.resize(Shown - 1);
        lines << QStringLiteral("and %1 more").arg(more);
    }
    return lines.join(QLatin1Char('\n'));
}

QString NotificationDispatch::mailSubject() {
    return AppInfo::Title + QStringLiteral(" Message: Activity Detected");
}

QString NotificationDispatch::mailBody(qint16 T) const {
    const QString t = QString::number(T);
    QString body = CRLF + QStringLiteral("Summary:  ") + QString::number(MailFailures.size()) +
                   QStringLiteral(" devices failed, ") + QString::number(MailRecoveries.size()) +
                   QStringLiteral(" devices recovered on ") + m_context.clock().generalDate() +
                   CRLF + CRLF;
    if (!MailFailures.isEmpty()) {
        body += QStringLiteral("The following devices have failed ") + t +
                QStringLiteral(" consecutive times:") + CRLF + CRLF;
        for (const FailureNotice& f : MailFailures)
            body += f.name + QStringLiteral(" port ") + f.port + QStringLiteral(" because ") +
                    f.errorText + CRLF;
    }
    if (!MailRecoveries.isEmpty()) {
        body += QStringLiteral("The following devices have recovered:") + CRLF + CRLF;
        for (const RecoveryNotice& r : MailRecoveries)
            body += r.name + QStringLiteral(" port ") + r.port + CRLF;
    }
    body += CRLF + QStringLiteral("Device failure notification is currently set at ") + t +
            QStringLiteral(" consecutive failures.") + CRLF;
    return body;
}

void NotificationDispatch::Check_Email(qint16 T) {
    trapErrors(m_context, "Check_Email", [&] {
        if (MailFailures.isEmpty() && MailRecoveries.isEmpty())
            return;
        if (!m_context.catalogue().sendOnFailure())
            return;
        SendMail(mailBody(T), mailSubject());
    });
}

void NotificationDispatch::SendMail(const QString& Body, const QString& Subject) {
    if (!m_mail) {
        // Said rather than swallowed: without its mail control the monitor cannot send.
        OrvexSMTP1_SendError(QStringLiteral("The mail control could not be loaded"));
        return;
    }
    SettingsCatalogue& catalogue = m_context.catalogue();
    const QStringList recipients = catalogue.mailTo().split(QLatin1Char(';'));
    for (const QString& entry : recipients) {
        // A stray ";" or blank between addresses is not a recipient.
        const QString recipient = entry.trimmed();
        if (recipient.isEmpty())
            continue;
        ignoreErrors([&] {
            while (m_mail && m_mail->property("StillExecuting").toBool()) {
                EventPause::pause(MailPollMilliseconds);
                EventPause::letEventsRun();
            }
            if (!m_mail)
                return;
            m_mail->setProperty("MailServerPrimary", catalogue.mailServerPrimary());
            m_mail->setProperty("MailServerSecondary", catalogue.mailServerSecondary());
            m_mail->setProperty("MailToEmail", recipient);
            m_mail->setProperty("MailFromEmail", catalogue.mailFrom());
            m_mail->setProperty("MailSubject", Subject);
            m_mail->setProperty("MailBody", Body);
            QMetaObject::invokeMethod(m_mail, "Send");
        });
    }
}

void NotificationDispatch::OrvexSMTP1_SendComplete() {
    const QString text =
        QStringLiteral("A mail message was sent because device activity was detected.");
    m_context.speak(text, QStringLiteral("GetAttention"));
    m_context.log().WriteLog(text, QStringLiteral("Message"));
}

void NotificationDispatch::OrvexSMTP1_SendError(const QString& ErrorDescription) {
    const QString text = QStringLiteral("The mail message was not sent because ") +
                         oneLine(ErrorDescription).toLower() + QLatin1Char('.');
    m_context.speak(text, QStringLiteral("Confused"));
    m_context.log().WriteLog(text, QStringLiteral("Message"));
}

void NotificationDispatch::Check_HTMLOutput() {
    trapErrors(m_context, "Check_HTMLOutput", [&] {
        QString path = m_context.catalogue().htmlFile();
        if (m_context.catalogue().htmlOutput())
            m_page.Create_HTML(path, FailureList_, RecoveryList_);
    });
}
