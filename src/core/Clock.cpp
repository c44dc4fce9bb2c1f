#include "core/Clock.h"

#include <QLocale>

namespace {
// The locale's long time format without a time-zone name, which the program never shows.
QString longTimeFormat() {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}
} // namespace

QString Clock::generalDate(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), longTimeFormat());
}

QString Clock::longDate(const QDate& date) {
    return QLocale::system().toString(date, QLocale::LongFormat);
}

QString Clock::shortTime(const QTime& time) {
    return QLocale::system().toString(time, QLocale::ShortFormat);
}
