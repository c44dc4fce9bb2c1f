#include "ui/dialogs/options/AgentPage.h"

#include "character/AgentCharacter.h"
#include "character/BalloonStyle.h"
#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "report/Assistant.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>

namespace {

// The balloon style bit each balloon box stands for.
constexpr std::array<int, 4> BalloonBits = {BalloonStyle::BalloonOn, BalloonStyle::AutoHide,
                                            BalloonStyle::AutoPace, BalloonStyle::SizeToText};

// A printable key on the closed list searches it by name; space still opens it.
bool isSearchKey(const QKeyEvent& key) {
    const QString typed = key.text();
    return !typed.isEmpty() && typed.at(0).isPrint() && key.key() != Qt::Key_Space &&
           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

AgentPage::AgentPage(AppContext& context, Assistant& assistant, QWidget* parent)
    : OptionsPage(context, parent)
    , m_assistant(assistant) {
    m_character = new QComboBox;
    m_character->setObjectName(QStringLiteral("cboCharacter"));
    m_character->setEditable(false);
    m_character->installEventFilter(this);
    auto* available = new QLabel(QStringLiteral("Available Characters:"));
    available->setBuddy(m_character);
    auto* selection = new QGridLayout;
    selection->addWidget(available, 0, 0);
    selection->addWidget(m_character, 0, 1);
    selection->addWidget(
        wrappedLabel(QStringLiteral("Additional characters are available from the Internet")), 1, 0,
        1, 2);
    selection->setColumnStretch(1, 1);

    QCheckBox* hideOnIdle =
        boundBox(Key::HideCharacterOnIdle, QStringLiteral("Hide Character On Idle"),
                 QStringLiteral("chkHideCharacterOnIdle"));
    QCheckBox* announceDate = boundBox(Key::AnnounceDate, QStringLiteral("Announce Date and Time"),
                                       QStringLiteral("chkAnnounceDate"));
    auto* options = new QGridLayout;
    options->addWidget(hideOnIdle, 0, 0);
    options->addWidget(announceDate, 0, 1);

    const Setting<bool>* keys[] = {&Key::BalloonShow, &Key::AutoHide, &Key::AutoPace,
                                   &Key::SizeToText};
    const QString captions[] = {QStringLiteral("Display &word balloon"),
                                QStringLiteral("A&uto hide"), QStringLiteral("Auto &pace"),
                                QStringLiteral("Si&ze to text")};
    auto* balloon = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_balloon[i] = boundBox(*keys[i], captions[i], QStringLiteral("chkBalloon%1").arg(i));
        balloon->addWidget(m_balloon[i], i / 2, i % 2);
    }

    setFrames({frame(QStringLiteral("Character Selection"), selection),
               frame(QStringLiteral("MS Agent Options"), options),
               frame(QStringLiteral("MS Agent Balloon Options"), balloon)});

    for (int i = 0; i < 4; ++i)
        connect(m_balloon[i], &QCheckBox::toggled, this, [this, i] { chkBalloon_Click(i); });
    connect(m_character, &QComboBox::activated, this, &AgentPage::cboCharacter_Click);
}

void AgentPage::load() {
    m_character->clear();
    m_character->addItems(m_assistant.availableCharacters());
    showCharacter(m_context.catalogue().get(Key::Character));
    OptionsPage::load();
    // The stored balloon options go to the live character, which then shows what it took.
    for (int i = 0; i < 4; ++i)
        chkBalloon_Click(i);
    SetBalloonStyleOptions();
}

void AgentPage::showCharacter(const QString& stored) {
    m_character->setCurrentIndex(m_character->findText(stored, Qt::MatchFixedString));
    // A stored name without a character file still shows, and OK keeps it.
    m_character->setPlaceholderText(stored);
    m_chosen = m_character->currentText();
}

void AgentPage::apply() {
    const bool listed = m_character->currentIndex() >= 0;
    const QString character = listed ? m_character->currentText() : m_character->placeholderText();
    if (listed && character != m_chosen) {
        // A name found by typing becomes the live character now, with the balloon as shown.
        ignoreErrors([&] { m_assistant.ChangeCharacter(character); });
        m_chosen = character;
        for (int i = 0; i < 4; ++i)
            chkBalloon_Click(i);
    }
    if (!character.trimmed().isEmpty())
        m_context.catalogue().set(Key::Character, character);
    OptionsPage::apply();
}

bool AgentPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_character && event->type() == QEvent::KeyPress &&
        isSearchKey(*static_cast<QKeyEvent*>(event))) {
        showMatch(static_cast<QKeyEvent*>(event)->text());
        return true;
    }
    return OptionsPage::eventFilter(watched, event);
}

// Finds the next name that starts with what was typed, as the list itself would, but only
// shows it: loading a character for every letter typed is not what the typing asked for.
void AgentPage::showMatch(const QString& typed) {
    QAbstractItemView* view = m_character->view();
    view->setCurrentIndex(
        m_character->model()->index(m_character->currentIndex(), m_character->modelColumn()));
    view->keyboardSearch(typed);
    const int found = view->currentIndex().row();
    if (found >= 0)
        m_character->setCurrentIndex(found);
}

void AgentPage::chkBalloon_Click(int index) {
    const bool checked = m_balloon[index]->isChecked();
    if (index == 0)
        for (int i = 1; i < 4; ++i)
            m_balloon[i]->setEnabled(checked);
    ignoreErrors([&] {
        AgentCharacter* character = m_assistant.character();
        if (!character)
            return;
        const int style = character->balloonStyle();
        const int bit = BalloonBits[index];
        character->setBalloonStyle(checked ? (style | bit) : (style & ~bit));
    });
}

void AgentPage::SetBalloonStyleOptions() {
    ignoreErrors([&] {
        AgentCharacter* character = m_assistant.character();
        if (!character)
            return;
        const int style = character->balloonStyle();
        const bool on = (style & BalloonStyle::BalloonOn) != 0;
        m_balloon[0]->setChecked(on);
        for (QCheckBox* box : m_balloon)
            box->setEnabled(on);
        for (int i = 1; i < 4; ++i)
            m_balloon[i]->setChecked((style & BalloonBits[i]) != 0);
        if (!character->balloonEnabled()) {
            for (QCheckBox* box : m_balloon)
                box->setEnabled(false);
        } else {
            m_balloon[0]->setEnabled(true);
        }
    });
}

void AgentPage::cboCharacter_Click() {
    const QString name = m_character->currentText();
    if (name.isEmpty())
        return;
    ignoreErrors([&] { m_assistant.ChangeCharacter(name); });
    m_chosen = name;
    // The new character starts with every balloon option on.
    for (int i = 0; i < 4; ++i) {
        m_balloon[i]->setEnabled(true);
        m_balloon[i]->setChecked(true);
        chkBalloon_Click(i);
    }
}
