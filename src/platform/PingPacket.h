#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// ICMP echo messages for IPv4 and IPv6: building requests and reading what comes back. Reading
// never trusts a length: a short or damaged packet reads as Kind::Other and is ignored.
namespace PingPacket {

enum class Kind {
    Other,     // anything that is not ours to look at
    EchoReply, // an answer to an echo request
    Error      // destination unreachable, time exceeded and the like, quoting an echo request
};

struct Message {
    Kind kind = Kind::Other;
    quint16 identifier = 0;
    quint16 sequence = 0;
    quint8 type = 0;
    quint8 code = 0;
};

constexpr int HeaderSize = 8;
constexpr int MaxPayload = 65507 - HeaderSize;

// An echo request with payloadSize bytes of data and a valid checksum.
QByteArray echoRequest(quint16 identifier, quint16 sequence, int payloadSize);

// The Internet checksum of the bytes.
quint16 checksum(const char* data, qsizetype size);

// Reads an ICMP message; withIpHeader when the packet starts with its IPv4 header (raw
// sockets), without it for datagram sockets. For an error the identifier and sequence are
// those of the echo request it quotes.
Message parse(const char* data, qsizetype size, bool withIpHeader);

// The text an error message of the given type and code is reported with.
QString errorText(quint8 type, quint8 code);

// ICMPv6 echo: the system fills in the checksum and hands packets over without their IPv6
// header, on datagram and raw sockets alike.
QByteArray echoRequest6(quint16 identifier, quint16 sequence, int payloadSize);
Message parse6(const char* data, qsizetype size);
QString errorText6(quint8 type, quint8 code);

} // namespace PingPacket
