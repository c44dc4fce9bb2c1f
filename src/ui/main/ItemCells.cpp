#include "ui/main/ItemCells.h"

namespace ItemCells {

QString statusText(const QString& status, const QString& failedOn, const QString& recoveredOn) {
    if (status == QLatin1String("Failed"))
        return status + QStringLiteral(" since ") + failedOn;
    if (status == QLatin1String("Recovered"))
        return status + QStringLiteral(" on ") + recoveredOn;
    return status;
}

QString summary(qint64 connects, qint64 errors, const QString& port, double pingMin, double pingMax,
                double pingAverage) {
    const qint64 total = connects + errors;
    const QString share =
        total == 0
            ? QStringLiteral("0.00%")
            : QString::number(100.0 * double(connects) / double(total), 'f', 2) + QLatin1Char('%');
    QString text = QString::number(connects) + QLatin1Char('/') + QString::number(total) +
                   QStringLiteral(" (") + share + QLatin1Char(')');
    if (port == QLatin1String("Ping"))
        text += QLatin1Char(' ') + number(pingMin) + QStringLiteral(" min/") + number(pingMax) +
                QStringLiteral(" max/") + number(pingAverage) + QStringLiteral(" average");
    return text;
}

QString number(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace ItemCells
