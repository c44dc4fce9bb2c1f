#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

// Sends one short message with mail settings not yet stored, through a mail control of its
// own (created by class identifier, as the main window creates OrvexSMTP1), so a person can
// see whether the settings work before keeping them. The outcome arrives as finished().
class SmtpTestMail final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SmtpTestMail)
public:
    struct Fields {
        QString primaryServer;
        QString secondaryServer;
        QString recipients;
        QString sender;
    };

    explicit SmtpTestMail(QObject* parent = nullptr);

    // Starts sending to the first recipient of the list; finished() follows, perhaps at once.
    void send(const Fields& fields);
    bool isSending() const { return m_sending; }
    QString recipient() const { return m_recipient; }

    // The first address of a ";"-separated list, without blanks around it.
    static QString firstRecipient(const QString& recipients);

    static const QString Subject;
    static const QString Body;

signals:
    // sent is true for SendComplete; text is its result or the SendError description.
    void finished(bool sent, const QString& text);

private slots:
    // The control is late bound: its events arrive by name.
    void OrvexSMTP1_SendComplete(const QString& Results);
    void OrvexSMTP1_SendError(const QString& ErrorDescription);

private:
    QObject* control(QString* error);
    void finish(bool sent, const QString& text);

    QPointer<QObject> m_control;
    QString m_recipient;
    bool m_sending = false;
};
