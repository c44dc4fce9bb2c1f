#pragma once

#include <QDateTime>

// The source of "now" and the program's date texts. Tests replace now() with a fixed time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }

    // The general date-and-time format: short date, a blank, long time.
    QString generalDate() const { return generalDate(now()); }
    static QString generalDate(const QDateTime& when);
    static QString longDate(const QDate& date);
    static QString shortTime(const QTime& time);
};
