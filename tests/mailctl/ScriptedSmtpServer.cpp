#include "ScriptedSmtpServer.h"

#include <QTcpSocket>
#include <QTimer>

SmtpScript SmtpScript::with(const QByteArray& verb, const QByteArray& reply) const {
    SmtpScript script = *this;
    script.replies[verb] = reply;
    return script;
}

SmtpScript SmtpScript::greeting_(const QByteArrayList& pieces) const {
    SmtpScript script = *this;
    script.greeting = pieces;
    return script;
}

SmtpScript SmtpScript::refusing() {
    SmtpScript script;
    script.refuse = true;
    return script;
}

ScriptedSmtpServer::ScriptedSmtpServer(const SmtpScript& script, const QString& address,
                                       QObject* parent)
    : QObject(parent)
    , m_script(script) {
    m_listener.listen(QHostAddress(address), 0);
    const quint16 port = m_listener.serverPort();
    // A refusing peer: the port was free a moment ago and nobody listens on it now.
    if (m_script.refuse)
        m_listener.close();
    m_server = address + u':' + QString::number(port);
    connect(&m_listener, &QTcpServer::newConnection, this, &ScriptedSmtpServer::accept);
}

void ScriptedSmtpServer::accept() {
    while (QTcpSocket* socket = m_listener.nextPendingConnection()) {
        ++m_open;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_open;
            socket->deleteLater();
        });
        connect(socket, &QObject::destroyed, this, [this, socket] {
            m_buffers.remove(socket);
            m_inData.remove(socket);
            m_greeted.remove(socket);
        });
        writeGreeting(socket, 0);
    }
}

void ScriptedSmtpServer::writeGreeting(QTcpSocket* socket, int piece) {
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (piece >= m_script.greeting.size()) {
        // Like a real server, commands are answered only once the greeting is complete.
        m_greeted.insert(socket);
        readFrom(socket);
        return;
    }
    socket->write(m_script.greeting[piece]);
    socket->flush();
    // Paced so the pieces tend to arrive in separate reads.
    QTimer::singleShot(30, socket, [this, socket, piece] { writeGreeting(socket, piece + 1); });
}

void ScriptedSmtpServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    if (!m_greeted.contains(socket))
        return;
    for (;;) {
        if (m_inData.value(socket)) {
            const qsizetype end = buffer.indexOf("\r\n.\r\n");
            if (end < 0)
                return;
            m_commands << buffer.left(end + 2);
            buffer.remove(0, end + 5);
            m_inData[socket] = false;
            reply(socket, ".");
            continue;
        }
        const qsizetype end = buffer.indexOf("\r\n");
        if (end < 0)
            return;
        const QByteArray line = buffer.left(end);
        buffer.remove(0, end + 2);
        m_commands << line;
        const QByteArray verb = line.split(' ').first().split(':').first().toUpper();
        if (verb == "DATA" && m_script.replies.value(verb).startsWith("354"))
            m_inData[socket] = true;
        reply(socket, verb);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void ScriptedSmtpServer::reply(QTcpSocket* socket, const QByteArray& verb) {
    const QByteArray answer = m_script.replies.value(verb);
    if (answer == "<close>") {
        socket->disconnectFromHost();
        return;
    }
    if (!answer.isEmpty())
        socket->write(answer);
    if (verb == "QUIT")
        socket->disconnectFromHost();
}
