#pragma once

#include <QString>

// The texts of a monitored item's row in the detail list.
namespace ItemCells {

// "Failed since <date>", "Recovered on <date>", or the stored status as it is.
QString statusText(const QString& status, const QString& failedOn, const QString& recoveredOn);

// "c/t (p%)" with the share of successful checks; the ping item adds its round-trip figures.
QString summary(qint64 connects, qint64 errors, const QString& port, double pingMin, double pingMax,
                double pingAverage);

// A round-trip figure the way it is stored: whole numbers without decimals.
QString number(double value);

} // namespace ItemCells
