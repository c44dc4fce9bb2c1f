// Resident memory of the whole program while the assistant announces the same failures cycle
// after cycle: a database of many devices with five items each, the main window, the
// assistant with its character, and the real end-of-cycle dispatch, run again before the
// previous announcement has been spoken to its end. No check reaches the network: the
// failures are in the database as a cycle leaves them. Prints figures only.
//
//   bench_announce [--devices N] [--failures N] [--cycles N] [--seconds-between N]

#include "app/MainStartup.h"
#include "character/AgentCharacter.h"
#include "character/AgentControl.h"
#include "core/AppContext.h"
#include "engine/MonitorEngine.h"
#include "engine/NotificationDispatch.h"
#include "report/Assistant.h"
#include "store/Database.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QStringList Ports{QStringLiteral("Ping"), QStringLiteral("21"), QStringLiteral("25"),
                        QStringLiteral("80"), QStringLiteral("443")};

QString address(int d) {
    return QStringLiteral("10.20.%1.%2").arg(d / 250).arg(d % 250 + 1);
}

void fill(Database& db, int devices) {
    Database::Transaction transaction(db);
    for (int d = 0; d < devices; ++d) {
        db.execute({QStringLiteral("Insert into Devices (Device) values (?)"), {address(d)}});
        for (const QString& port : Ports)
            db.execute(
                {QStringLiteral("Insert into Main_Data (Device, Port, Port_Type) values (?, ?, ?)"),
                 {address(d), port,
                  port == QLatin1String("Ping") ? port : QStringLiteral("Port")}});
    }
    transaction.commit();
}

// As a cycle leaves the items: all connected, except port 80 on the first `failures` devices.
void markChecked(Database& db, int failures) {
    db.execute({QStringLiteral("Update Main_Data set Status = 'Connected', Connect = 1"), {}});
    for (int d = 0; d < failures; ++d)
        db.execute({QStringLiteral("Update Main_Data set Status = 'Failed', Count = 1, Error = 1, "
                                   "Last_Error = 'the attempt to connect timed out' where "
                                   "Device = ? and Port = '80'"),
                    {address(d)}});
}

// Kilobytes from /proc/self/status: "VmRSS" now, "VmHWM" at the peak.
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int argument(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at > 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

int speechRequests(const AgentCharacter* character) {
    int count = 0;
    for (const AgentRequest& request : character->pendingRequests())
        count += request.kind == AgentRequest::Kind::Speak;
    return count;
}

} // namespace

// The offscreen platform complains about every window mask; the figures are what counts.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quiet);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int devices = argument(args, QStringLiteral("--devices"), 1000);
    const int failures = argument(args, QStringLiteral("--failures"), 40);
    const int cycles = argument(args, QStringLiteral("--cycles"), 6);
    const int secondsBetween = argument(args, QStringLiteral("--seconds-between"), 30);

    QTemporaryDir folder;
    AppContext context(folder.path());
    QFile log(context.paths().inProgramFolder(QStringLiteral("OrvexMonitor.txt")));
    if (!log.open(QIODevice::WriteOnly))
        return 1;
    log.close();
    const QString path = context.paths().inProgramFolder(QStringLiteral("OrvexMonitor.mdb"));
    Database::create(path);
    {
        Database filling;
        filling.open(path);
        fill(filling, devices);
    }
    Database db;
    db.open(path);
    context.state().DatabasePath = path;

    MainStartup startup(context, db, nullptr);
    std::unique_ptr<frmMain> window = startup.createMainForm();
    Assistant assistant(context);
    assistant.Agent1().setCharacterFolders({QStringLiteral(ORVEX_CHARACTERS_DIR)});
    startup.loadAssistant(assistant, *window);
    startup.show(*window);
    markChecked(db, failures);
    AgentCharacter* character = assistant.character();
    if (!character || !window->face().engine()) {
        std::fprintf(stderr, "no character or no engine\n");
        return 1;
    }
    // As when monitoring is switched on: the character has spoken once before the cycles.
    context.speak(QStringLiteral("Monitoring is on."), QStringLiteral("Explain"));
    while (character->isBusy())
        wait(100);
    std::printf("devices %d x %d items, %d failures per cycle, a cycle every %d s\n", devices,
                int(Ports.size()), failures, secondsBetween);
    std::printf("monitoring on, nothing announced yet: RSS %.1f MiB\n", statusKb("VmRSS") / 1024.0);

    QElapsedTimer clock;
    clock.start();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        QElapsedTimer finish;
        finish.start();
        window->face().engine()->dispatch().Monitor_Finish();
        const double finishMs = finish.nsecsElapsed() / 1e6;
        wait(secondsBetween * 1000);
        std::printf("cycle %d: Monitor_Finish %.0f ms\n", cycle, finishMs);
        std::printf("after cycle %d (%5.1f s): RSS %6.1f MiB, peak %6.1f MiB, speech requests "
                    "waiting %3d, audio held %6.2f MiB\n",
                    cycle, clock.elapsed() / 1000.0, statusKb("VmRSS") / 1024.0,
                    statusKb("VmHWM") / 1024.0, speechRequests(character),
                    character->speechPlayer().heldSamples() * 2 / 1048576.0);
        std::fflush(stdout);
    }
    return 0;
}
