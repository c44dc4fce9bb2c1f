// Pace of a whole check cycle: the real main window and its monitoring engine ping every
// device and try two ports on each (one listening, one closed), then the end-of-cycle pass
// logs a failure per device. The figure is the cycle's time beyond the pauses it must make
// (100 ms per ping and per port assignment). Devices are addresses of 127.0.0.0/8; runs in a
// network namespace of its own when it may create one. Prints figures only.
//
//   bench_cycle [devices...]     (default: 100 1000)

#include "core/AppContext.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorEngine.h"
#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "LoopbackDevices.h"
#include "LoopbackPeers.h"
#include "PrivateNetwork.h"
#include "store/Database.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Accepts and drops connections on every loopback address, on a thread of its own so that
// the peer costs the monitor's thread nothing.
class Listener final {
public:
    Listener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        socklen_t length = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 4096) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([fd = m_fd] {
            for (;;) {
                const int peer = ::accept(fd, nullptr, nullptr);
                if (peer < 0)
                    return;
                ::close(peer);
            }
        });
    }
    ~Listener() {
        ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_fd);
    }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

void runCycle(int devices, const Listener& listener) {
    QTemporaryDir folder;
    AppContext context(folder.path());
    const QString path = context.paths().inProgramFolder(QStringLiteral("OrvexMonitor.mdb"));
    Database::create(path);
    Database db;
    db.open(path);
    LoopbackDevices::fill(db, devices, listener.port(), LoopbackPeers::closedPort());

    frmMain window(context, db);
    window.show();
    EngineFace& face = window.face();
    face.Form_Load();
    QCoreApplication::processEvents();
    MonitorEngine& engine = *face.engine();

    QElapsedTimer clock;
    qint64 lastPing = 0;
    qint64 lastPort = 0;
    int pings = 0;
    int ports = 0;
    QObject::connect(&engine.pings(), &PingChecks::pingResultAdded, [&] {
        lastPing = clock.nsecsElapsed();
        ++pings;
    });
    QObject::connect(&engine.ports(), &PortChecks::portResultAdded, [&] {
        lastPort = clock.nsecsElapsed();
        ++ports;
    });
    // The cycle has ended when the countdown shows again.
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (face.statusPanel(1).startsWith(QStringLiteral("Next Check In")))
            loop.quit();
    });
    clock.start();
    face.Monitor_Initialize();
    look.start(5);
    loop.exec();
    const double total = clock.nsecsElapsed() / 1e6;
    face.Monitor_Stop();

    const double floor = 100.0 * (devices + 2 * devices);
    std::printf("%5d devices x (Ping + 2 ports): %9.1f ms; floor %9.0f ms; over the floor "
                "%7.1f ms (%+.2f%%)\n",
                devices, total, floor, total - floor, (total - floor) / floor * 100);
    std::printf("      ping pass ends %9.1f ms, port results end %9.1f ms, end of cycle after "
                "them %7.1f ms; %d ping and %d port results\n",
                lastPing / 1e6, lastPort / 1e6, total - lastPort / 1e6, pings, ports);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const bool isolated = PrivateNetwork::enter();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("network: %s\n",
                isolated ? "a namespace of its own (loopback only)" : "the machine's loopback");
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {100, 1000};
    const Listener listener;
    for (const int devices : sizes)
        runCycle(devices, listener);
    return 0;
}
