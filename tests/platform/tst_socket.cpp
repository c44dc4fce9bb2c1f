#include "LoopbackPeers.h"
#include "platform/SocketControl.h"
#include "TestMain.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

class SocketTest : public QObject {
    Q_OBJECT

private slots:
    void listeningPort_connectsThenClosesToZero();
    void closedPort_errorThenElementReturnsToZero();
    void unansweredConnect_staysConnectingUntilClosed();
    void badPorts_endInErrorAndZero_data();
    void badPorts_endInErrorAndZero();
    void peerClosingAcceptedConnection_returnsToZero();
};

void SocketTest::listeningPort_connectsThenClosesToZero() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    SocketControl element(5);
    QSignalSpy connects(&element, &SocketControl::OnConnect);
    QSignalSpy errors(&element, &SocketControl::OnError);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(server.serverPort());
    element.Connect();
    QCOMPARE(element.State(), qint16(SocketControl::sckConnecting));
    QCOMPARE(connects.count(), 0);
    QTRY_COMPARE(connects.count(), 1);
    QCOMPARE(connects.first().at(0).value<qint16>(), qint16(5));
    QCOMPARE(element.State(), qint16(SocketControl::sckConnected));
    element.Close();
    QCOMPARE(element.State(), qint16(SocketControl::sckClosed));
    QCOMPARE(errors.count(), 0);
}

void SocketTest::closedPort_errorThenElementReturnsToZero() {
    SocketControl element(0);
    QSignalSpy errors(&element, &SocketControl::OnError);
    qint16 stateDuringEvent = -1;
    connect(&element, &SocketControl::OnError, this, [&] { stateDuringEvent = element.State(); });
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(LoopbackPeers::closedPort());
    element.Connect();
    QTRY_COMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(1).toInt(), 10061);
    QCOMPARE(errors.first().at(2).toString(), QStringLiteral("Connection refused"));
    QCOMPARE(stateDuringEvent, qint16(SocketControl::sckError));
    QCOMPARE(element.State(), qint16(SocketControl::sckClosed));
}

void SocketTest::unansweredConnect_staysConnectingUntilClosed() {
    LoopbackPeers::SilentListener listener;
    QVERIFY(listener.ok());
    SocketControl element(0);
    QSignalSpy connects(&element, &SocketControl::OnConnect);
    QSignalSpy errors(&element, &SocketControl::OnError);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(listener.port());
    element.Connect();
    QTest::qWait(400);
    QCOMPARE(element.State(), qint16(SocketControl::sckConnecting));
    element.Close();
    listener.close();
    QTest::qWait(200);
    QCOMPARE(connects.count() + errors.count(), 0);
    QCOMPARE(element.State(), qint16(SocketControl::sckClosed));
}

void SocketTest::badPorts_endInErrorAndZero_data() {
    QTest::addColumn<qint32>("remotePort");
    QTest::addColumn<qint32>("localPort");
    QTest::newRow("remote 0") << 0 << 0;
    QTest::newRow("remote above 65535") << 70000 << 0;
    QTest::newRow("remote negative") << -80 << 0;
    QTest::newRow("local negative") << 80 << -1;
}

void SocketTest::badPorts_endInErrorAndZero() {
    QFETCH(qint32, remotePort);
    QFETCH(qint32, localPort);
    SocketControl element(0);
    QSignalSpy errors(&element, &SocketControl::OnError);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(remotePort);
    element.setLocalPort(localPort);
    element.Connect();
    QCOMPARE(errors.count(), 0);
    QTRY_COMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(1).toInt(), 10022);
    QCOMPARE(element.State(), qint16(SocketControl::sckClosed));
}

void SocketTest::peerClosingAcceptedConnection_returnsToZero() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    SocketControl element(0);
    QSignalSpy connects(&element, &SocketControl::OnConnect);
    QSignalSpy errors(&element, &SocketControl::OnError);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(server.serverPort());
    element.Connect();
    QTRY_COMPARE(connects.count(), 1);
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket* peer = server.nextPendingConnection();
    peer->close();
    QTRY_COMPARE(element.State(), qint16(SocketControl::sckClosed));
    QCOMPARE(errors.count(), 0);
}

ORVEX_TEST_GUILESS_MAIN(SocketTest)
#include "tst_socket.moc"
