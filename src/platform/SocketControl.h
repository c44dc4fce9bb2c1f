#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QHostInfo;
class QSocketNotifier;
class QTcpSocket;
class QTimer;

// One asynchronous TCP connect element. Connect() starts an attempt and returns; the outcome
// arrives from the event loop as OnConnect (accepted) or OnError (with a description). State
// follows the attempt: 0 closed, 4 resolving the host, 6 connecting, 7 connected, 8 closing,
// 9 error. An outcome changes the state only as its event is delivered, so a loop that waits
// on the state never sees an attempt end before its event has run. After an error event the
// element closes itself if the handler did not, and a connection the peer ends closes too, so
// every attempt leaves the element at 0 again (a connection that is accepted stays open until
// Close()). Each address of the host is tried once, for at most 30 seconds: one connection
// attempt per address.
class SocketControl final : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 LocalPort READ LocalPort WRITE setLocalPort)
    Q_PROPERTY(QString RemoteHost READ RemoteHost WRITE setRemoteHost)
    Q_PROPERTY(qint32 RemotePort READ RemotePort WRITE setRemotePort)
    Q_PROPERTY(qint16 State READ State)
    Q_DISABLE_COPY_MOVE(SocketControl)

public:
    enum : qint16 {
        sckClosed = 0,
        sckResolvingHost = 4,
        sckConnecting = 6,
        sckConnected = 7,
        sckClosing = 8,
        sckError = 9
    };

    explicit SocketControl(qint16 index, QObject* parent = nullptr);
    ~SocketControl() override;

    qint16 Index() const { return m_index; }
    qint32 LocalPort() const { return m_localPort; }
    void setLocalPort(qint32 port) { m_localPort = port; }
    QString RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString& host) { m_remoteHost = host; }
    qint32 RemotePort() const { return m_remotePort; }
    void setRemotePort(qint32 port) { m_remotePort = port; }
    qint16 State() const { return m_state; }

    Q_INVOKABLE void Connect();
    // Ends the attempt or connection at once; events not yet delivered are dropped.
    Q_INVOKABLE void Close();

    // The error number an error event carries for a socket error.
    static qint32 errorNumber(QAbstractSocket::SocketError error);

signals:
    void OnConnect(qint16 Index);
    void OnError(qint16 Index, qint32 Number, const QString& Description);

private:
    void lookedUp(const QHostInfo& info);
    void tryNextAddress();
    void attemptEnded();
    void attemptTimedOut();
    void dropConnectingSocket();
    void accepted(int fd);
    void failedWithErrno(int error);
    void endAttempt();
    void socketError(QAbstractSocket::SocketError error);
    void socketDisconnected();
    void raiseError(qint32 number, const QString& description);

    const qint16 m_index;
    QTcpSocket* m_socket; // carries an accepted connection
    qint32 m_localPort = 0;
    QString m_remoteHost;
    qint32 m_remotePort = 0;
    qint16 m_state = sckClosed;
    // Each attempt has its own generation; events of an earlier one are dropped.
    quint64 m_generation = 0;
    bool m_outcomeQueued = false;

    // The attempt under way: the addresses still to try, the lookup or the connecting socket.
    QList<QHostAddress> m_addresses;
    int m_lookupId = -1;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_attemptTimer;
    int m_lastErrno = 0;
};
