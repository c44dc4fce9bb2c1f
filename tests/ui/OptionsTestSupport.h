#pragma once

#include "report/Assistant.h"
#include "TestContext.h"

#include <functional>
#include <memory>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QtTest>

// A test context with an assistant whose character folders hold shipped characters.
struct AssistantContext {
    AssistantContext() {
        assistant = std::make_unique<Assistant>(*t);
        t->setAssistant(assistant.get());
    }
    ~AssistantContext() {
        t->setAssistant(&t.assistant);
        assistant.reset();
        QDir(Assistant::userCharacterPath()).removeRecursively();
    }

    // Copies shipped characters into a folder; true when every copy worked.
    static bool install(const QString& folder, const QStringList& names) {
        static const QString shipped = QStringLiteral(ORVEX_SOURCE_DIR "/data/characters/");
        QDir().mkpath(folder);
        bool copied = true;
        for (const QString& name : names) {
            for (const QString& ending : {QStringLiteral(".acs"), QStringLiteral(".svg")})
                copied =
                    QFile::copy(shipped + name + ending, folder + "/" + name + ending) && copied;
        }
        return copied;
    }
    bool installInProgramFolder(const QStringList& names) {
        return install(assistant->CharacterPath(), names);
    }

    TestContext t;
    std::unique_ptr<Assistant> assistant;
};

// Runs `answer` on the modal dialog named `name` once it is up (the caller then opens it with
// exec), and closes the dialog afterwards if the answer left it open.
inline void whenModalShows(const QString& name, const std::function<void(QDialog*)>& answer) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, answer] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible() || modal->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        QPointer<QDialog> dialog(modal);
        answer(modal);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    poll->start();
}
