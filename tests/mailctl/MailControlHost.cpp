#include "MailControlHost.h"

#include "platform/ComponentLoader.h"
#include "platform/ComponentPropertyBag.h"

#include <QLibrary>
#include <QVariant>

QString MailControlHost::registerLibrary() {
    QLibrary library(QStringLiteral(ORVEX_SMTP_LIBRARY));
    if (!library.load())
        return library.errorString();
    using EntryPoint = int (*)();
    const auto entry = reinterpret_cast<EntryPoint>(library.resolve("DllRegisterServer"));
    if (!entry)
        return QStringLiteral("no DllRegisterServer");
    return entry() == 0 ? QString() : QStringLiteral("DllRegisterServer failed");
}

QObject* MailControlHost::create(QObject* parent) {
    QString error;
    QObject* control =
        ComponentLoader::create(QStringLiteral("OrvexSMTPControl.OrvexSMTP"), parent, &error);
    if (!control)
        qWarning("%s", qPrintable(error));
    return control;
}

QObject* MailControlHost::restore(ComponentPropertyBag& bag, QObject* parent) {
    QObject* control = create(parent);
    if (control)
        QMetaObject::invokeMethod(control, "ReadProperties", Q_ARG(QObject*, &bag));
    return control;
}

void MailControlHost::setMessage(QObject* control, const QString& primary, const QString& secondary,
                                 const QString& body) {
    control->setProperty("MailServerPrimary", primary);
    control->setProperty("MailServerSecondary", secondary);
    control->setProperty("MailToName", QStringLiteral("Night Operator"));
    control->setProperty("MailToEmail", QStringLiteral("operator@example.org"));
    control->setProperty("MailFromName", QStringLiteral("Monitor Host"));
    control->setProperty("MailFromEmail", QStringLiteral("monitor@example.org"));
    control->setProperty("MailSubject", QStringLiteral("Activity Detected"));
    control->setProperty("MailBody", body);
}

short MailControlHost::send(QObject* control) {
    short result = -1;
    QMetaObject::invokeMethod(control, "Send", Q_RETURN_ARG(short, result));
    return result;
}

MailEventLog::MailEventLog(QObject* control)
    : QObject(nullptr) {
    // The control is late bound: its events are reached by name.
    connect(control, SIGNAL(SendComplete(QString)), this, SLOT(onSendComplete(QString)));
    connect(control, SIGNAL(SendError(QString)), this, SLOT(onSendError(QString)));
    connect(control, SIGNAL(SMTPStatus(QString)), this, SLOT(onStatus(QString)));
}

void MailEventLog::onSendComplete(const QString& results) {
    events << QStringLiteral("SendComplete: ") + results;
}

void MailEventLog::onSendError(const QString& description) {
    events << QStringLiteral("SendError: ") + description;
}

void MailEventLog::onStatus(const QString& status) {
    events << QStringLiteral("SMTPStatus: ") + status;
}
