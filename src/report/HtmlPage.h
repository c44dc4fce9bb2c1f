#pragma once

#include "core/CycleNotices.h"

#include <QByteArray>
#include <QString>

class AppContext;
class Database;

// The status page: the operator's template with its markers replaced by the time of the
// check, the cycle's counts, a refresh tag, the device table, a footer and the character
// script. The template is copied byte for byte apart from the markers and its line ends, so
// a template in any 8-bit encoding survives. A page that cannot be made or written is
// reported once and the page is switched off; monitoring carries on.
class HtmlPage final {
public:
    HtmlPage(AppContext& context, Database& db);
    HtmlPage(const HtmlPage&) = delete;
    HtmlPage& operator=(const HtmlPage&) = delete;

    // Reads the template and output paths from the settings; strHTMLFile receives the output
    // path that was used.
    void Create_HTML(QString& strHTMLFile, const FailureList& failures,
                     const RecoveryList& recoveries);

    // Every line of text followed by CR LF, whatever line ends the text had.
    static QByteArray withCrLf(const QByteArray& text);

private:
    QByteArray filledPage(QByteArray page, const QString& strHTMLFile, const FailureList& failures,
                          const RecoveryList& recoveries);
    void templateUnusable(const QString& reason, const QString& strHTMLFile);
    void switchOff(const QString& explanation);
    static bool sameFile(const QString& templatePath, const QString& outputPath);
    static bool writePage(const QString& path, const QByteArray& page);

    AppContext& m_context;
    Database& m_db;
};
