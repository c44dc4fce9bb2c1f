#include "OrvexSMTP.h"

#include "ComponentServer.h"
#include "ControlIcon.h"
#include "frmAbout.h"
#include "MailControlInfo.h"
#include "SmtpDialogue.h"

#include <QPainter>
#include <QVariant>

namespace {
// The control keeps this size in twips whatever size the host gives it.
constexpr int WidthTwips = 375;
constexpr int HeightTwips = 330;
constexpr int TwipsPerInch = 1440;

int twipsToPixels(int twips, int dpi) {
    return (twips * dpi + TwipsPerInch / 2) / TwipsPerInch;
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

QVariant readProperty(QObject* bag, const QString& name, const QVariant& defaultValue) {
    QVariant value = defaultValue;
    if (!QMetaObject::invokeMethod(bag, "ReadProperty", Qt::DirectConnection,
                                   Q_RETURN_ARG(QVariant, value), Q_ARG(QString, name),
                                   Q_ARG(QVariant, defaultValue)) ||
        !value.isValid())
        return defaultValue;
    return value;
}

void writeProperty(QObject* bag, const QString& name, const QVariant& value,
                   const QVariant& defaultValue) {
    QMetaObject::invokeMethod(bag, "WriteProperty", Qt::DirectConnection, Q_ARG(QString, name),
                              Q_ARG(QVariant, value), Q_ARG(QVariant, defaultValue));
}
} // namespace

OrvexSMTP::OrvexSMTP(QWidget* parent)
    : QWidget(parent)
    , m_dialogue(new SmtpDialogue(this)) {
    ComponentServer::instanceCreated();
    setObjectName(QStringLiteral("OrvexSMTP"));
    setFixedSize(twipsToPixels(WidthTwips, logicalDpiX()),
                 twipsToPixels(HeightTwips, logicalDpiY()));
    setToolTip(MailControlInfo::Title);

    connect(m_dialogue, &SmtpDialogue::status, this, &OrvexSMTP::SMTPStatus);
    connect(m_dialogue, &SmtpDialogue::failed, this, &OrvexSMTP::SendError);
    connect(m_dialogue, &SmtpDialogue::completed, this, &OrvexSMTP::SendComplete);
    // Cleared before the last event, so a host may start the next message from its handler.
    connect(m_dialogue, &SmtpDialogue::finished, this, [this] { m_stillExecuting = false; });
}

OrvexSMTP::~OrvexSMTP() {
    ComponentServer::instanceDestroyed();
}

void OrvexSMTP::assign(QString& member, const QString& value, const QString& name) {
    member = value;
    emit propertyChanged(name);
}

void OrvexSMTP::setMailToName(const QString& value) {
    assign(m_mailToName, value, QStringLiteral("MailToName"));
}

void OrvexSMTP::setMailToEmail(const QString& value) {
    assign(m_mailToEmail, value, QStringLiteral("MailToEmail"));
}

void OrvexSMTP::setMailFromName(const QString& value) {
    assign(m_mailFromName, value, QStringLiteral("MailFromName"));
}

void OrvexSMTP::setMailFromEmail(const QString& value) {
    assign(m_mailFromEmail, value, QStringLiteral("MailFromEmail"));
}

void OrvexSMTP::setMailBody(const QString& value) {
    assign(m_mailBody, value, QStringLiteral("MailBody"));
}

void OrvexSMTP::setMailSubject(const QString& value) {
    assign(m_mailSubject, value, QStringLiteral("MailSubject"));
}

void OrvexSMTP::setMailServerPrimary(const QString& value) {
    assign(m_mailServerPrimary, value, QStringLiteral("MailServerPrimary"));
}

void OrvexSMTP::setMailServerSecondary(const QString& value) {
    assign(m_mailServerSecondary, value, QStringLiteral("MailServerSecondary"));
}

void OrvexSMTP::setMailTimeOut(int value) {
    m_mailTimeOut = qBound(MinTimeOut, value, MaxTimeOut);
    emit propertyChanged(QStringLiteral("MailTimeOut"));
}

void OrvexSMTP::setStillExecuting(bool value) {
    m_stillExecuting = value;
    emit propertyChanged(QStringLiteral("StillExecuting"));
}

// A line break in an address or server name would smuggle further commands to the server, and
// one in the subject further header lines.
QString OrvexSMTP::refusal() const {
    if (m_mailBody.isEmpty())
        return QStringLiteral("Mail Body can not be a zero length");
    if (m_mailFromEmail.isEmpty())
        return QStringLiteral("Mail From Email can not be zero length");
    if (hasLineBreak(m_mailFromEmail))
        return QStringLiteral("Mail From Email can not contain a line break");
    if (m_mailToEmail.isEmpty())
        return QStringLiteral("Mail To Email can not be zero length");
    if (hasLineBreak(m_mailToEmail))
        return QStringLiteral("Mail To Email can not contain a line break");
    if (m_mailServerPrimary.isEmpty())
        return QStringLiteral("Mail Server Primary can not be zero length");
    if (hasLineBreak(m_mailServerPrimary))
        return QStringLiteral("Mail Server Primary can not contain a line break");
    if (m_mailSubject.isEmpty())
        return QStringLiteral("Mail Subject can not be zero length");
    if (hasLineBreak(m_mailSubject))
        return QStringLiteral("Mail Subject can not contain a line break");
    if (hasLineBreak(m_mailServerSecondary))
        return QStringLiteral("Mail Server Secondary can not contain a line break");
    return {};
}

short OrvexSMTP::Send() {
    const QString reason = refusal();
    if (!reason.isEmpty()) {
        emit SendError(reason);
        return 0;
    }
    m_stillExecuting = true;
    m_dialogue->start({m_mailBody, m_mailFromEmail, m_mailToEmail, m_mailSubject,
                       m_mailServerPrimary, m_mailServerSecondary, m_mailTimeOut});
    return 0;
}

void OrvexSMTP::ShowAboutBox() {
    frmAbout about(window());
    about.exec();
}

QString OrvexSMTP::Version() const {
    return MailControlInfo::versionText();
}

void OrvexSMTP::InitProperties() {
    m_mailToName.clear();
    m_mailToEmail.clear();
    m_mailFromName.clear();
    m_mailFromEmail.clear();
    m_mailBody.clear();
    m_mailSubject.clear();
    m_mailServerPrimary.clear();
    m_mailServerSecondary.clear();
    m_mailTimeOut = DefaultTimeOut;
    m_stillExecuting = false;
}

void OrvexSMTP::ReadProperties(QObject* propBag) {
    if (!propBag)
        return;
    const QVariant noText = QString();
    const auto text = [&](const char* name) {
        return readProperty(propBag, QLatin1String(name), noText).toString();
    };
    m_mailToName = text("MailToName");
    m_mailToEmail = text("MailToEmail");
    m_mailFromName = text("MailFromName");
    m_mailFromEmail = text("MailFromEmail");
    m_mailBody = text("MailBody");
    m_mailSubject = text("MailSubject");
    m_mailServerPrimary = text("MailServerPrimary");
    m_mailServerSecondary = text("MailServerSecondary");
    bool isNumber = false;
    const int timeOut =
        readProperty(propBag, QStringLiteral("MailTimeOut"), DefaultTimeOut).toInt(&isNumber);
    m_mailTimeOut = isNumber ? timeOut : DefaultTimeOut;
    m_stillExecuting = readProperty(propBag, QStringLiteral("StillExecuting"), false).toBool();
}

void OrvexSMTP::WriteProperties(QObject* propBag) const {
    if (!propBag)
        return;
    const QVariant noText = QString();
    writeProperty(propBag, QStringLiteral("MailToName"), m_mailToName, noText);
    writeProperty(propBag, QStringLiteral("MailToEmail"), m_mailToEmail, noText);
    writeProperty(propBag, QStringLiteral("MailFromName"), m_mailFromName, noText);
    writeProperty(propBag, QStringLiteral("MailFromEmail"), m_mailFromEmail, noText);
    writeProperty(propBag, QStringLiteral("MailBody"), m_mailBody, noText);
    writeProperty(propBag, QStringLiteral("MailSubject"), m_mailSubject, noText);
    writeProperty(propBag, QStringLiteral("MailServerPrimary"), m_mailServerPrimary, noText);
    writeProperty(propBag, QStringLiteral("MailServerSecondary"), m_mailServerSecondary, noText);
    writeProperty(propBag, QStringLiteral("MailTimeOut"), m_mailTimeOut, DefaultTimeOut);
    writeProperty(propBag, QStringLiteral("StillExecuting"), m_stillExecuting, false);
}

void OrvexSMTP::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int side = qMin(width(), height());
    painter.drawPixmap((width() - side) / 2, (height() - side) / 2, ControlIcon::pixmap(side));
}
