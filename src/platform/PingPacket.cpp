#include "platform/PingPacket.h"

namespace PingPacket {

namespace {
constexpr quint8 EchoReplyType = 0;
constexpr quint8 DestinationUnreachable = 3;
constexpr quint8 SourceQuench = 4;
constexpr quint8 Redirect = 5;
constexpr quint8 EchoRequestType = 8;
constexpr quint8 TimeExceeded = 11;
constexpr quint8 ParameterProblem = 12;
constexpr quint8 IcmpProtocol = 1;

quint16 read16(const uchar* p) {
    return quint16((p[0] << 8) | p[1]);
}

// The length of the IPv4 header at p, or 0 when there is none that fits.
qsizetype ipHeaderLength(const uchar* p, qsizetype size) {
    if (size < 20 || (p[0] >> 4) != 4)
        return 0;
    const qsizetype length = qsizetype(p[0] & 0x0f) * 4;
    return length >= 20 && length <= size ? length : 0;
}

bool isError(quint8 type) {
    // Redirects and source quench are advice; the request may still be answered.
    return type == DestinationUnreachable || type == TimeExceeded || type == ParameterProblem;
}
} // namespace

quint16 checksum(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const uchar*>(data);
    quint32 sum = 0;
    qsizetype i = 0;
    for (; i + 1 < size; i += 2)
        sum += read16(p + i);
    if (i < size)
        sum += quint32(p[i]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return quint16(~sum);
}

QByteArray echoRequest(quint16 identifier, quint16 sequence, int payloadSize) {
    const int payload = qBound(0, payloadSize, MaxPayload);
    QByteArray packet(HeaderSize + payload, '\0');
    auto* p = reinterpret_cast<uchar*>(packet.data());
    p[0] = EchoRequestType;
    p[4] = uchar(identifier >> 8);
    p[5] = uchar(identifier);
    p[6] = uchar(sequence >> 8);
    p[7] = uchar(sequence);
    for (int i = 0; i < payload; ++i)
        p[HeaderSize + i] = uchar('a' + i % 23);
    const quint16 sum = checksum(packet.constData(), packet.size());
    p[2] = uchar(sum >> 8);
    p[3] = uchar(sum);
    return packet;
}

Message parse(const char* data, qsizetype size, bool withIpHeader) {
    const auto* p = reinterpret_cast<const uchar*>(data);
    if (withIpHeader) {
        const qsizetype skip = ipHeaderLength(p, size);
        if (skip == 0 || p[9] != IcmpProtocol)
            return {};
        p += skip;
        size -= skip;
    }
    if (size < HeaderSize)
        return {};
    Message message;
    message.type = p[0];
    message.code = p[1];
    if (message.type == EchoReplyType) {
        message.kind = Kind::EchoReply;
        message.identifier = read16(p + 4);
        message.sequence = read16(p + 6);
        return message;
    }
    if (!isError(message.type))
        return {};
    // The error quotes the IPv4 header and the first eight bytes of what we sent.
    const uchar* quoted = p + HeaderSize;
    const qsizetype quotedSize = size - HeaderSize;
    const qsizetype innerHeader = ipHeaderLength(quoted, quotedSize);
    if (innerHeader == 0 || quoted[9] != IcmpProtocol || quotedSize - innerHeader < HeaderSize)
        return {};
    const uchar* request = quoted + innerHeader;
    if (request[0] != EchoRequestType)
        return {};
    message.kind = Kind::Error;
    message.identifier = read16(request + 4);
    message.sequence = read16(request + 6);
    return message;
}

QString errorText(quint8 type, quint8 code) {
    switch (type) {
    case DestinationUnreachable:
        switch (code) {
        case 0:
            return QStringLiteral("Destination net unreachable.");
        case 1:
            return QStringLiteral("Destination host unreachable.");
        case 2:
            return QStringLiteral("Destination protocol unreachable.");
        case 3:
            return QStringLiteral("Destination port unreachable.");
        case 4:
            return QStringLiteral("Packet needs to be fragmented but DF set.");
        case 9:
        case 10:
        case 13:
            return QStringLiteral("Communication administratively prohibited.");
        default:
            return QStringLiteral("Destination unreachable.");
        }
    case TimeExceeded:
        return code == 0 ? QStringLiteral("TTL expired in transit.")
                         : QStringLiteral("Fragment reassembly time exceeded.");
    case SourceQuench:
        return QStringLiteral("Source quench received.");
    case Redirect:
        return QStringLiteral("Redirect received.");
    case ParameterProblem:
        return QStringLiteral("Parameter problem.");
    default:
        return QStringLiteral("General failure.");
    }
}

namespace {
constexpr quint8 Unreachable6 = 1;
constexpr quint8 TooBig6 = 2;
constexpr quint8 TimeExceeded6 = 3;
constexpr quint8 ParameterProblem6 = 4;
constexpr quint8 EchoRequest6 = 128;
constexpr quint8 EchoReply6 = 129;
constexpr qsizetype Ip6HeaderSize = 40;
constexpr quint8 Icmp6Protocol = 58;
} // namespace

QByteArray echoRequest6(quint16 identifier, quint16 sequence, int payloadSize) {
    QByteArray packet = echoRequest(identifier, sequence, payloadSize);
    auto* p = reinterpret_cast<uchar*>(packet.data());
    p[0] = EchoRequest6;
    // The checksum covers a pseudo-header only the system knows; it writes it.
    p[2] = 0;
    p[3] = 0;
    return packet;
}

Message parse6(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const uchar*>(data);
    if (size < HeaderSize)
        return {};
    Message message;
    message.type = p[0];
    message.code = p[1];
    if (message.type == EchoReply6) {
        message.kind = Kind::EchoReply;
        message.identifier = read16(p + 4);
        message.sequence = read16(p + 6);
        return message;
    }
    if (message.type < Unreachable6 || message.type > ParameterProblem6)
        return {};
    // The error quotes the IPv6 header and the start of what we sent; a request carrying
    // extension headers is none of ours.
    const uchar* quoted = p + HeaderSize;
    if (size - HeaderSize < Ip6HeaderSize + HeaderSize || (quoted[0] >> 4) != 6 ||
        quoted[6] != Icmp6Protocol)
        return {};
    const uchar* request = quoted + Ip6HeaderSize;
    if (request[0] != EchoRequest6)
        return {};
    message.kind = Kind::Error;
    message.identifier = read16(request + 4);
    message.sequence = read16(request + 6);
    return message;
}

QString errorText6(quint8 type, quint8 code) {
    switch (type) {
    case Unreachable6:
        switch (code) {
        case 0:
            return QStringLiteral("Destination net unreachable.");
        case 1:
            return QStringLiteral("Communication administratively prohibited.");
        case 3:
            return QStringLiteral("Destination host unreachable.");
        case 4:
            return QStringLiteral("Destination port unreachable.");
        default:
            return QStringLiteral("Destination unreachable.");
        }
    case TooBig6:
        return QStringLiteral("Packet too big.");
    case TimeExceeded6:
        return code == 0 ? QStringLiteral("TTL expired in transit.")
                         : QStringLiteral("Fragment reassembly time exceeded.");
    case ParameterProblem6:
        return QStringLiteral("Parameter problem.");
    default:
        return QStringLiteral("General failure.");
    }
}

} // namespace PingPacket
