#include "SmtpDialogue.h"

#include "SmtpMessageText.h"
#include "SmtpServerAddress.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
enum SmtpState : qint16 {
    Idle = 0,
    HeloSent = 1,
    MailFromSent = 2,
    RcptToSent = 3,
    DataSent = 4,
    MessageSent = 5,
    QuitSent = 6,
    ErrorReceived = 999,
};

// Trims blanks only: the line break at the end of a reply stays part of the text.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// A host's slot connected to our events may throw; nothing may reach the event loop.
template <typename Step> bool guarded(Step step) {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}
} // namespace

SmtpDialogue::SmtpDialogue(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(0);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!guarded([this] { Timer1_Timer(); }))
            endAfterException();
    });
}

SmtpDialogue::~SmtpDialogue() = default;

void SmtpDialogue::start(const MailMessage& message) {
    ++m_exchange;
    m_message = message;
    m_triedSecondary = false;
    ConnectServer(m_message.serverPrimary);
}

void SmtpDialogue::ConnectServer(const QString& server) {
    // A negative interval would leave the watchdog off and the exchange without an end.
    m_timer->setInterval(qMax(0, m_message.timeOut));
    m_timer->start();
    closeSocket();
    m_replies.clear();

    const int connection = ++m_connection;
    m_socket = new QTcpSocket(this);
    m_socket->setObjectName(QStringLiteral("Winsock1"));
    connect(m_socket, &QTcpSocket::readyRead, this, [this, connection] {
        if (!guarded([this, connection] { Winsock1_DataArrival(connection); }))
            endAfterException();
    });
    // Queued, so an error found inside connectToHost() still follows "Connecting to".
    connect(
        m_socket, &QAbstractSocket::errorOccurred, this,
        [this, connection] {
            if (!guarded([this, connection] { Winsock1_Error(connection); }))
                endAfterException();
        },
        Qt::QueuedConnection);

    const SmtpServerAddress address = SmtpServerAddress::parse(server);
    m_socket->connectToHost(address.host, address.port);
    emit status(QStringLiteral("Connecting to ") + server);
}

void SmtpDialogue::Winsock1_DataArrival(int connection) {
    if (connection != m_connection || !m_socket)
        return;
    if (!m_timer->isActive()) {
        closeSocket();
        return;
    }
    const QList<SmtpReply> replies = m_replies.feed(m_socket->readAll());
    for (const SmtpReply& reply : replies) {
        // An earlier reply of this read may have ended the exchange or changed the server.
        if (connection != m_connection)
            return;
        if (!m_timer->isActive()) {
            closeSocket();
            return;
        }
        handleReply(reply);
    }
}

void SmtpDialogue::handleReply(const SmtpReply& reply) {
    const int code = reply.code;
    if (code == 220) {
        sendLine(QStringLiteral("HELO ") + SmtpServerAddress::parse(m_message.serverPrimary).host);
        emit status(QStringLiteral("Mail Server is ready"));
        m_smtpState = HeloSent;
    } else if (code == 250 && m_smtpState == HeloSent) {
        sendLine(QStringLiteral("MAIL FROM:<") + m_message.fromEmail + u'>');
        emit status(QStringLiteral("Sending FROM command"));
        m_smtpState = MailFromSent;
    } else if (code == 250 && m_smtpState == MailFromSent) {
        sendLine(QStringLiteral("RCPT TO:<") + m_message.toEmail + u'>');
        emit status(QStringLiteral("Sending RCPT command"));
        m_smtpState = RcptToSent;
    } else if (code == 250 && m_smtpState == RcptToSent) {
        sendLine(QStringLiteral("DATA"));
        emit status(QStringLiteral("Sending DATA command"));
        m_smtpState = DataSent;
    } else if (code == 354) {
        m_smtpState = MessageSent;
        const int connection = m_connection;
        emit status(QStringLiteral("Sending mail message data"));
        if (connection == m_connection && m_socket)
            m_socket->write(SmtpMessageText::compose(m_message.subject, m_message.body));
    } else if (code == 250 && m_smtpState == MessageSent) {
        sendLine(QStringLiteral("QUIT"));
        emit status(QStringLiteral("Sending Quit command to disconnect from mail server"));
        m_smtpState = QuitSent;
        closeSocket();
        m_timer->stop();
        emit finished();
        emit completed(QStringLiteral("Message Sent"));
    } else if (code == 221) {
        m_timer->stop();
        const QString message = m_smtpState == ErrorReceived
                                    ? QStringLiteral("Disconnected from mail server after error")
                                    : QStringLiteral("Disconnected from mail server");
        m_smtpState = Idle;
        ReportFailure(message);
    } else if (code >= 500 && code <= 599) {
        sendLine(QStringLiteral("QUIT"));
        m_timer->stop();
        m_smtpState = ErrorReceived;
        ReportFailure(trimBlanks(QString::fromUtf8(reply.text)));
    }
    // Anything else (4xx, unknown codes, 250 out of turn) waits for more or for the watchdog.
}

void SmtpDialogue::Timer1_Timer() {
    closeSocket();
    m_timer->stop();
    ReportFailure(QStringLiteral("The attempt to connect timed out"));
}

void SmtpDialogue::Winsock1_Error(int connection) {
    if (connection != m_connection || !m_socket)
        return;
    // After the exchange has ended, a late error is no second ending.
    if (!m_timer->isActive()) {
        closeSocket();
        return;
    }
    m_timer->stop();
    const QString description = m_socket->errorString();
    closeSocket();
    ReportFailure(description);
}

void SmtpDialogue::ReportFailure(const QString& message) {
    const int exchange = m_exchange;
    if (!m_message.serverSecondary.isEmpty() && !m_triedSecondary) {
        m_triedSecondary = true;
        const QString text = message + QStringLiteral(". Trying Secondary Mail Server");
        emit status(text);
        emit failed(text);
        // The host may have started a new exchange from one of those events.
        if (exchange == m_exchange)
            ConnectServer(m_message.serverSecondary);
        return;
    }
    m_timer->stop();
    closeSocket();
    emit finished();
    emit status(message);
    emit failed(message);
}

void SmtpDialogue::sendLine(const QString& line) {
    if (m_socket)
        m_socket->write(line.toUtf8() + "\r\n");
}

void SmtpDialogue::closeSocket() {
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    ++m_connection;
    disconnect(socket, nullptr, this, nullptr);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        // Lets a last QUIT still reach the server before the connection closes.
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QAbstractSocket::errorOccurred, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

void SmtpDialogue::endAfterException() {
    m_timer->stop();
    closeSocket();
    emit finished();
}
