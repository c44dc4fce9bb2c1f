#include "report/HtmlSections.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "report/HtmlText.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/DeviceQueries.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// The success rate as a percentage with two decimals in the user's number format.
QString rateText(qint64 connects, qint64 errors) {
    const qint64 total = connects + errors;
    const double percent = total == 0 ? 0.0 : 100.0 * double(connects) / double(total);
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(percent, 'f', 2) + QLatin1Char('%');
}

qint64 counter(const Recordset& items, const QString& field) {
    return static_cast<qint64>(std::llround(items.number(field)));
}

QString cell(const QString& content) {
    return QStringLiteral("<td valign='top'>") + content + QStringLiteral("</td>") + CRLF;
}
} // namespace

HtmlSections::HtmlSections(AppContext& context, Database& db)
    : m_context(context)
    , m_db(db) {}

QString HtmlSections::HTML_Header(const QString& strHTMLFile) {
    QString result;
    trapErrors(m_context, "HTML_Header", [&] {
        const double seconds = std::nearbyint(m_context.catalogue().minBetweenChecksNumber() * 60);
        if (!(std::fabs(seconds) <= double(std::numeric_limits<qint32>::max())))
            throw RuntimeError::overflow();
        result = QStringLiteral("<meta HTTP-EQUIV='Refresh' CONTENT='") +
                 QString::number(qint32(seconds)) + QLatin1Char(',') +
                 HtmlText::escaped(Paths::fileNamePart(strHTMLFile)) + QStringLiteral("'>");
    });
    return result;
}

QString HtmlSections::HTML_Details() {
    QString result;
    if (!trapErrors(m_context, "HTML_Details", [&] { result = detailsTable(); }))
        return {};
    return result;
}

QString HtmlSections::detailsTable() {
    QString table = QStringLiteral("<table width='100%' border='1'><tr>") + CRLF;
    for (const char* heading :
         {"Device Name", "Port", "Status", "Last Error", "Connection Summary"}) {
        table += QStringLiteral("<th align='Left'>") + QLatin1String(heading) +
                 QStringLiteral("</th>") + CRLF;
    }
    table += QStringLiteral("</tr>") + CRLF;

    Recordset devices = m_db.openRecordset(Catalogue::deviceNames());
    for (; !devices.atEnd(); devices.moveNext())
        table += deviceRows(devices.text(QStringLiteral("Device")));
    devices.close();
    return table + QStringLiteral("</table>") + CRLF;
}

QString HtmlSections::deviceRows(const QString& device) {
    const QString name = HtmlText::escaped(GetAlias(m_db, device));
    Recordset items = m_db.openRecordset(Catalogue::itemsOfDevice(device));
    const int itemCount = items.count();

    // A rowspan of 0 would stretch the name over every row that follows, so a device
    // without items keeps a row of its own with empty cells.
    QString rows = QStringLiteral("<tr>") + CRLF + QStringLiteral("<td rowspan ='") +
                   QString::number(std::max(itemCount, 1)) + QStringLiteral("' valign='top'>") +
                   name + QStringLiteral("</td>") + CRLF;
    if (itemCount == 0)
        return rows + cell({}) + cell({}) + cell({}) + cell({}) + QStringLiteral("</tr>") + CRLF;

    for (bool first = true; !items.atEnd(); items.moveNext(), first = false) {
        if (!first)
            rows += QStringLiteral("<tr>") + CRLF;
        const QString status = items.text(QStringLiteral("Status"));
        QString statusText = status;
        QString statusClass = QStringLiteral("OK");
        if (status == QLatin1String("Failed")) {
            statusText += QStringLiteral(" since ") + items.text(QStringLiteral("Failed_On"));
            statusClass = QStringLiteral("Failed");
        } else if (status == QLatin1String("Recovered")) {
            statusText += QStringLiteral(" on ") + items.text(QStringLiteral("Recovered_On"));
            statusClass = QStringLiteral("Recovered");
        }
        const qint64 connects = counter(items, QStringLiteral("Connect"));
        const qint64 errors = counter(items, QStringLiteral("Error"));

        rows += QStringLiteral("<td valign='top' class='") + statusClass + QStringLiteral("'>") +
                HtmlText::escaped(items.text(QStringLiteral("Port"))) + QStringLiteral("</td>") +
                CRLF;
        rows += cell(HtmlText::escaped(statusText));
        rows += cell(HtmlText::escaped(items.text(QStringLiteral("Last_Error"))));
        rows += cell(QString::number(connects) + QStringLiteral(" out of ") +
                     QString::number(errors + connects) + QStringLiteral(" times (") +
                     rateText(connects, errors) + QLatin1Char(')'));
        rows += QStringLiteral("</tr>") + CRLF;
    }
    items.close();
    return rows;
}

QString HtmlSections::HTML_Footer() {
    // The footer is decoration: a piece that cannot be built is left out.
    QString footer = QStringLiteral("<span = 'footer'>");
    ignoreErrors([&] {
        footer += QStringLiteral("<p align='center'><small>Last Updated:&nbsp;") +
                  HtmlText::escaped(m_context.clock().generalDate()) +
                  QStringLiteral("</small><br>");
    });
    ignoreErrors([&] {
        footer += QStringLiteral("<small>Created by:&nbsp; <a href='") +
                  HtmlText::escaped(AppInfo::WebSite) + QStringLiteral("'>") + AppInfo::Title +
                  QStringLiteral("</a></small></p>");
    });
    footer += QStringLiteral("</span>");
    return footer;
}
