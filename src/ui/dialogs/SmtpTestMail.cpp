#include "ui/dialogs/SmtpTestMail.h"

#include "core/AppInfo.h"
#include "platform/ComponentLoader.h"

#include <QStringList>
#include <QVariant>

const QString SmtpTestMail::Subject = AppInfo::Title + QStringLiteral(" Message: Test");
// The empty first line ends the header, as in the alert mail; the control ends the last line.
const QString SmtpTestMail::Body = QStringLiteral("\r\nThis is a test message from ") +
                                   AppInfo::Title +
                                   QStringLiteral(".\r\nThe mail settings it was sent with work.");

SmtpTestMail::SmtpTestMail(QObject* parent)
    : QObject(parent) {}

QString SmtpTestMail::firstRecipient(const QString& recipients) {
    const QStringList entries = recipients.split(QLatin1Char(';'));
    for (const QString& entry : entries)
        if (!entry.trimmed().isEmpty())
            return entry.trimmed();
    return {};
}

QObject* SmtpTestMail::control(QString* error) {
    if (!m_control) {
        m_control =
            ComponentLoader::create(QStringLiteral("OrvexSMTPControl.OrvexSMTP"), this, error);
        if (!m_control)
            return nullptr;
        connect(m_control, SIGNAL(SendComplete(QString)), this,
                SLOT(OrvexSMTP1_SendComplete(QString)));
        connect(m_control, SIGNAL(SendError(QString)), this, SLOT(OrvexSMTP1_SendError(QString)));
    }
    return m_control;
}

void SmtpTestMail::send(const Fields& fields) {
    if (m_sending)
        return;
    m_recipient = firstRecipient(fields.recipients);
    QString error;
    QObject* mail = control(&error);
    if (!mail) {
        finish(false, QStringLiteral("The mail control could not be loaded: ") + error);
        return;
    }
    m_sending = true;
    mail->setProperty("MailServerPrimary", fields.primaryServer);
    mail->setProperty("MailServerSecondary", fields.secondaryServer);
    mail->setProperty("MailToEmail", m_recipient);
    mail->setProperty("MailFromEmail", fields.sender);
    mail->setProperty("MailSubject", Subject);
    mail->setProperty("MailBody", Body);
    // A refusal arrives as SendError from inside Send.
    QMetaObject::invokeMethod(mail, "Send");
}

void SmtpTestMail::OrvexSMTP1_SendComplete(const QString& Results) {
    if (m_sending)
        finish(true, Results);
}

void SmtpTestMail::OrvexSMTP1_SendError(const QString& ErrorDescription) {
    // A failure of the primary server while the control goes on to the secondary one is news,
    // not the outcome.
    if (m_sending && !(m_control && m_control->property("StillExecuting").toBool()))
        finish(false, ErrorDescription);
}

void SmtpTestMail::finish(bool sent, const QString& text) {
    m_sending = false;
    emit finished(sent, text);
}
