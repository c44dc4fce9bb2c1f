#include "ui/dialogs/options/PingOptionsPage.h"

#include "ui/dialogs/NumberField.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PingOptionsPage::PingOptionsPage(AppContext& context, QWidget* parent)
    : OptionsPage(context, parent) {
    NumberField* timeOut =
        boundNumber(Key::PingTimeOut, 500, 9500, 500, QStringLiteral("txtPingTimeOut"));
    NumberField* count = numberField(1, 5, 1, QStringLiteral("txtPingCount"));
    // One echo request per check; the field shows it and cannot change it.
    count->setValue(1);
    count->setEnabled(false);
    auto* ping = new QVBoxLayout;
    ping->addLayout(
        fieldRow(timeOut, wrappedLabel(QStringLiteral("Ping Time-out value (in miliseconds)"))));
    ping->addLayout(fieldRow(
        count, wrappedLabel(QStringLiteral("Number Of Pings To Send To Determine Status"))));
    ping->addWidget(boundBox(Key::FastChecks, QStringLiteral("Check all devices at once"),
                             QStringLiteral("chkFastChecks")));
    setFrames({frame(QStringLiteral("Ping Options"), ping)});
}
