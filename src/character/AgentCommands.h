#pragma once

#include <QList>
#include <QObject>
#include <QString>

struct AgentCommand {
    QString name;
    QString caption; // menu text, "&" marks the mnemonic
    QString voice;   // the grammar a listener would match, kept with the command
    bool enabled = true;
    bool visible = true;
};

// A character's command set: what its pop-up menu offers, under a caption of the client's.
class AgentCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgentCommands)
public:
    explicit AgentCommands(QObject* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QString voice() const { return m_voice; }
    void setVoice(const QString& voice);

    // Adding a name that exists replaces that command in place.
    void add(const QString& name, const QString& caption = {}, const QString& voice = {},
             bool enabled = true, bool visible = true);
    void remove(const QString& name);
    void removeAll();

    // Names match without regard to case; unknown names are ignored by the setters.
    const AgentCommand* command(const QString& name) const;
    void setEnabled(const QString& name, bool enabled);
    void setVisible(const QString& name, bool visible);

    const QList<AgentCommand>& all() const { return m_commands; }
    int count() const { return int(m_commands.size()); }

signals:
    void changed();

private:
    qsizetype indexOf(const QString& name) const;

    QString m_caption;
    QString m_voice;
    QList<AgentCommand> m_commands;
};
