#pragma once

#include "ui/dialogs/options/OptionsPage.h"

#include <array>

class Assistant;
class QCheckBox;
class QComboBox;

// "MS Agent": the character and its balloon. Choosing a character and the four balloon boxes
// act on the live character at once.
class AgentPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgentPage)

public:
    AgentPage(AppContext& context, Assistant& assistant, QWidget* parent = nullptr);

    void load() override;
    void apply() override;

private:
    void chkBalloon_Click(int index);
    void SetBalloonStyleOptions();
    void cboCharacter_Click();

    Assistant& m_assistant;
    QComboBox* m_character = nullptr;
    std::array<QCheckBox*, 4> m_balloon{};
};
