#include "report/HtmlHistory.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "report/HtmlText.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/DeviceQueries.h"
#include "store/History.h"

#include <QHash>
#include <QLocale>

// Local clock times of the checks. Each conversion of its own asks the system for the time
// zone, which costs a file look-up; a page shows 30,000 checks at a few dozen distinct
// times, so the offset is kept per quarter hour (offsets only change on quarter hours).
class LocalTimes final {
public:
    QString hoursAndMinutes(qint64 msecs) {
        constexpr qint64 Quarter = 15 * 60 * 1000;
        constexpr qint64 Day = 24 * 3600 * 1000;
        const qint64 quarter = msecs >= 0 ? msecs / Quarter : (msecs - Quarter + 1) / Quarter;
        auto offset = m_offsets.constFind(quarter);
        if (offset == m_offsets.cend()) {
            offset = m_offsets.insert(
                quarter, QDateTime::fromMSecsSinceEpoch(quarter * Quarter).offsetFromUtc());
        }
        const qint64 local = ((msecs + qint64(*offset) * 1000) % Day + Day) % Day;
        return QTime::fromMSecsSinceStartOfDay(int(local)).toString(QStringLiteral("HH:mm"));
    }

private:
    QHash<qint64, int> m_offsets;
};

namespace {
const QString CRLF = QStringLiteral("\r\n");
constexpr int MarkWidth = 6;
constexpr int MarkStep = 8;
constexpr int BarHeight = 16;

QString cell(const QString& content) {
    return QStringLiteral("<td valign='top'>") + content + QStringLiteral("</td>") + CRLF;
}

QString percentText(const Availability& a) {
    if (!a.known())
        return QStringLiteral("No checks");
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(a.percent(), 'f', 2) + QLatin1Char('%');
}

// "14:05 Failed: connection refused"; the date is left out, the bar covers a few hours.
QString markTitle(const CheckMark& mark, LocalTimes& times) {
    QString title = times.hoursAndMinutes(mark.time) +
                    (mark.connected ? QStringLiteral(" Connected") : QStringLiteral(" Failed"));
    if (!mark.error.isEmpty())
        title += QStringLiteral(": ") + mark.error;
    return HtmlText::escaped(title);
}

// The opening of each slot's mark up to its colour; built once, a page holds thousands.
const QVector<QString>& markOpenings() {
    static const QVector<QString> openings = [] {
        QVector<QString> result;
        for (int i = 0; i < HtmlHistory::BarChecks; ++i)
            result << QStringLiteral("<rect x='") + QString::number(i * MarkStep) +
                          QStringLiteral("' y='0' width='") + QString::number(MarkWidth) +
                          QStringLiteral("' height='") + QString::number(BarHeight) +
                          QStringLiteral("' fill='");
        return result;
    }();
    return openings;
}

QString checkBar(const QVector<CheckMark>& marks, LocalTimes& times) {
    int failed = 0;
    QString rects;
    rects.reserve(int(marks.size()) * 96);
    const qsizetype first = qMax<qsizetype>(0, marks.size() - HtmlHistory::BarChecks);
    for (qsizetype i = first; i < marks.size(); ++i) {
        const CheckMark& mark = marks.at(i);
        failed += mark.connected ? 0 : 1;
        rects += markOpenings().at(int(i - first));
        rects +=
            mark.connected ? QLatin1String("#1e8e3e'><title>") : QLatin1String("#c5221f'><title>");
        rects += markTitle(mark, times);
        rects += QLatin1String("</title></rect>");
    }
    const qsizetype shown = marks.size() - first;
    return QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' class='checks' width='") +
           QString::number(HtmlHistory::BarChecks * MarkStep) + QStringLiteral("' height='") +
           QString::number(BarHeight) + QStringLiteral("' role='img' aria-label='") +
           QString::number(shown - failed) + QStringLiteral(" good, ") + QString::number(failed) +
           QStringLiteral(" failed'>") + rects + QStringLiteral("</svg>");
}
} // namespace

HtmlHistory::HtmlHistory(AppContext& context, Database& db)
    : m_context(context)
    , m_db(db) {}

QString HtmlHistory::HTML_History() {
    QString result;
    if (!trapErrors(m_context, "HTML_History", [&] { result = table(); }))
        return {};
    return result;
}

QString HtmlHistory::table() {
    QString table = QStringLiteral("<table class='history' width='100%' border='1'><tr>") + CRLF;
    for (const char* heading : {"Device Name", "Port", "Last 24 Hours", "Last 30 Checks"}) {
        table += QStringLiteral("<th align='Left'>") + QLatin1String(heading) +
                 QStringLiteral("</th>") + CRLF;
    }
    table += QStringLiteral("</tr>") + CRLF;
    const qint64 now = m_context.clock().now().toMSecsSinceEpoch();
    LocalTimes times;
    Recordset devices = m_db.openRecordset(Catalogue::deviceNames());
    for (; !devices.atEnd(); devices.moveNext())
        table += deviceRows(devices.text(QStringLiteral("Device")), now, times);
    devices.close();
    return table + QStringLiteral("</table>") + CRLF;
}

QString HtmlHistory::deviceRows(const QString& device, qint64 now, LocalTimes& times) {
    const QString name = HtmlText::escaped(GetAlias(m_db, device));
    QString rows;
    Recordset items = m_db.openRecordset(Catalogue::itemsOfDevice(device));
    for (; !items.atEnd(); items.moveNext()) {
        const QString port = items.text(QStringLiteral("Port"));
        const HistoryScope item{device, port};
        rows += QStringLiteral("<tr>") + CRLF + cell(name) + cell(HtmlText::escaped(port));
        rows += cell(percentText(History::availability(m_db, item, now - History::DayMs, now)));
        rows += cell(checkBar(History::lastChecks(m_db, item, BarChecks), times));
        rows += QStringLiteral("</tr>") + CRLF;
    }
    items.close();
    return rows;
}
