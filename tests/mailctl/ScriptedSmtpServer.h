#pragma once

#include <QByteArrayList>
#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QTcpServer>

// How a scripted peer behaves: the greeting, written piece by piece, and the reply to each
// command by its verb ("." is the reply to the message text). An empty reply is silence;
// the reply "<close>" hangs up. A refusing peer has no listener at all.
struct SmtpScript {
    bool refuse = false;
    QByteArrayList greeting{"220 mail.example.org ready\r\n"};
    QMap<QByteArray, QByteArray> replies{{"HELO", "250 hello\r\n"}, {"MAIL", "250 ok\r\n"},
                                         {"RCPT", "250 ok\r\n"},    {"DATA", "354 go ahead\r\n"},
                                         {".", "250 queued\r\n"},   {"QUIT", "221 bye\r\n"}};

    SmtpScript with(const QByteArray& verb, const QByteArray& reply) const;
    SmtpScript greeting_(const QByteArrayList& pieces) const;
    static SmtpScript refusing();
};
Q_DECLARE_METATYPE(SmtpScript)

// A loopback SMTP peer that follows a script and records what it was sent.
class ScriptedSmtpServer final : public QObject {
    Q_OBJECT

public:
    ScriptedSmtpServer(const SmtpScript& script, const QString& address, QObject* parent);

    // "address:port" as the control's server property expects it.
    QString server() const { return m_server; }
    QByteArrayList commands() const { return m_commands; }
    int openConnections() const { return m_open; }

private:
    void accept();
    void writeGreeting(QTcpSocket* socket, int piece);
    void readFrom(QTcpSocket* socket);
    void reply(QTcpSocket* socket, const QByteArray& verb);

    SmtpScript m_script;
    QTcpServer m_listener;
    QString m_server;
    QByteArrayList m_commands;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QMap<QTcpSocket*, bool> m_inData;
    QSet<QTcpSocket*> m_greeted;
    int m_open = 0;
};
