#include "report/Assistant.h"

#include "character/AgentCharacter.h"
#include "character/AgentControl.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"

#include <limits>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Crlf = QStringLiteral("\r\n");
const QString Break = QStringLiteral("<BREAK>");
const QString Acknowledge = QStringLiteral("Acknowledge");
const QString Blink = QStringLiteral("Blink");
const QString CharacterSuffix = QStringLiteral(".acs");

struct CommandRow {
    const char* name;
    const char* caption;
    const char* voice;
    bool enabled;
};

// The character's command set, in menu order.
constexpr CommandRow Commands[] = {
    {"Monitoring On", "Monitoring &On", "(Monitoring On|On)", true},
    {"Monitoring Off", "Monitoring O&ff", "(Monitoring Off|Off)", false},
    {"Monitoring Status", "Monitoring &Status", "Monitoring Status", true},
    {"Show Log File", "Show &Log File", "(show|display) log file", true},
    {"Show HTML Output", "Show &HTML Output", "(show|display) HTML", true},
    {"Restore", "&Restore Program", "(Restore|Restore Program)", false},
    {"Minimize", "&Minimize Program", "(Minimize|Minimize Program)", false},
};

QString agentAddress() {
    return AppInfo::WebSite + QStringLiteral("assistant.html");
}

QString charactersAddress() {
    return AppInfo::WebSite + QStringLiteral("characters.html");
}

} // namespace

Assistant::Assistant(AppContext& context, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_agent(new AgentControl(this)) {
    m_agent->setCharacterFolders({CharacterPath(), userCharacterPath()});
    connect(&context.errors(), &ErrorReport::halting, this, &Assistant::halt);
}

Assistant::~Assistant() = default;

const QStringList& Assistant::fallbackCharacters() {
    static const QStringList names = {QStringLiteral("merlin"), QStringLiteral("peedy"),
                                      QStringLiteral("robby"), QStringLiteral("genie")};
    return names;
}

QString Assistant::userCharacterPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + AppInfo::Title + QStringLiteral("/chars");
}

void Assistant::speak(const QString& text, const QString& animation, bool stayInPlace) {
    MSAgentSpeak(text, animation, stayInPlace);
}

// Only spoken notices are dropped: an animation a command asked for still plays.
void Assistant::dropUnspoken() {
    dropNotices(0);
    m_announcementStart = -1;
}

void Assistant::beginAnnouncement() {
    if (m_announcementStart >= 0)
        dropNotices(m_announcementStart);
    m_announcementStart = m_notices.size();
}

void Assistant::dropNotices(qsizetype from) {
    const QList<quint32> dropped = m_notices.mid(from);
    m_notices.resize(qMin(from, m_notices.size()));
    ignoreErrors([&] {
        if (m_character)
            m_character->Stop(dropped);
    });
}

void Assistant::LoadMSAgent() {
    std::optional<RuntimeError> recorded;
    bool present = false;
    QString name;
    try {
        present = AgentControl::isAvailable();
    } catch (const RuntimeError& error) {
        recorded = error;
    }
    try {
        name = m_context.catalogue().character();
    } catch (const RuntimeError& error) {
        recorded = error;
    }

    if (!present) {
        endWithoutAgent(QStringLiteral("An error has occured during the loading of ") +
                        AppInfo::Title + QStringLiteral(".") + Crlf +
                        QStringLiteral("You must install Microsoft Agent 2.0 and a Microsoft Agent "
                                       "2.0 Character.") +
                        Crlf + QStringLiteral("Microsoft Agent information is available at ") +
                        agentAddress() + QStringLiteral(".") + Crlf +
                        QStringLiteral("This program can not function without the required "
                                       "Microsoft Agent components."));
        return;
    }

    if (LoadCharacter(name)) {
        if (recorded)
            m_context.errors().ReportError(recorded->number(), recorded->description(),
                                           QStringLiteral("LoadMSAgent"));
        return;
    }
    for (const QString& fallback : fallbackCharacters()) {
        if (LoadCharacter(fallback)) {
            ignoreErrors([&] { m_context.catalogue().set(Key::Character, fallback); });
            return;
        }
    }
    const QString tabbed = Crlf + QLatin1Char('\t');
    endWithoutAgent(AppInfo::Title +
                    QStringLiteral(" was unable to load one of the following Microsoft Agent 2.0 "
                                   "characters.") +
                    Crlf + tabbed + QStringLiteral("- Merlin") + tabbed +
                    QStringLiteral("- Peedy") + tabbed + QStringLiteral("- Robby") + tabbed +
                    QStringLiteral("- Genie") + Crlf + Crlf +
                    QStringLiteral("Please download a Microsoft Agent 2.0 character from ") +
                    charactersAddress() + QStringLiteral(".") + Crlf +
                    QStringLiteral("This program can not function without the required Microsoft "
                                   "Agent components."));
}

void Assistant::endWithoutAgent(const QString& message) {
    ignoreErrors(
        [&] { m_context.dialogs().message(message, MessageIcon::Critical, AppInfo::Title); });
    emit agentUnavailable();
    m_context.programEnd().end(1);
}

bool Assistant::LoadCharacter(const QString& name) {
    try {
        m_agent->setConnected(true);
        m_agent->Load(CharacterId, characterFile(name));
        adopt(m_agent->Character(CharacterId));
    } catch (const std::exception&) {
        return false;
    }
    AddAgentCommands();
    return true;
}

void Assistant::ChangeCharacter(const QString& name) {
    QString previous;
    ignoreErrors([&] {
        if (m_character) {
            previous = m_character->definition().filePath;
            m_character->Hide();
        }
    });
    ignoreErrors([&] { m_agent->Unload(CharacterId); });
    release();

    bool loaded = false;
    ignoreErrors([&] {
        m_agent->Load(CharacterId, characterFile(name));
        adopt(m_agent->Character(CharacterId));
        loaded = true;
    });
    // A character that cannot be loaded must not leave the program without its assistant.
    if (!loaded && !previous.isEmpty()) {
        ignoreErrors([&] {
            m_agent->Load(CharacterId, previous);
            adopt(m_agent->Character(CharacterId));
        });
    }
    if (loaded)
        ignoreErrors([&] {
            MSAgentSpeak(QStringLiteral("Hello, my name is ") + name + QStringLiteral("."),
                         QStringLiteral("Greet"), false);
        });
    AddAgentCommands();
}

void Assistant::AddAgentCommands() {
    ignoreErrors([&] {
        if (!m_character || m_character->HasOtherClients())
            return;
        AgentCommands& commands = m_character->Commands();
        commands.removeAll();
        commands.setCaption(AppInfo::Title);
        commands.setVoice(AppInfo::Title);
        // The monitoring pair follows the monitoring state, so a character changed while
        // monitoring runs still offers "Monitoring Off".
        const bool monitoring = m_context.state().MonitoringOn;
        for (const CommandRow& row : Commands) {
            const QString name = QString::fromLatin1(row.name);
            bool enabled = row.enabled;
            if (name == QLatin1String("Monitoring On"))
                enabled = !monitoring;
            else if (name == QLatin1String("Monitoring Off"))
                enabled = monitoring;
            commands.add(name, QString::fromLatin1(row.caption), QString::fromLatin1(row.voice),
                         enabled);
        }
    });
}

QString Assistant::CharacterPath() const {
    return m_context.paths().inShippedFolder(QStringLiteral("chars"));
}

QStringList Assistant::availableCharacters() const {
    QStringList names;
    for (const QString& folder : m_agent->characterFolders()) {
        const QStringList files =
            QDir(folder).entryList({QLatin1String("*") + CharacterSuffix}, QDir::Files);
        for (const QString& file : files)
            names << file.toLower().chopped(CharacterSuffix.size());
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

QString Assistant::characterFile(const QString& name) const {
    const QString wanted = name + CharacterSuffix;
    for (const QString& folder : m_agent->characterFolders()) {
        const QDir dir(folder);
        if (dir.exists(wanted))
            return dir.filePath(wanted);
        const QStringList files =
            dir.entryList({QLatin1String("*") + CharacterSuffix}, QDir::Files, QDir::Name);
        for (const QString& file : files)
            if (file.compare(wanted, Qt::CaseInsensitive) == 0)
                return dir.filePath(file);
    }
    return wanted;
}

void Assistant::MSAgentSpeak(const QString& text, const QString& animation, bool stayInPlace) {
    if (m_halted)
        return;
    qint16 x = 0;
    qint16 y = 0;
    QStringList parts;
    if (m_readingPosition) {
        // The error report of a bad stored position speaks too: it stays where it is.
        stayInPlace = true;
        parts = text.split(Break);
    } else {
        m_readingPosition = true;
        const bool read = trapErrors(m_context, "MSAgentSpeak", [&] {
            x = m_context.catalogue().agentX();
            y = m_context.catalogue().agentY();
            parts = text.split(Break);
        });
        m_readingPosition = false;
        if (!read)
            return;
    }

    AgentCharacter* character = m_character;
    if (!character)
        return;
    forgetStartedNotices();
    if (!stayInPlace)
        ignoreErrors([&] { m_notices << character->MoveTo(x, y); });
    ignoreErrors([&] { m_notices << character->Show(); });
    ignoreErrors([&] { m_notices << character->Play(animation); });
    ignoreErrors([&] { m_notices << character->Speak(parts.value(0)); });
    ignoreErrors([&] { m_notices << character->Play(Blink); });
    if (parts.size() > 1)
        ignoreErrors([&] { m_notices << character->Speak(parts.at(1)); });
    ignoreErrors([&] { m_notices << character->Play(Blink); });
}

// Requests are numbered in the order made, so those below the first still waiting have run.
void Assistant::forgetStartedNotices() {
    const QList<AgentRequest> pending = m_character->pendingRequests();
    const quint32 firstWaiting =
        pending.isEmpty() ? std::numeric_limits<quint32>::max() : pending.first().id;
    qsizetype started = 0;
    while (started < m_notices.size() && m_notices.at(started) < firstWaiting)
        ++started;
    m_notices.remove(0, started);
    m_announcementStart =
        m_announcementStart < 0 ? -1 : qMax<qsizetype>(0, m_announcementStart - started);
}

void Assistant::Agent1_Command(const QString& name) {
    if (m_halted)
        return;
    ignoreErrors([&] {
        if (name == QLatin1String("Restore")) {
            emit restoreRequested();
        } else if (name == QLatin1String("Minimize")) {
            emit minimizeRequested();
        } else if (name == QLatin1String("Monitoring On")) {
            play(Acknowledge);
            emit monitoringOnRequested();
        } else if (name == QLatin1String("Monitoring Off")) {
            play(Acknowledge);
            emit monitoringOffRequested();
        } else if (name == QLatin1String("Monitoring Status")) {
            if (m_context.state().MonitoringOn) {
                const int problems = m_problemCounter ? m_problemCounter() : 0;
                m_context.speak(QStringLiteral("There are currently ") + QString::number(problems) +
                                    QStringLiteral(" problems detected."),
                                problems != 0 ? QStringLiteral("Sad") : QStringLiteral("Pleased"),
                                true);
            } else {
                m_context.speak(
                    QStringLiteral("No status is available because monitoring is currently off."),
                    QStringLiteral("Decline"), true);
            }
        } else if (name == QLatin1String("Show Log File")) {
            play(Acknowledge);
            showLogFile();
        } else if (name == QLatin1String("Show HTML Output")) {
            play(Acknowledge);
            m_context.errors().Navigate(m_context.catalogue().htmlFile());
        }
    });
}

void Assistant::showLogFile() {
    trapErrors(m_context, "mnuViewLog_Click", [&] {
        if (!QFileInfo(m_context.catalogue().logFile()).isFile()) {
            m_context.dialogs().message(
                QStringLiteral("The Log Files you specified does not exist or is corrupt .") +
                    Crlf + QStringLiteral("Please re-define a log file from the options menu."),
                MessageIcon::Information, AppInfo::Title);
            return;
        }
        m_context.errors().Navigate(QStringLiteral("file://") + m_context.catalogue().logFile());
    });
}

void Assistant::Agent1_DragComplete(const QString&, int, int, int, int) {
    ignoreErrors([&] {
        if (!m_character)
            return;
        m_context.catalogue().set(Key::AgentX, m_character->Left());
        m_context.catalogue().set(Key::AgentY, m_character->Top());
    });
}

void Assistant::Agent1_IdleStart(const QString&) {
    ignoreErrors([&] {
        if (m_character && m_context.catalogue().hideCharacterOnIdle())
            m_character->Hide();
    });
}

void Assistant::UnloadCharacter() {
    ignoreErrors([&] {
        if (m_character)
            m_character->Hide();
    });
    ignoreErrors([&] { m_agent->Unload(CharacterId); });
    release();
}

AgentCharacter* Assistant::character() const {
    return m_character;
}

void Assistant::setCommandEnabled(const QString& name, bool enabled) {
    if (m_character)
        m_character->Commands().setEnabled(name, enabled);
}

void Assistant::setProblemCounter(std::function<int()> counter) {
    m_problemCounter = std::move(counter);
}

void Assistant::halt() {
    m_halted = true;
    m_notices.clear();
    m_announcementStart = -1;
    ignoreErrors([&] {
        if (m_character)
            m_character->hush();
    });
}

void Assistant::play(const QString& animation) {
    ignoreErrors([&] {
        if (m_character)
            m_character->Play(animation);
    });
}

void Assistant::adopt(AgentCharacter* character) {
    release();
    m_character = character;
    m_notices.clear();
    m_announcementStart = -1;
    const QString id = character->id();
    connect(character, &AgentCharacter::Command, this, &Assistant::Agent1_Command);
    connect(character, &AgentCharacter::DragComplete, this,
            [this, id](int x, int y) { Agent1_DragComplete(id, 1, 0, x, y); });
    connect(character, &AgentCharacter::IdleStart, this, [this, id] { Agent1_IdleStart(id); });
}

void Assistant::release() {
    if (m_character)
        disconnect(m_character, nullptr, this, nullptr);
    m_character = nullptr;
}
