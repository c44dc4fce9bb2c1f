#include "report/HtmlPage.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "report/HtmlAgentScript.h"
#include "report/HtmlHistory.h"
#include "report/HtmlSections.h"
#include "report/HtmlText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QByteArray CRLF = QByteArrayLiteral("\r\n");
const QString Because =
    QStringLiteral("An error occurred while writing the HTML output file because ");
const QString TemplateMissing =
    QStringLiteral("the HTML template file you specified does not exist");
const QString TemplateUnreadable =
    QStringLiteral("the HTML template file you specified could not be read");
const QString OutputInvalid = QStringLiteral("the HTML output path is not valid");
} // namespace

HtmlPage::HtmlPage(AppContext& context, Database& db)
    : m_context(context)
    , m_db(db) {}

void HtmlPage::Create_HTML(QString& strHTMLFile, const FailureList& failures,
                           const RecoveryList& recoveries) {
    trapErrors(m_context, "Create_HTML", [&] {
        const QString templatePath = m_context.catalogue().htmlTemplateFile();
        strHTMLFile = m_context.catalogue().htmlFile();

        if (!QFileInfo(templatePath).isFile()) {
            templateUnusable(TemplateMissing, strHTMLFile);
            return;
        }
        QFile templateFile(templatePath);
        if (!templateFile.open(QIODevice::ReadOnly)) {
            templateUnusable(TemplateUnreadable, strHTMLFile);
            return;
        }
        const QByteArray page =
            filledPage(withCrLf(templateFile.readAll()), strHTMLFile, failures, recoveries);
        templateFile.close();

        if (sameFile(templatePath, strHTMLFile) || !writePage(strHTMLFile, page))
            switchOff(Because + OutputInvalid + QLatin1Char('.'));
    });
}

QByteArray HtmlPage::withCrLf(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size() + text.size() / 32 + 2);
    bool lineOpen = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            result += CRLF;
            lineOpen = false;
        } else {
            result += c;
            lineOpen = true;
        }
    }
    if (lineOpen)
        result += CRLF;
    return result;
}

QByteArray HtmlPage::filledPage(QByteArray page, const QString& strHTMLFile,
                                const FailureList& failures, const RecoveryList& recoveries) {
    HtmlSections sections(m_context, m_db);
    HtmlAgentScript agent(m_context);
    // Each marker is replaced over the text the previous replacements left; the inserted
    // texts are escaped, so none of them can bring in a marker of its own.
    const auto replace = [&page](const char* marker, const QString& text) {
        page.replace(QByteArray(marker), text.toLocal8Bit());
    };
    replace("<!--LastCheck-->", HtmlText::escaped(m_context.clock().generalDate()));
    replace("<!--FailedDevices-->", QString::number(failures.size()));
    replace("<!--RecoveredDevices-->", QString::number(recoveries.size()));
    replace("<!--Header-->", sections.HTML_Header(strHTMLFile));
    replace("<!--Details-->", sections.HTML_Details());
    // The history costs a query per item, so only a template that shows it pays for it.
    if (page.contains(QByteArrayLiteral("<!--History-->")))
        replace("<!--History-->", HtmlHistory(m_context, m_db).HTML_History());
    replace("<!--Footer-->", sections.HTML_Footer());
    replace("<!--Agent-->", agent.HTML_Agent(failures, recoveries));
    return page;
}

void HtmlPage::templateUnusable(const QString& reason, const QString& strHTMLFile) {
    const QString message = Because + reason;
    const QString page = QStringLiteral("<HTML><BODY><CENTER><H1>") + AppInfo::Title +
                         QStringLiteral(" - Error Had Occured</H1></CENTER><HR>") + message +
                         QStringLiteral(".<BR>") + message + QStringLiteral("<HR></BODY></HTML>");
    // The error page only ever replaces a page that is already there.
    const bool written =
        QFileInfo(strHTMLFile).isFile() && writePage(strHTMLFile, page.toLocal8Bit());
    switchOff(message +
              (written ? QStringLiteral(".")
                       : QStringLiteral("\\pau=300\\ and ") + OutputInvalid + QLatin1Char('.')));
}

void HtmlPage::switchOff(const QString& explanation) {
    m_context.speak(explanation, QStringLiteral("Explain"), false);
    m_context.speak(QStringLiteral("Please verify the HTML output settings from the options menu."),
                    QStringLiteral("Suggest"), false);
    m_context.log().WriteLog(
        QStringLiteral("Error writing HTML output file.  HTML output has been disabled"),
        QStringLiteral("Warning"));
    m_context.catalogue().set(Key::HTMLOutput, false);
}

bool HtmlPage::sameFile(const QString& templatePath, const QString& outputPath) {
    // Writing the page over its own template would leave no markers for the next check.
    const QString output = QFileInfo(outputPath).canonicalFilePath();
    return !output.isEmpty() && output == QFileInfo(templatePath).canonicalFilePath();
}

bool HtmlPage::writePage(const QString& path, const QByteArray& page) {
    // A browser reloading the page sees the old page or the new one, never half of one.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(page);
    file.write(CRLF);
    return file.commit();
}
