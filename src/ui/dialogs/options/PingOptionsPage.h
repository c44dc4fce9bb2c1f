#pragma once

#include "ui/dialogs/options/OptionsPage.h"

// "Ping Options": the echo request's time-out and count, and checking all devices at once.
class PingOptionsPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PingOptionsPage)

public:
    explicit PingOptionsPage(AppContext& context, QWidget* parent = nullptr);
};
