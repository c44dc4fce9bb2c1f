#include "platform/SocketControl.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {
constexpr qint32 InvalidArgument = 10022;
constexpr qint32 WrongState = 40020;
} // namespace

SocketControl::SocketControl(qint16 index, QObject* parent)
    : QObject(parent)
    , m_index(index)
    , m_socket(new QTcpSocket(this)) {
    connect(m_socket, &QAbstractSocket::stateChanged, this, &SocketControl::socketStateChanged);
    connect(m_socket, &QAbstractSocket::connected, this, &SocketControl::socketConnected);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &SocketControl::socketError);
    connect(m_socket, &QAbstractSocket::disconnected, this, &SocketControl::socketDisconnected);
}

void SocketControl::Connect() {
    if (m_state != sckClosed) {
        // The running attempt goes on; only this request fails.
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (m_generation == generation)
                    emit OnError(m_index, WrongState,
                                 QStringLiteral("Wrong protocol or connection state for the "
                                                "requested transaction or request"));
            },
            Qt::QueuedConnection);
        return;
    }
    ++m_generation;
    if (m_remotePort < 1 || m_remotePort > 65535) {
        m_state = sckError;
        raiseError(InvalidArgument, QStringLiteral("Invalid port number %1").arg(m_remotePort));
        return;
    }
    if (m_localPort < 0 || m_localPort > 65535) {
        m_state = sckError;
        raiseError(InvalidArgument, QStringLiteral("Invalid local port %1").arg(m_localPort));
        return;
    }
    m_state = QHostAddress(m_remoteHost).isNull() ? sckResolvingHost : sckConnecting;
    if (m_localPort != 0)
        m_socket->bind(QHostAddress::Any, quint16(m_localPort));
    m_socket->connectToHost(m_remoteHost, quint16(m_remotePort));
}

void SocketControl::Close() {
    ++m_generation;
    m_state = sckClosed;
    m_socket->abort();
}

void SocketControl::socketStateChanged(QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::ConnectingState &&
        (m_state == sckResolvingHost || m_state == sckConnecting))
        m_state = sckConnecting;
}

void SocketControl::socketConnected() {
    if (m_state != sckConnecting && m_state != sckResolvingHost)
        return;
    m_state = sckConnected;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (m_generation == generation)
                emit OnConnect(m_index);
        },
        Qt::QueuedConnection);
}

void SocketControl::socketError(QAbstractSocket::SocketError error) {
    if (m_state == sckClosed || m_state == sckError)
        return;
    if (m_state == sckConnected && error == QAbstractSocket::RemoteHostClosedError)
        return; // the peer ended an accepted connection: socketDisconnected closes
    m_state = sckError;
    raiseError(errorNumber(error), m_socket->errorString());
}

void SocketControl::socketDisconnected() {
    if (m_state == sckConnected) {
        m_state = sckClosing;
        Close();
    }
}

void SocketControl::raiseError(qint32 number, const QString& description) {
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, number, description] {
            if (m_generation != generation)
                return;
            emit OnError(m_index, number, description);
            if (m_generation == generation && m_state == sckError)
                Close();
        },
        Qt::QueuedConnection);
}

qint32 SocketControl::errorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10053;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::NetworkError:
        return 10065;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    default:
        return 10000 + int(error);
    }
}
