#include "character/AgentCommands.h"

AgentCommands::AgentCommands(QObject* parent)
    : QObject(parent) {}

void AgentCommands::setCaption(const QString& caption) {
    m_caption = caption;
    emit changed();
}

void AgentCommands::setVoice(const QString& voice) {
    m_voice = voice;
    emit changed();
}

void AgentCommands::add(const QString& name, const QString& caption, const QString& voice,
                        bool enabled, bool visible) {
    const AgentCommand command{name, caption, voice, enabled, visible};
    const qsizetype index = indexOf(name);
    if (index >= 0)
        m_commands[index] = command;
    else
        m_commands.append(command);
    emit changed();
}

void AgentCommands::remove(const QString& name) {
    const qsizetype index = indexOf(name);
    if (index < 0)
        return;
    m_commands.removeAt(index);
    emit changed();
}

void AgentCommands::removeAll() {
    m_commands.clear();
    emit changed();
}

const AgentCommand* AgentCommands::command(const QString& name) const {
    const qsizetype index = indexOf(name);
    return index >= 0 ? &m_commands.at(index) : nullptr;
}

void AgentCommands::setEnabled(const QString& name, bool enabled) {
    const qsizetype index = indexOf(name);
    if (index < 0 || m_commands[index].enabled == enabled)
        return;
    m_commands[index].enabled = enabled;
    emit changed();
}

void AgentCommands::setVisible(const QString& name, bool visible) {
    const qsizetype index = indexOf(name);
    if (index < 0 || m_commands[index].visible == visible)
        return;
    m_commands[index].visible = visible;
    emit changed();
}

qsizetype AgentCommands::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < m_commands.size(); ++i) {
        if (m_commands.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
