#include "ui/dialogs/options/FailureCriteriaPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

FailureCriteriaPage::FailureCriteriaPage(AppContext& context, QWidget* parent)
    : OptionsPage(context, parent) {
    NumberField* consecutiveErrors = boundNumber(Key::SendOnConsecutiveFailure, 1, 20, 1,
                                                 QStringLiteral("txtConsecutiveErrors"));
    NumberField* minutes =
        boundNumber(Key::MinBetweenChecks, 1, 60, 1, QStringLiteral("txtMinutesBetweenChecks"));
    NumberField* hostTimeOut =
        boundNumber(Key::HostTimeOut, 1, 40, 10, QStringLiteral("txtHostTimeOut"));
    setFrames({frame(QStringLiteral("Device Failure Criteria"),
                     fieldRow(consecutiveErrors,
                              wrappedLabel(QStringLiteral(
                                  "Consecutive Errors To Consider A Device Failed.")))),
               frame(QStringLiteral("Checking Options"),
                     fieldRow(minutes, wrappedLabel(QStringLiteral("Minutes Between Checks.")))),
               frame(QStringLiteral("Device Options"),
                     fieldRow(hostTimeOut,
                              wrappedLabel(QStringLiteral("Device Time-out In Seconds."))))});
}
