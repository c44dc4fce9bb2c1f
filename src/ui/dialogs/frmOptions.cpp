#include "ui/dialogs/frmOptions.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "ui/dialogs/options/AgentPage.h"
#include "ui/dialogs/options/FailureCriteriaPage.h"
#include "ui/dialogs/options/FailureNotificationPage.h"
#include "ui/dialogs/options/HtmlOutputPage.h"
#include "ui/dialogs/options/MiscOptionsPage.h"
#include "ui/dialogs/options/PingOptionsPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

frmOptions::frmOptions(AppContext& context, Assistant& assistant, QWidget* parent)
    : QDialog(parent)
    , m_context(context) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Monitor Properties"));
    buildControls(assistant);
    connect(m_ok, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmOptions::buildControls(Assistant& assistant) {
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    // Every tab stays in sight: the window grows rather than hiding tabs behind arrows.
    m_tabs->setUsesScrollButtons(false);
    addPage(new AgentPage(m_context, assistant), QStringLiteral("MS Agent"));
    addPage(new FailureCriteriaPage(m_context), QStringLiteral("Failure Criteria"));
    addPage(new FailureNotificationPage(m_context), QStringLiteral("Failure Notification"));
    addPage(new HtmlOutputPage(m_context), QStringLiteral("HTML Output"));
    addPage(new MiscOptionsPage(m_context), QStringLiteral("Misc Options"));
    addPage(new PingOptionsPage(m_context), QStringLiteral("Ping Options"));

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setAutoDefault(false);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
}

void frmOptions::addPage(OptionsPage* page, const QString& caption) {
    m_tabs->addTab(page, caption);
    m_pages << page;
}

void frmOptions::Form_Load() {
    trapErrors(m_context, "Options_Load", [&] {
        m_tabs->setCurrentIndex(0);
        for (OptionsPage* page : std::as_const(m_pages))
            page->load();
        setInitialSize();
    });
}

void frmOptions::setInitialSize() {
    const double twipsPerPixel = logicalDpiX() > 0 ? 1440.0 / logicalDpiX() : 15.0;
    const QSize designed(qRound(WidthTwips / twipsPerPixel), qRound(HeightTwips / twipsPerPixel));
    // Larger fonts and long captions may need more room than the designed size.
    QSize size = designed.expandedTo(sizeHint());
    const QRect available = screen() ? screen()->availableGeometry() : QRect();
    if (available.isValid() && size.width() > available.width()) {
        // On a screen too narrow for every tab the tabs scroll, so the buttons stay on it.
        m_tabs->setUsesScrollButtons(true);
        m_tabs->updateGeometry();
        layout()->activate();
        size = designed.expandedTo(sizeHint());
    }
    if (available.isValid())
        size = size.boundedTo(available.size());
    resize(size);
}

void frmOptions::cmdOK_Click() {
    for (OptionsPage* page : std::as_const(m_pages))
        page->apply();
    accept();
}
