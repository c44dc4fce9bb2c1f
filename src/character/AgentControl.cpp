#include "character/AgentControl.h"

#include "core/RuntimeError.h"
#include "character/AgentCharacter.h"
#include "character/CharacterDefinition.h"
#include "character/SpeechService.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {
// The numbers the program's error report shows for the engine's failures.
constexpr int FileNotFound = 53;
constexpr int InvalidFileFormat = 321;
constexpr int InvalidArgument = 5;
constexpr int KeyInUse = 457;
} // namespace

AgentControl::AgentControl(QObject* parent)
    : QObject(parent)
    , m_speech(new SpeechService(this))
    , m_idleTimeoutMs(AgentCharacter::DefaultIdleTimeoutMs) {}

AgentControl::~AgentControl() {
    for (const QPointer<AgentCharacter>& character : std::as_const(m_characters))
        delete character.data();
}

bool AgentControl::isAvailable() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void AgentControl::setConnected(bool connected) {
    m_connected = connected;
}

void AgentControl::setCharacterFolders(const QStringList& folders) {
    m_folders = folders;
}

QString AgentControl::resolve(const QString& file) const {
    const QFileInfo info(file);
    if (info.isAbsolute() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')))
        return info.isFile() ? info.absoluteFilePath() : QString();
    for (const QString& folder : m_folders) {
        const QFileInfo candidate(QDir(folder).filePath(file));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

AgentCharacter* AgentControl::Load(const QString& characterId, const QString& file) {
    if (!isAvailable())
        throw RuntimeError(InvalidArgument,
                           QStringLiteral("The character engine is not available"));
    if (contains(characterId))
        throw RuntimeError(KeyInUse,
                           QStringLiteral("The character %1 is already loaded").arg(characterId));
    const QString path = resolve(file);
    if (path.isEmpty())
        throw RuntimeError(FileNotFound, QStringLiteral("File not found: %1").arg(file));
    CharacterDefinition definition;
    QString error;
    if (!CharacterDefinition::load(path, definition, error))
        throw RuntimeError(InvalidFileFormat, QStringLiteral("Invalid file format: %1").arg(error));
    m_connected = true;
    auto* character = new AgentCharacter(characterId, std::move(definition), *m_speech, this);
    character->setIdleTimeout(m_idleTimeoutMs);
    m_characters.insert(characterId.toLower(), character);
    return character;
}

void AgentControl::Unload(const QString& characterId) {
    AgentCharacter* character = Character(characterId);
    m_characters.remove(characterId.toLower());
    // It may be unloaded from inside one of its own events, so it goes when control returns.
    character->retire();
    character->disconnect();
    character->deleteLater();
}

AgentCharacter* AgentControl::Character(const QString& characterId) const {
    AgentCharacter* character = m_characters.value(characterId.toLower());
    if (!character)
        throw RuntimeError(InvalidArgument,
                           QStringLiteral("No character %1 is loaded").arg(characterId));
    return character;
}

bool AgentControl::contains(const QString& characterId) const {
    return m_characters.value(characterId.toLower()) != nullptr;
}

void AgentControl::setIdleTimeout(int ms) {
    m_idleTimeoutMs = ms;
    for (const QPointer<AgentCharacter>& character : std::as_const(m_characters)) {
        if (character)
            character->setIdleTimeout(ms);
    }
}
