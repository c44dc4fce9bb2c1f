#pragma once

#include <QString>

// A mail server as the operator writes it: a host name or address, optionally followed by
// ":port" (an IPv6 address with a port is written in brackets, "[::1]:2525").
struct SmtpServerAddress {
    QString host;
    quint16 port = 25;

    static SmtpServerAddress parse(const QString& server);
};
