// Prints the processor time the assistant uses while it idles on screen and while it is hidden,
// and with --pictures <folder> saves a picture of every character speaking and one caught in
// the middle of an animation. With --say the character speaks a text through the desktop's
// sound output and the length of its rendering is printed beside how long the request ran;
// --wav keeps the rendering, to be compared with what a recording of the output heard.
//
//   bench_character <characters folder> [--seconds N] [--pictures <folder>]
//                   [--say <text> [--wav <file>]]

#include "character/AgentCharacter.h"
#include "character/AgentControl.h"
#include "character/CharacterWindow.h"
#include "character/SpeechSynthesizer.h"
#include "character/WordBalloon.h"

#include <cstdio>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <sys/resource.h>

namespace {

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Share of one core used over the next few seconds of event processing.
double measure(int seconds) {
    const double before = processorSeconds();
    QElapsedTimer clock;
    clock.start();
    wait(seconds * 1000);
    return 100.0 * (processorSeconds() - before) / (clock.elapsed() / 1000.0);
}

// The desktop as a person would see it: a plain background with the character's windows.
QImage desktopPicture(const AgentCharacter& character) {
    QRect area = character.window()->geometry().adjusted(-30, -30, 30, 30);
    if (character.balloon()->isVisible())
        area |= character.balloon()->geometry().adjusted(-30, -30, 30, 30);
    QImage picture(area.size(), QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, area.height());
    sky.setColorAt(0, QColor(58, 110, 165));
    sky.setColorAt(1, QColor(150, 190, 225));
    painter.fillRect(picture.rect(), sky);
    painter.drawPixmap(character.window()->geometry().topLeft() - area.topLeft(),
                       character.window()->grab());
    if (character.balloon()->isVisible())
        painter.drawPixmap(character.balloon()->geometry().topLeft() - area.topLeft(),
                           character.balloon()->grab());
    return picture;
}

void waitUntilIdle(AgentCharacter& character) {
    for (int i = 0; i < 600 && character.isBusy(); ++i)
        wait(50);
}

void takePictures(AgentControl& agent, const QString& folder) {
    const QStringList names = {QStringLiteral("merlin"), QStringLiteral("peedy"),
                               QStringLiteral("robby"), QStringLiteral("genie")};
    const QStringList lines = {
        QStringLiteral("Monitoring Started."),
        QStringLiteral("There was a problem connecting to the following devices:  "
                       "\\map=\"10\\pau=50\\ dot \\pau=25\\0\\pau=50\\ dot \\pau=25\\0\\pau=50\\ "
                       "dot \\pau=25\\1\"=\"10.0.0.1\"\\ port 80 because Connection refused."),
        QStringLiteral("There are currently 0 problems detected."),
        QStringLiteral("Hello, my name is genie."),
    };
    for (int i = 0; i < names.size(); ++i) {
        AgentCharacter* character = agent.Load(QStringLiteral("Character"), names[i] + ".acs");
        character->MoveTo(120, 260);
        character->Show();
        waitUntilIdle(*character);
        character->Speak(lines[i]);
        // Caught while the words are still coming.
        for (int step = 0; step < 400 && !character->balloon()->isVisible(); ++step)
            wait(20);
        for (int step = 0; step < 200 && character->window()->mouthOpen() < 0.5f; ++step)
            wait(5);
        desktopPicture(*character).save(QDir(folder).filePath(names[i] + "-mouth.png"));
        for (int step = 0; step < 400 && character->balloon()->visibleText().size() <
                                             character->balloon()->text().size() * 3 / 4;
             ++step)
            wait(20);
        desktopPicture(*character).save(QDir(folder).filePath(names[i] + ".png"));
        // What the display server itself shows, window manager and all.
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QDir(folder).filePath(names[i] + "-screen.png"));
        std::printf("%s: speaking %s, audible %d\n", qPrintable(names[i]),
                    qPrintable(character->balloon()->visibleText().left(40)), character->audible());
        if (i == 0) {
            waitUntilIdle(*character);
            character->Play(QStringLiteral("GetAttention"));
            wait(450);
            desktopPicture(*character).save(QDir(folder).filePath("merlin-animation.png"));
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QDir(folder).filePath("merlin-animation-screen.png"));
            waitUntilIdle(*character);
            character->Play(QStringLiteral("Suggest"));
            wait(700);
            desktopPicture(*character).save(QDir(folder).filePath("merlin-suggest.png"));
        }
        waitUntilIdle(*character);
        agent.Unload(QStringLiteral("Character"));
        wait(50);
    }
}

void say(AgentControl& agent, const QString& text, const QString& wav) {
    AgentCharacter* character =
        agent.Load(QStringLiteral("Character"), QStringLiteral("merlin.acs"));
    character->Show();
    waitUntilIdle(*character);
    const SpeechAudio rendering = SpeechSynthesizer::render(text, character->definition().voice);
    if (!wav.isEmpty())
        rendering.writeWav(wav);
    QElapsedTimer clock;
    qint64 startedMs = -1;
    qint64 endedMs = -1;
    const quint32 id = character->Speak(text);
    QObject::connect(character, &AgentCharacter::RequestStart, character, [&](quint32 started) {
        if (started == id)
            startedMs = clock.elapsed();
    });
    QObject::connect(character, &AgentCharacter::RequestComplete, character,
                     [&](quint32 completed) {
                         if (completed == id)
                             endedMs = clock.elapsed();
                     });
    bool audible = false;
    QTimer listen;
    QObject::connect(&listen, &QTimer::timeout, character,
                     [&] { audible = audible || character->audible(); });
    listen.start(20);
    clock.start();
    waitUntilIdle(*character);
    std::printf("rendering %lld ms; the request ran %lld ms; audible %d\n",
                static_cast<long long>(rendering.durationMs()),
                static_cast<long long>(endedMs - startedMs), audible);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_character <characters folder> [--seconds N] "
                             "[--pictures <folder>]\n");
        return 2;
    }
    AgentControl agent;
    agent.setCharacterFolders({args.at(1)});
    const qsizetype pictures = args.indexOf(QStringLiteral("--pictures"));
    if (pictures > 0 && pictures + 1 < args.size()) {
        takePictures(agent, args.at(pictures + 1));
        return 0;
    }
    const qsizetype sayAt = args.indexOf(QStringLiteral("--say"));
    if (sayAt > 0 && sayAt + 1 < args.size()) {
        const qsizetype wavAt = args.indexOf(QStringLiteral("--wav"));
        say(agent, args.at(sayAt + 1), wavAt > 0 ? args.value(wavAt + 1) : QString());
        return 0;
    }
    const qsizetype secondsAt = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? args.value(secondsAt + 1).toInt() : 20;

    AgentCharacter* character =
        agent.Load(QStringLiteral("Character"), QStringLiteral("merlin.acs"));
    character->setIdleTimeout(24 * 3600 * 1000); // stays on screen for the whole measurement
    character->Show();
    waitUntilIdle(*character);
    std::printf("on screen, idling: %.2f %% of one core over %d s\n", measure(seconds), seconds);
    character->Hide();
    waitUntilIdle(*character);
    std::printf("hidden:            %.2f %% of one core over %d s\n", measure(seconds), seconds);
    return 0;
}
