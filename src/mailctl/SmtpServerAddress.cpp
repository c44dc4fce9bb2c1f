#include "SmtpServerAddress.h"

namespace {
constexpr quint16 DefaultPort = 25;

bool parsePort(const QString& text, quint16* port) {
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535 || text.startsWith(u'+'))
        return false;
    *port = static_cast<quint16>(value);
    return true;
}
} // namespace

SmtpServerAddress SmtpServerAddress::parse(const QString& server) {
    SmtpServerAddress address{server, DefaultPort};
    if (server.startsWith(u'[')) {
        const qsizetype close = server.indexOf(u']');
        if (close < 0)
            return address;
        const QString rest = server.mid(close + 1);
        quint16 port = DefaultPort;
        if (rest.isEmpty() || (rest.startsWith(u':') && parsePort(rest.mid(1), &port)))
            return {server.mid(1, close - 1), port};
        return address;
    }
    // More than one colon without brackets is a bare IPv6 address.
    if (server.count(u':') != 1)
        return address;
    const qsizetype colon = server.indexOf(u':');
    quint16 port = DefaultPort;
    if (parsePort(server.mid(colon + 1), &port))
        return {server.left(colon), port};
    return address;
}
