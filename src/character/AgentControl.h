#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

class AgentCharacter;
class SpeechService;

// The character engine as the program uses it: a collection of loaded characters under
// identifiers, each from a character file. A bare file name is looked for in the character
// folders in order. Failures are RuntimeErrors.
class AgentControl final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgentControl)
public:
    explicit AgentControl(QObject* parent = nullptr);
    ~AgentControl() override;

    // Whether the engine can run here at all: it needs a widget application for its windows.
    static bool isAvailable();

    bool Connected() const { return m_connected; }
    void setConnected(bool connected);

    QStringList characterFolders() const { return m_folders; }
    void setCharacterFolders(const QStringList& folders);

    // Loads a character file under an identifier not yet in use.
    AgentCharacter* Load(const QString& characterId, const QString& file);
    void Unload(const QString& characterId);
    // The loaded character with that identifier.
    AgentCharacter* Character(const QString& characterId) const;
    bool contains(const QString& characterId) const;

    // The file a name refers to, or an empty text when none exists.
    QString resolve(const QString& file) const;

    // How long a shown character stays quiet before reporting IdleStart.
    void setIdleTimeout(int ms);

private:
    bool m_connected = false;
    QStringList m_folders;
    SpeechService* m_speech;
    QHash<QString, QPointer<AgentCharacter>> m_characters; // keys lower case
    int m_idleTimeoutMs;
};
