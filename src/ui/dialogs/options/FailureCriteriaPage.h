#pragma once

#include "ui/dialogs/options/OptionsPage.h"

// "Failure Criteria": when a device counts as failed, and how often the devices are checked.
class FailureCriteriaPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FailureCriteriaPage)

public:
    explicit FailureCriteriaPage(AppContext& context, QWidget* parent = nullptr);
};
