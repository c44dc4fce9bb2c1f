#pragma once

#include "ui/dialogs/options/OptionsPage.h"

#include <array>

class Assistant;
class QCheckBox;
class QComboBox;

// "MS Agent": the character and its balloon. A character chosen from the list (a click in it,
// or the arrow keys) and the four balloon boxes act on the live character at once; a name
// found by typing its first letters is only shown, and taken by OK.
class AgentPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgentPage)

public:
    AgentPage(AppContext& context, Assistant& assistant, QWidget* parent = nullptr);

    void load() override;
    void apply() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chkBalloon_Click(int index);
    void SetBalloonStyleOptions();
    void cboCharacter_Click();
    void showCharacter(const QString& stored);
    void showMatch(const QString& typed);

    Assistant& m_assistant;
    QComboBox* m_character = nullptr;
    std::array<QCheckBox*, 4> m_balloon{};
    // The listed character the live one was last changed to, or opened with.
    QString m_chosen;
};
