#pragma once

#include <QString>

class AppContext;
class Database;
class LocalTimes;

// The history section of the status page: for every item its availability over the last
// 24 hours and a bar of its last 30 checks drawn as inline SVG. Names, ports and error texts
// are escaped like everywhere else on the page.
class HtmlHistory final {
public:
    HtmlHistory(AppContext& context, Database& db);
    HtmlHistory(const HtmlHistory&) = delete;
    HtmlHistory& operator=(const HtmlHistory&) = delete;

    static constexpr int BarChecks = 30;

    // The section, or empty after a store error, which goes to the error report.
    QString HTML_History();

private:
    QString table();
    QString deviceRows(const QString& device, qint64 now, LocalTimes& times);

    AppContext& m_context;
    Database& m_db;
};
