#include "LoopbackPeers.h"
#include "platform/SocketArray.h"
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
    void connectWhileBusy_failsOnlyTheSecondRequest();
    void peerClosingAcceptedConnection_returnsToZero();
    void array_elementsReportTheirIndex();
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

void SocketTest::connectWhileBusy_failsOnlyTheSecondRequest() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    SocketControl element(0);
    QSignalSpy connects(&element, &SocketControl::OnConnect);
    QSignalSpy errors(&element, &SocketControl::OnError);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(server.serverPort());
    element.Connect();
    element.Connect();
    QTRY_COMPARE(connects.count(), 1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(1).toInt(), 40020);
    QCOMPARE(element.State(), qint16(SocketControl::sckConnected));
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

void SocketTest::array_elementsReportTheirIndex() {
    SocketArray array;
    QCOMPARE(array.size(), 31);
    const quint16 port = LoopbackPeers::closedPort();
    QList<qint16> reported;
    for (int i = 0; i < array.size(); ++i) {
        connect(&array[i], &SocketControl::OnError, this, [&](qint16 index) { reported << index; });
        array[i].setRemoteHost(QStringLiteral("127.0.0.1"));
        array[i].setRemotePort(port);
        array[i].Connect();
    }
    QTRY_COMPARE(reported.size(), 31);
    std::sort(reported.begin(), reported.end());
    for (int i = 0; i < 31; ++i)
        QCOMPARE(reported.at(i), qint16(i));
}

ORVEX_TEST_GUILESS_MAIN(SocketTest)
#include "tst_socket.moc"
