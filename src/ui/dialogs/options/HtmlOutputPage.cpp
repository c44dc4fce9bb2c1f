#include "ui/dialogs/options/HtmlOutputPage.h"

#include "core/ErrorTrap.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList HtmlEndings = {QStringLiteral(".htm"), QStringLiteral(".html")};

const FileChoice TemplateChoice = {
    "cmdHTMLTemplate_Click",
    false,
    QStringLiteral("IP Orvex Monitor - HTML Template Location"),
    QStringLiteral("template.html"),
    QStringLiteral("HTML (*.html)"),
    HtmlEndings,
    QStringLiteral("The HTML template file must end in a htm or html extension."),
    &Key::HTMLTemplateFile};

const FileChoice HtmlChoice = {"cmdHTML_Click",
                               true,
                               QStringLiteral("IP Orvex Monitor - HTML Output Location"),
                               QStringLiteral("OrvexMonitor.html"),
                               QStringLiteral("HTML (*.html)"),
                               HtmlEndings,
                               QStringLiteral("The HTML file must end in a htm or html extension."),
                               &Key::HTMLFile};

} // namespace

HtmlOutputPage::HtmlOutputPage(AppContext& context, QWidget* parent)
    : OptionsPage(context, parent) {
    m_htmlOutput = boundBox(Key::HTMLOutput, QStringLiteral("Enable HTML Output"),
                            QStringLiteral("chkHTMLOutput"));
    m_htmlButton = button(QStringLiteral("HTML Output..."), QStringLiteral("cmdHTML"));
    m_htmlFile = boundPath(Key::HTMLFile, QStringLiteral("txtHTMLFile"));
    m_templateButton = button(QStringLiteral("Template..."), QStringLiteral("cmdHTMLTemplate"));
    m_templateFile = boundPath(Key::HTMLTemplateFile, QStringLiteral("txtHTMLTemplateFile"));
    auto* html = new QVBoxLayout;
    html->addWidget(m_htmlOutput);
    html->addLayout(buttonRow(m_htmlFile, m_htmlButton));
    html->addLayout(buttonRow(m_templateFile, m_templateButton));
    setFrames({frame(QStringLiteral("HTML Output"), html)});

    connect(m_htmlOutput, &QCheckBox::toggled, this, &HtmlOutputPage::chkArray_Click);
    connect(m_templateButton, &QPushButton::clicked, this,
            [this] { chooseFile(TemplateChoice, m_templateFile, m_htmlOutput); });
    connect(m_htmlButton, &QPushButton::clicked, this,
            [this] { chooseFile(HtmlChoice, m_htmlFile, m_htmlOutput); });
}

void HtmlOutputPage::load() {
    OptionsPage::load();
    chkArray_Click();
}

void HtmlOutputPage::chkArray_Click() {
    trapErrors(m_context, "chkArray_Click", [&] {
        const bool on = m_htmlOutput->isChecked();
        const QList<QWidget*> controls = {m_htmlButton, m_templateButton, m_htmlFile,
                                          m_templateFile};
        for (QWidget* control : controls)
            control->setEnabled(on);
    });
}
