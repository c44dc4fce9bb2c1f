#include "SmtpMessageText.h"
#include "SmtpReplyReader.h"
#include "SmtpServerAddress.h"
#include "TestMain.h"

class TestMailProtocol final : public QObject {
    Q_OBJECT

private slots:
    void replies_framedByLine_data();
    void replies_framedByLine();
    void replies_overlongLine_doesNotGrowForever();
    void message_keepsBodyIntact_data();
    void message_keepsBodyIntact();
    void server_hostAndPort_data();
    void server_hostAndPort();
};

// Each chunk is one read; the replies are "code|text" in the order they were completed.
void TestMailProtocol::replies_framedByLine_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("replies");

    QTest::newRow("one reply in one read")
        << QByteArrayList{"220 ready\r\n"} << QStringList{"220|220 ready\r\n"};
    QTest::newRow("split across reads")
        << QByteArrayList{"2", "20 rea", "dy\r", "\n"} << QStringList{"220|220 ready\r\n"};
    QTest::newRow("cut before its blank waits") << QByteArrayList{"250"} << QStringList{};
    QTest::newRow("multi-line reply handled once")
        << QByteArrayList{"220-first\r\n220-second\r\n220 ready\r\n"}
        << QStringList{"220|220-first\r\n220-second\r\n220 ready\r\n"};
    QTest::newRow("multi-line reply line by line")
        << QByteArrayList{"250-a\r\n", "250-b\r\n", "250 c\r\n"}
        << QStringList{"250|250-a\r\n250-b\r\n250 c\r\n"};
    QTest::newRow("two replies in one read") << QByteArrayList{"250 ok\r\n354 go\r\n"}
                                             << QStringList{"250|250 ok\r\n", "354|354 go\r\n"};
    QTest::newRow("code alone on its line")
        << QByteArrayList{"221\r\n"} << QStringList{"221|221\r\n"};
    QTest::newRow("bare line feed ends a line")
        << QByteArrayList{"550 no\n"} << QStringList{"550|550 no\n"};
    QTest::newRow("text without a code")
        << QByteArrayList{"hello there\r\n"} << QStringList{"0|hello there\r\n"};
    QTest::newRow("leading blank gives no code")
        << QByteArrayList{" 250 ok\r\n"} << QStringList{"0| 250 ok\r\n"};
    QTest::newRow("reply completed by the next read")
        << QByteArrayList{"550-a\r\n550", " b\r\n"} << QStringList{"550|550-a\r\n550 b\r\n"};
}

void TestMailProtocol::replies_framedByLine() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, replies);
    SmtpReplyReader reader;
    QStringList seen;
    for (const QByteArray& chunk : chunks) {
        for (const SmtpReply& reply : reader.feed(chunk))
            seen << QString::number(reply.code) + u'|' + QString::fromLatin1(reply.text);
    }
    QCOMPARE(seen, replies);
}

void TestMailProtocol::replies_overlongLine_doesNotGrowForever() {
    SmtpReplyReader reader;
    const QList<SmtpReply> replies = reader.feed(QByteArray(200 * 1024, 'x'));
    QVERIFY(!replies.isEmpty());
    for (const SmtpReply& reply : replies)
        QCOMPARE(reply.code, 0);
    // A well-formed reply after the flood is still understood.
    const QList<SmtpReply> after = reader.feed("\r\n250 ok\r\n");
    QCOMPARE(after.last().code, 250);
}

void TestMailProtocol::message_keepsBodyIntact_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("no final line break")
        << "First line\r\nlast line"
        << QByteArray("Subject: S\r\nFirst line\r\nlast line\r\n.\r\n");
    QTest::newRow("final line break keeps the extra empty line")
        << "Line\r\n"
        << QByteArray("Subject: S\r\nLine\r\n\r\n.\r\n");
    QTest::newRow("leading dot doubled")
        << ".hidden\r\n..two\r\nend"
        << QByteArray("Subject: S\r\n..hidden\r\n...two\r\nend\r\n.\r\n");
    QTest::newRow("lone dot cannot end the data early")
        << "before\r\n.\r\nafter" << QByteArray("Subject: S\r\nbefore\r\n..\r\nafter\r\n.\r\n");
    QTest::newRow("bare line feeds become CR LF")
        << "one\ntwo\n\nthree" << QByteArray("Subject: S\r\none\r\ntwo\r\n\r\nthree\r\n.\r\n");
    QTest::newRow("header lines and blank line from the caller")
        << "X-Priority: 1\r\n\r\nBody"
        << QByteArray("Subject: S\r\nX-Priority: 1\r\n\r\nBody\r\n.\r\n");
    QTest::newRow("dot inside a line untouched")
        << "a.b . c." << QByteArray("Subject: S\r\na.b . c.\r\n.\r\n");
    QTest::newRow("text beyond ASCII as UTF-8")
        << QStringLiteral("Gerät ausgefallen")
        << QByteArray("Subject: S\r\nGer\xc3\xa4t ausgefallen\r\n.\r\n");
}

void TestMailProtocol::message_keepsBodyIntact() {
    QFETCH(QString, body);
    QFETCH(QByteArray, sent);
    QCOMPARE(SmtpMessageText::compose(QStringLiteral("S"), body), sent);
}

void TestMailProtocol::server_hostAndPort_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::newRow("name") << "mail.example.org"
                          << "mail.example.org" << 25;
    QTest::newRow("name and port") << "mail.example.org:2525"
                                   << "mail.example.org" << 2525;
    QTest::newRow("address and port") << "127.0.0.1:587"
                                      << "127.0.0.1" << 587;
    QTest::newRow("bare IPv6 address") << "::1"
                                       << "::1" << 25;
    QTest::newRow("bracketed IPv6 and port") << "[::1]:2525"
                                             << "::1" << 2525;
    QTest::newRow("bracketed IPv6") << "[fe80::1]"
                                    << "fe80::1" << 25;
    QTest::newRow("port out of range kept as name") << "mail:70000"
                                                    << "mail:70000" << 25;
    QTest::newRow("port zero kept as name") << "mail:0"
                                            << "mail:0" << 25;
    QTest::newRow("not a number kept as name") << "mail:smtp"
                                               << "mail:smtp" << 25;
}

void TestMailProtocol::server_hostAndPort() {
    QFETCH(QString, server);
    QFETCH(QString, host);
    QFETCH(int, port);
    const SmtpServerAddress address = SmtpServerAddress::parse(server);
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);
}

ORVEX_TEST_GUILESS_MAIN(TestMailProtocol)
#include "tst_mail_protocol.moc"
