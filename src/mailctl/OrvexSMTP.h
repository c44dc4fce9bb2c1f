#pragma once

#include <QString>
#include <QWidget>

class SmtpDialogue;

// The mail control. A host sets and reads its properties by name, calls Send, ShowAboutBox
// and Version by name, and receives SendComplete, SendError and SMTPStatus. Every assignment
// of a property tells the host through propertyChanged(name). The host saves and restores the
// properties through a property bag: any object with the invokable methods
//   QVariant ReadProperty(const QString& name, const QVariant& defaultValue)
//   void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
class OrvexSMTP final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrvexSMTP)
    Q_PROPERTY(QString MailToName READ MailToName WRITE setMailToName)
    Q_PROPERTY(QString MailToEmail READ MailToEmail WRITE setMailToEmail)
    Q_PROPERTY(QString MailFromName READ MailFromName WRITE setMailFromName)
    Q_PROPERTY(QString MailFromEmail READ MailFromEmail WRITE setMailFromEmail)
    Q_PROPERTY(QString MailBody READ MailBody WRITE setMailBody)
    Q_PROPERTY(QString MailSubject READ MailSubject WRITE setMailSubject)
    Q_PROPERTY(QString MailServerPrimary READ MailServerPrimary WRITE setMailServerPrimary)
    Q_PROPERTY(QString MailServerSecondary READ MailServerSecondary WRITE setMailServerSecondary)
    Q_PROPERTY(int MailTimeOut READ MailTimeOut WRITE setMailTimeOut)
    Q_PROPERTY(bool StillExecuting READ StillExecuting WRITE setStillExecuting)

public:
    static constexpr int DefaultTimeOut = 10000;
    static constexpr int MinTimeOut = 10000;
    static constexpr int MaxTimeOut = 60000;

    explicit OrvexSMTP(QWidget* parent = nullptr);
    ~OrvexSMTP() override;

    QString MailToName() const { return m_mailToName; }
    QString MailToEmail() const { return m_mailToEmail; }
    QString MailFromName() const { return m_mailFromName; }
    QString MailFromEmail() const { return m_mailFromEmail; }
    QString MailBody() const { return m_mailBody; }
    QString MailSubject() const { return m_mailSubject; }
    QString MailServerPrimary() const { return m_mailServerPrimary; }
    QString MailServerSecondary() const { return m_mailServerSecondary; }
    int MailTimeOut() const { return m_mailTimeOut; }
    bool StillExecuting() const { return m_stillExecuting; }

    void setMailToName(const QString& value);
    void setMailToEmail(const QString& value);
    void setMailFromName(const QString& value);
    void setMailFromEmail(const QString& value);
    void setMailBody(const QString& value);
    void setMailSubject(const QString& value);
    void setMailServerPrimary(const QString& value);
    void setMailServerSecondary(const QString& value);
    // Limited to 10000..60000 milliseconds.
    void setMailTimeOut(int value);
    void setStillExecuting(bool value);

    // Starts sending one message; the outcome arrives through the events. Always 0.
    Q_INVOKABLE short Send();
    Q_INVOKABLE void ShowAboutBox();
    Q_INVOKABLE QString Version() const;

    // The properties of a new instance.
    Q_INVOKABLE void InitProperties();
    // Restores the saved properties as stored, without the limits of assignment.
    Q_INVOKABLE void ReadProperties(QObject* propBag);
    Q_INVOKABLE void WriteProperties(QObject* propBag) const;

signals:
    void SendComplete(const QString& Results);
    void SendError(const QString& ErrorDescription);
    void SMTPStatus(const QString& Status);
    void propertyChanged(const QString& propertyName);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void assign(QString& member, const QString& value, const QString& name);
    // The first reason Send refuses to start, or an empty text.
    QString refusal() const;

    SmtpDialogue* m_dialogue;
    QString m_mailToName;
    QString m_mailToEmail;
    QString m_mailFromName;
    QString m_mailFromEmail;
    QString m_mailBody;
    QString m_mailSubject;
    QString m_mailServerPrimary;
    QString m_mailServerSecondary;
    int m_mailTimeOut = DefaultTimeOut;
    bool m_stillExecuting = false;
};
