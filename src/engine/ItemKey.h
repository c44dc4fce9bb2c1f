#pragma once

#include <QString>

// The key of a monitored item: device + ":" + port. The port never holds ":", so the key is
// split at its last ":" and a device named by an IPv6 literal keeps its whole name.
struct ItemKey {
    QString device;
    QString port;

    static ItemKey split(const QString& key) {
        const qsizetype colon = key.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            return {key, {}};
        return {key.left(colon), key.mid(colon + 1)};
    }
    static QString join(const QString& device, const QString& port) {
        return device + QLatin1Char(':') + port;
    }
};
