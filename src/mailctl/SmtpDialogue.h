#pragma once

#include "SmtpReplyReader.h"

#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// What one exchange sends, taken from the control's properties when Send starts it.
struct MailMessage {
    QString body;
    QString fromEmail;
    QString toEmail;
    QString subject;
    QString serverPrimary;
    QString serverSecondary;
    int timeOut = 10000;
};

// The SMTP dialogue of one exchange: connects to the primary server, falls back once to the
// secondary one, and ends in exactly one way, completed() or a final failed(). Timer1 is the
// watchdog of the exchange with one server; while it is stopped, nothing the server sends is
// acted on. Each connection gets a fresh socket, so a reply from an abandoned server can
// never reach the next one.
class SmtpDialogue final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SmtpDialogue)

public:
    explicit SmtpDialogue(QObject* parent);
    ~SmtpDialogue() override;

    void start(const MailMessage& message);

    int smtpState() const { return m_smtpState; }

signals:
    void status(const QString& text);
    void failed(const QString& description);
    void completed(const QString& results);
    // The exchange is over; emitted just before its final event.
    void finished();

private:
    void ConnectServer(const QString& server);
    void Winsock1_DataArrival(int connection);
    void Winsock1_Error(int connection);
    void Timer1_Timer();
    void ReportFailure(const QString& message);

    void handleReply(const SmtpReply& reply);
    void sendLine(const QString& line);
    void closeSocket();
    void endAfterException();

    QTimer* m_timer;
    QTcpSocket* m_socket = nullptr;
    int m_connection = 0;
    int m_exchange = 0;
    SmtpReplyReader m_replies;
    MailMessage m_message;
    qint16 m_smtpState = 0;
    bool m_triedSecondary = false;
};
