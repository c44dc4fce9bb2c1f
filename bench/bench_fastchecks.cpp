// Checks at scale: a whole cycle through the main window and its engine at the paced and at
// the fast pace (Options/FastChecks), beside fping over the same hosts and check_tcp over the
// same ports (31 at a time), all in one run. Then a ping pass over 100 devices of which 30 never
// answer, with the default ping time-out. Devices are addresses of 127.0.0.0/8; the silent
// ones sit behind a tun interface nobody reads. Runs in a network namespace of its own when it
// may create one (the silent devices need it). The program's processor time is taken with
// getrusage; the peer that accepts the connections is a child process, so it is not counted.
// Prints figures only.
//
//   bench_fastchecks [--paced] [devices]     (default: 1000; --paced adds the paced cycle)

#include "app/MainStartup.h"
#include "core/AppContext.h"
#include "engine/MonitorEngine.h"
#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "engine/ResultRecording.h"
#include "EngineTestSupport.h"
#include "LoopbackDevices.h"
#include "LoopbackPeers.h"
#include "PrivateNetwork.h"
#include "SeededDatabase.h"
#include "store/Database.h"
#include "TestContext.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Accepts and drops connections on every address of the namespace, in a child process.
class ListenerProcess final {
public:
    ListenerProcess() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 4096) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_child = ::fork();
        if (m_child == 0) {
            for (;;) {
                const int peer = ::accept(fd, nullptr, nullptr);
                if (peer >= 0)
                    ::close(peer);
            }
        }
        ::close(fd);
    }
    ~ListenerProcess() {
        if (m_child > 0) {
            ::kill(m_child, SIGTERM);
            ::waitpid(m_child, nullptr, 0);
        }
    }
    quint16 port() const { return m_port; }

private:
    pid_t m_child = -1;
    quint16 m_port = 0;
};

double processorMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
           usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

// A moment of a cycle: the time since its start and the processor time used so far.
struct Mark {
    double ms = 0;
    double cpuMs = 0;
};

struct Figure {
    double ms = 0;
    double cpuMs = 0;
    int results = 0;
    // A cycle's first and last ping result and first and last port result.
    Mark firstPing, lastPing, firstPort, lastPort;
};

Figure runCycle(int devices, bool fast, quint16 open, quint16 closed) {
    QTemporaryDir folder;
    AppContext context(folder.path());
    context.catalogue().set(Key::FastChecks, fast);
    const QString path = context.paths().inProgramFolder(QStringLiteral("OrvexMonitor.mdb"));
    Database::create(path);
    Database db;
    db.open(path);
    LoopbackDevices::fill(db, devices, open, closed);

    frmMain window(context, db);
    // Placed and laid out as the program shows it, so that a repaint costs what it costs there.
    MainStartup(context, db, nullptr).show(window);
    QCoreApplication::processEvents();
    MonitorEngine& engine = *window.face().engine();
    Figure figure;
    QElapsedTimer clock;
    double cpu = 0;
    const auto mark = [&](Mark& at) { at = {clock.nsecsElapsed() / 1e6, processorMs() - cpu}; };
    // The cycle has ended when the countdown shows again. The look is rare until the last
    // port result, so that its own wake-ups hardly count in the cycle's processor time.
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (window.face().statusPanel(1).startsWith(QStringLiteral("Next Check In")))
            loop.quit();
    });
    int pings = 0;
    int ports = 0;
    QObject::connect(&engine.pings(), &PingChecks::pingResultAdded, [&] {
        ++figure.results;
        if (++pings == 1)
            mark(figure.firstPing);
        if (pings == devices)
            mark(figure.lastPing);
    });
    QObject::connect(&engine.ports(), &PortChecks::portResultAdded, [&] {
        ++figure.results;
        if (++ports == 1)
            mark(figure.firstPort);
        if (ports == 2 * devices) {
            mark(figure.lastPort);
            look.start(1);
        }
    });
    cpu = processorMs();
    clock.start();
    window.face().Monitor_Initialize();
    look.start(100);
    loop.exec();
    figure.ms = clock.nsecsElapsed() / 1e6;
    figure.cpuMs = processorMs() - cpu;
    window.face().Monitor_Stop();
    return figure;
}

Figure runFping(const QStringList& hosts, int timeOut) {
    QProcess fping;
    QElapsedTimer clock;
    clock.start();
    fping.start(QStringLiteral("fping"),
                QStringList{"-q", "-r", "0", "-t", QString::number(timeOut)} << hosts);
    fping.waitForFinished(-1);
    Figure figure;
    figure.ms = clock.nsecsElapsed() / 1e6;
    figure.results = fping.exitStatus() == QProcess::NormalExit ? int(hosts.size()) : 0;
    return figure;
}

QString checkTcpProgram() {
    for (const QString& path : {QStringLiteral("/usr/lib/nagios/plugins/check_tcp"),
                                QStandardPaths::findExecutable(QStringLiteral("check_tcp"))})
        if (!path.isEmpty() && QFileInfo(path).isExecutable())
            return path;
    return {};
}

// One check_tcp per target, at most 31 running at once.
Figure runCheckTcp(const QString& program, const QStringList& targets) {
    QElapsedTimer clock;
    clock.start();
    QList<QProcess*> running;
    int next = 0;
    int done = 0;
    QEventLoop loop;
    std::function<void()> fill = [&] {
        while (running.size() < 31 && next < targets.size()) {
            const QString target = targets.at(next++);
            auto* process = new QProcess;
            running << process;
            QObject::connect(process, &QProcess::finished, [&, process] {
                running.removeOne(process);
                process->deleteLater();
                ++done;
                fill();
                if (done == targets.size())
                    loop.quit();
            });
            process->start(program,
                           {QStringLiteral("-H"), target.section(':', 0, 0), QStringLiteral("-p"),
                            target.section(':', 1, 1), QStringLiteral("-t"), QStringLiteral("20")});
        }
    };
    fill();
    if (done < targets.size())
        loop.exec();
    Figure figure;
    figure.ms = clock.nsecsElapsed() / 1e6;
    figure.results = done;
    return figure;
}

// The silent devices: addresses behind a tun interface that no process reads.
bool addSilentNetwork() {
    return PrivateNetwork::run(QStringLiteral("ip"),
                               {"tuntap", "add", "mode", "tun", "name", "silent0"}) &&
           PrivateNetwork::run(QStringLiteral("ip"),
                               {"addr", "add", "10.99.0.1/24", "dev", "silent0"}) &&
           PrivateNetwork::run(QStringLiteral("ip"), {"link", "set", "silent0", "up"});
}

Figure pingPass(const QStringList& devices, bool fast) {
    TestContext ctx;
    SeededDatabase data;
    RecordingView view;
    ResultRecording recording(*ctx, data.db, view);
    PingChecks pings(*ctx, view, recording);
    ctx->catalogue().set(Key::FastChecks, fast);
    for (const QString& device : devices) {
        data.addDevice(device);
        data.addItem(device, QStringLiteral("Ping"));
    }
    Figure figure;
    QObject::connect(&pings, &PingChecks::pingResultAdded, [&] { ++figure.results; });
    QStringList list = devices;
    QElapsedTimer clock;
    const double cpu = processorMs();
    clock.start();
    pings.Check_Ping(list);
    figure.ms = clock.nsecsElapsed() / 1e6;
    figure.cpuMs = processorMs() - cpu;
    return figure;
}

// Where a cycle spent its time: one line per stage.
void stage(const char* what, const Mark& from, const Mark& to) {
    std::printf("    %-36s %8.1f ms  cpu %6.1f ms\n", what, to.ms - from.ms, to.cpuMs - from.cpuMs);
}

void row(const char* what, const Figure& figure, int checks) {
    if (figure.cpuMs > 0)
        std::printf("  %-34s %10.1f ms  %7.1f checks/s  cpu %6.1f ms (%4.1f%% of a core)  %d "
                    "results\n",
                    what, figure.ms, checks / (figure.ms / 1e3), figure.cpuMs,
                    figure.cpuMs / figure.ms * 100, figure.results);
    else
        std::printf("  %-34s %10.1f ms  %7.1f checks/s  %d results\n", what, figure.ms,
                    checks / (figure.ms / 1e3), figure.results);
    if (figure.lastPort.ms > 0) {
        const Mark end{figure.ms, figure.cpuMs};
        stage("start, to the first ping result", {}, figure.firstPing);
        stage("ping pass, to the last ping result", figure.firstPing, figure.lastPing);
        stage("ping records, to the first port", figure.lastPing, figure.firstPort);
        stage("port pass, to the last port result", figure.firstPort, figure.lastPort);
        stage("end of cycle (records, dispatch)", figure.lastPort, end);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const bool isolated = PrivateNetwork::enter();
    const ListenerProcess listener;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool paced = false;
    int devices = 1000;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--paced")
            paced = true;
        else
            devices = QByteArray(argv[i]).toInt();
    }
    std::printf("network: %s\n",
                isolated ? "a namespace of its own (loopback only)" : "the machine's loopback");
    const quint16 open = listener.port();
    const quint16 closed = LoopbackPeers::closedPort();
    QStringList hosts;
    QStringList targets;
    for (int d = 0; d < devices; ++d) {
        hosts << LoopbackDevices::name(d);
        targets << hosts.last() + QLatin1Char(':') + QString::number(open)
                << hosts.last() + QLatin1Char(':') + QString::number(closed);
    }
    const int checks = devices * 3;
    std::printf("%d devices x (Ping + 2 loopback ports), %d checks:\n", devices, checks);
    if (paced)
        row("ours, paced cycle", runCycle(devices, false, open, closed), checks);
    else
        std::printf("  ours, paced cycle: not run (--paced)\n");
    row("ours, fast cycle", runCycle(devices, true, open, closed), checks);
    row("ours, fast ping pass alone", pingPass(hosts, true), devices);
    const bool haveFping = !QStandardPaths::findExecutable(QStringLiteral("fping")).isEmpty();
    Figure fping;
    if (haveFping) {
        fping = runFping(hosts, 10000);
        row("fping (pings only)", fping, devices);
    } else {
        std::printf("  fping: not installed (fping, scripts/setup --bench); column skipped\n");
    }
    const QString checkTcp = checkTcpProgram();
    if (checkTcp.isEmpty()) {
        std::printf("  check_tcp: not installed (monitoring-plugins-basic, scripts/setup "
                    "--bench); column skipped\n");
    } else {
        const Figure tcp = runCheckTcp(checkTcp, targets);
        row("check_tcp, 31 at a time (ports)", tcp, devices * 2);
        if (haveFping) {
            Figure both;
            both.ms = fping.ms + tcp.ms;
            both.results = fping.results + tcp.results;
            row("fping + check_tcp one after other", both, checks);
        }
    }

    if (!isolated || !addSilentNetwork()) {
        std::printf("100 devices, 30 silent: not run (needs a network namespace of its own)\n");
        return 0;
    }
    QStringList mixed;
    for (int d = 0; d < 70; ++d)
        mixed << LoopbackDevices::name(d);
    for (int d = 0; d < 30; ++d)
        mixed << QStringLiteral("10.99.0.%1").arg(2 + d);
    std::printf("100 devices of which 30 never answer, PingTimeOut 10000 ms, ping pass:\n");
    row("ours, fast ping pass", pingPass(mixed, true), 100);
    if (paced)
        row("ours, paced ping pass", pingPass(mixed, false), 100);
    if (haveFping)
        row("fping", runFping(mixed, 10000), 100);
    return 0;
}
