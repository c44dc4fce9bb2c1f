#pragma once

#include <QString>

class AppContext;
class Database;

// The generated sections of the status page that do not depend on the cycle's notices: the
// refresh tag, the table of every device and item, and the footer. Each section that fails
// reports its error under its own routine name and comes back empty.
class HtmlSections final {
public:
    HtmlSections(AppContext& context, Database& db);
    HtmlSections(const HtmlSections&) = delete;
    HtmlSections& operator=(const HtmlSections&) = delete;

    // A refresh tag that reloads the page once per check interval.
    QString HTML_Header(const QString& strHTMLFile);
    QString HTML_Details();
    QString HTML_Footer();

private:
    QString detailsTable();
    QString deviceRows(const QString& device);

    AppContext& m_context;
    Database& m_db;
};
