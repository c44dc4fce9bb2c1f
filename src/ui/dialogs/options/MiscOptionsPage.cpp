#include "ui/dialogs/options/MiscOptionsPage.h"

#include "core/AppContext.h"
#include "ui/dialogs/NumberField.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

MiscOptionsPage::MiscOptionsPage(AppContext& context, QWidget* parent)
    : OptionsPage(context, parent) {
    m_resetIcon = boundNumber(Key::ResetIcon, 1, 100, 1, QStringLiteral("txtResetIcon"));
    m_resetIconLabel = wrappedLabel(QStringLiteral(
        "Number Of Times A Recovered Port Must Be Active Before Resetting The Icon."));
    QCheckBox* autoStart =
        boundBox(Key::AutoStart, QStringLiteral("Start Check When Program Starts"),
                 QStringLiteral("chkAutoStart"));
    auto* automation = new QVBoxLayout;
    automation->addWidget(autoStart);
    // Up to ten years of checks.
    NumberField* historyDays =
        boundNumber(Key::HistoryDays, 1, 3650, 1, QStringLiteral("txtHistoryDays"));
    setFrames(
        {frame(QStringLiteral("Device/Port Icon Option"), fieldRow(m_resetIcon, m_resetIconLabel)),
         frame(QStringLiteral("Automation"), automation),
         frame(QStringLiteral("Check History"),
               fieldRow(historyDays,
                        wrappedLabel(QStringLiteral("Days Of Check History To Keep."))))});
}

void MiscOptionsPage::load() {
    OptionsPage::load();
    // The count the cycle is using cannot change under it.
    const bool locked = m_context.state().MonitoringOn;
    m_resetIcon->setEnabled(!locked);
    m_resetIconLabel->setEnabled(!locked);
}
