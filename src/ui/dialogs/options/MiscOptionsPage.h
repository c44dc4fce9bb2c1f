#pragma once

#include "ui/dialogs/options/OptionsPage.h"

class QLabel;

// "Misc Options": the icon reset count, starting checks with the program, and the history kept.
class MiscOptionsPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MiscOptionsPage)

public:
    explicit MiscOptionsPage(AppContext& context, QWidget* parent = nullptr);

    void load() override;

private:
    NumberField* m_resetIcon = nullptr;
    QLabel* m_resetIconLabel = nullptr;
};
