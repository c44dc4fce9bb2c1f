#pragma once

#include "core/Clock.h"
#include "core/Services.h"

#include <QDateTime>
#include <QQueue>
#include <QStringList>
#include <QVector>

// Recording stand-ins for the program's seams: tests queue answers and read what was shown.

struct ShownMessage {
    QString text;
    MessageIcon icon;
    QString caption;
};

class RecordingDialogs final : public UserDialogs {
public:
    void message(const QString& text, MessageIcon icon, const QString& caption) override {
        messages.append({text, icon, caption});
    }
    bool askYesNo(const QString& text, const QString& caption, MessageIcon icon) override {
        questions.append({text, icon, caption});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString openFileName(const FileDialogRequest& request) override {
        fileRequests.append(request);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const FileDialogRequest& request) override {
        return openFileName(request);
    }

    QVector<ShownMessage> messages;
    QVector<ShownMessage> questions;
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    QVector<FileDialogRequest> fileRequests;
};

struct SpokenText {
    QString text;
    QString animation;
    bool stayInPlace;
};

class RecordingAssistant final : public AssistantVoice {
public:
    void speak(const QString& text, const QString& animation, bool stayInPlace) override {
        spoken.append({text, animation, stayInPlace});
    }
    QStringList texts() const {
        QStringList result;
        for (const SpokenText& s : spoken)
            result << s.text;
        return result;
    }
    QVector<SpokenText> spoken;
};

class RecordingShell final : public Shell {
public:
    bool open(const QString& target) override {
        opened << target;
        return opens;
    }
    QStringList opened;
    bool opens = true;
};

class RecordingEnd final : public ProgramEnd {
public:
    void end(int exitCode) override { codes << exitCode; }
    QVector<int> codes;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime when)
        : m_when(std::move(when)) {}
    QDateTime now() const override { return m_when; }
    void set(const QDateTime& when) { m_when = when; }

private:
    QDateTime m_when;
};
