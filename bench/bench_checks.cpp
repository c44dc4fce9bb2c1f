// Figures for the ping control, the connect elements, the check passes and result recording.
// Runs in a network namespace of its own when it may create one (as root), so that a silent
// host can be made and nothing leaves the machine. Prints figures only.

#include "core/AppContext.h"
#include "core/EventPause.h"
#include "engine/EngineView.h"
#include "engine/PingChecks.h"
#include "engine/PortChecks.h"
#include "engine/ResultRecording.h"
#include "LoopbackPeers.h"
#include "platform/PingControl.h"
#include "platform/SocketControl.h"
#include "PrivateNetwork.h"
#include "store/Database.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class QuietView final : public EngineView {
public:
    void setStatusPanel(int, const QString& text) override {
        if (text.endsWith(QStringLiteral("(Closing Port Sockets)")))
            waitStartedAt = clock.nsecsElapsed();
    }
    void setDeviceNodeText(const QString&, const QString&) override {}
    QElapsedTimer clock;
    qint64 waitStartedAt = 0;
};

double median(QList<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

double maximum(const QList<double>& values) {
    return values.isEmpty() ? 0 : *std::max_element(values.cbegin(), values.cend());
}

// Round trips in milliseconds of `count` single-echo requests, 20 ms apart.
QList<double> ourRoundTrips(int count, PingSocket::Kind* kind) {
    QList<double> result;
    PingControl control(0);
    control.setTimeOut(2000);
    QObject::connect(&control, &PingControl::OnPing,
                     [&](qint16, const QString&, qint32 status, qint32, qint64 micros) {
                         if (status == 0)
                             result << micros / 1000.0;
                     });
    for (int i = 0; i < count; ++i) {
        control.Ping(QStringLiteral("127.0.0.1"));
        while (control.Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        EventPause::pause(20);
    }
    *kind = control.socketKind();
    return result;
}

QList<double> fpingRoundTrips(int count) {
    QProcess fping;
    fping.start(QStringLiteral("fping"),
                {QStringLiteral("-C"), QString::number(count), QStringLiteral("-p"),
                 QStringLiteral("20"), QStringLiteral("-q"), QStringLiteral("127.0.0.1")});
    fping.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(fping.readAllStandardError());
    QList<double> result;
    for (const QString& field :
         output.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double value = field.toDouble(&ok);
        if (ok)
            result << value;
    }
    return result;
}

void roundTrips() {
    std::printf("\n== Round trips on 127.0.0.1, 100 echoes each, 20 ms apart ==\n");
    const QByteArray range = PrivateNetwork::sysctl(QStringLiteral("net/ipv4/ping_group_range"));
    std::printf("ping_group_range here: %s\n", range.constData());
    const QList<double> theirs = fpingRoundTrips(100);
    PingSocket::Kind kind;
    const QList<double> ours = ourRoundTrips(100, &kind);
    std::printf("fping:   %lld replies, median %.4f ms, max %.4f ms\n", qlonglong(theirs.size()),
                median(theirs), maximum(theirs));
    std::printf("ours:    %lld replies, median %.4f ms, max %.4f ms (%s socket)\n",
                qlonglong(ours.size()), median(ours), maximum(ours),
                qPrintable(PingSocket::kindName(kind)));
    std::printf("median difference (ours - fping): %+.4f ms\n", median(ours) - median(theirs));
    if (PrivateNetwork::entered() &&
        PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/ping_group_range"), "0 2147483647")) {
        const QList<double> dgram = ourRoundTrips(100, &kind);
        std::printf("ours:    %lld replies, median %.4f ms, max %.4f ms (%s socket)\n",
                    qlonglong(dgram.size()), median(dgram), maximum(dgram),
                    qPrintable(PingSocket::kindName(kind)));
        std::printf("median difference (ours - fping): %+.4f ms\n", median(dgram) - median(theirs));
        PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/ping_group_range"), range);
    }
}

void pingTimeOuts() {
    std::printf("\n== Ping time-out: event time minus deadline, 10 requests of 300 ms ==\n");
    if (!PrivateNetwork::entered() ||
        !PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/icmp_echo_ignore_all"), "1")) {
        std::printf("skipped: needs a network namespace of its own\n");
        return;
    }
    PingControl control(0);
    control.setTimeOut(300);
    QElapsedTimer clock;
    QList<double> late;
    QObject::connect(&control, &PingControl::OnPing, [&](qint16, const QString&, qint32 status) {
        if (status == -1)
            late << clock.nsecsElapsed() / 1e6 - 300;
    });
    for (int i = 0; i < 10; ++i) {
        clock.start();
        control.Ping(QStringLiteral("127.0.0.1"));
        while (control.Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    PrivateNetwork::setSysctl(QStringLiteral("net/ipv4/icmp_echo_ignore_all"), "0");
    std::printf("time-outs: %lld, lateness median %.3f ms, max %.3f ms\n", qlonglong(late.size()),
                median(late), maximum(late));
}

void refusedConnects() {
    std::printf("\n== Refused loopback connect: Connect() to error event, 100 attempts ==\n");
    const quint16 port = LoopbackPeers::closedPort();
    SocketControl element(0);
    element.setRemoteHost(QStringLiteral("127.0.0.1"));
    element.setRemotePort(port);
    QElapsedTimer clock;
    QList<double> delays;
    QObject::connect(&element, &SocketControl::OnError,
                     [&] { delays << clock.nsecsElapsed() / 1e6; });
    for (int i = 0; i < 100; ++i) {
        const qsizetype before = delays.size();
        clock.start();
        element.Connect();
        while (delays.size() == before || element.State() != 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    std::printf("reported after: median %.3f ms, max %.3f ms\n", median(delays), maximum(delays));
}

struct Engine {
    explicit Engine(const QString& folder)
        : context(folder)
        , recording(context, db, view)
        , pings(context, view, recording)
        , ports(context, view, recording) {
        const QString path = folder + QStringLiteral("/OrvexMonitor.mdb");
        Database::create(path);
        db.open(path);
        context.state().MonitoringOn = true;
        view.clock.start();
    }
    AppContext context;
    Database db;
    QuietView view;
    ResultRecording recording;
    PingChecks pings;
    PortChecks ports;
};

void portTimeOuts(const QString& folder) {
    std::printf("\n== Port time-out (HostTimeOut 1 s): one unanswered target, 5 passes ==\n");
    Engine engine(folder);
    engine.context.catalogue().set(Key::HostTimeOut, 1);
    LoopbackPeers::SilentListener silent;
    const QString target = QStringLiteral("127.0.0.1:") + QString::number(silent.port());
    QList<double> timerLate;
    QList<double> recordLate;
    QObject::connect(&engine.ports.Timer1(), &QTimer::timeout, [&] {
        timerLate << (engine.view.clock.nsecsElapsed() - engine.view.waitStartedAt) / 1e6 - 1000;
    });
    for (int i = 0; i < 5; ++i) {
        QStringList targets{target};
        engine.ports.Check_Ports(targets);
        recordLate << (engine.view.clock.nsecsElapsed() - engine.view.waitStartedAt) / 1e6 - 1000;
    }
    std::printf("Timer1(1) fired after its deadline: median %.3f ms, max %.3f ms\n",
                median(timerLate), maximum(timerLate));
    std::printf("time-out recorded after the deadline (includes the 50 ms wait step): median "
                "%.3f ms, max %.3f ms\n",
                median(recordLate), maximum(recordLate));
}

void recordingPass(const QString& folder) {
    std::printf("\n== Recording one pass of 10,000 results ==\n");
    Engine engine(folder);
    {
        Database::Transaction fill(engine.db);
        for (int d = 0; d < 2000; ++d) {
            const QString device =
                QStringLiteral("host-%1.example").arg(d, 4, 10, QLatin1Char('0'));
            engine.db.execute(
                {QStringLiteral("Insert into Devices (Device) values (?)"), {device}});
            for (const char* port : {"Ping", "21", "25", "80", "443", "8080"})
                engine.db.execute(
                    {QStringLiteral("Insert into Main_Data (Device, Port) values (?, ?)"),
                     {device, QString::fromLatin1(port)}});
        }
        fill.commit();
    }
    PortResultList portRecords;
    PingResultList pingRecords;
    for (int d = 0; d < 2000; ++d) {
        const QString device = QStringLiteral("host-%1.example").arg(d, 4, 10, QLatin1Char('0'));
        for (const char* port : {"21", "25", "80", "443", "8080"})
            portRecords << PortResult{QStringLiteral("Modify"),
                                      device,
                                      QLatin1String(port),
                                      {},
                                      {},
                                      d % 7 ? QStringLiteral("Connected")
                                            : QStringLiteral("Failed"),
                                      d % 7 ? QString() : QStringLiteral("Connection refused")};
        for (int r = 0; r < 5; ++r)
            pingRecords << PingResult{device, QStringLiteral("Connected"), r + 1, {}};
    }
    QElapsedTimer clock;
    clock.start();
    engine.recording.WritePortResults(portRecords);
    const double ports = clock.nsecsElapsed() / 1e6;
    clock.start();
    engine.recording.WritePingResults(pingRecords);
    const double pings = clock.nsecsElapsed() / 1e6;
    std::printf("WritePortResults, 10,000 records: %.1f ms\n", ports);
    std::printf("WritePingResults, 10,000 records: %.1f ms\n", pings);
}

void passOverhead(const QString& folder) {
    std::printf("\n== Check pass overhead over the mandated pauses ==\n");
    Engine engine(folder);
    constexpr int Targets = 30;
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* peer = server.nextPendingConnection())
            peer->deleteLater();
    });
    QStringList targets;
    for (int i = 0; i < Targets; ++i)
        targets << QStringLiteral("127.0.0.1:") + QString::number(server.serverPort());
    QElapsedTimer clock;
    clock.start();
    const qint64 started = engine.view.clock.nsecsElapsed();
    engine.ports.Check_Ports(targets);
    const double total = clock.nsecsElapsed() / 1e6;
    const double issuing = (engine.view.waitStartedAt - started) / 1e6;
    const double waiting = total - issuing;
    // The wait is made of 50 ms steps; the attempt issued last is still open when it begins.
    const double mandated = Targets * 100.0 + std::floor(waiting / 50) * 50;
    std::printf("port pass, %d listening targets: %.1f ms (issuing %.1f ms, waiting %.1f ms); "
                "mandated pauses %.0f ms; beyond them %.1f ms (%.2f%%, network time included)\n",
                Targets, total, issuing, waiting, mandated, total - mandated,
                (total - mandated) / mandated * 100);

    QStringList devices;
    for (int i = 0; i < 20; ++i)
        devices << QStringLiteral("127.0.0.1");
    clock.start();
    engine.pings.Check_Ping(devices);
    const double pingTotal = clock.nsecsElapsed() / 1e6;
    std::printf("ping pass, 20 pings of 127.0.0.1: %.1f ms; mandated pauses 2000 ms; beyond them "
                "%.1f ms (%.2f%%, round trips included)\n",
                pingTotal, pingTotal - 2000, (pingTotal - 2000) / 2000 * 100);
}

} // namespace

int main(int argc, char* argv[]) {
    const bool isolated = PrivateNetwork::enter();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    std::printf("network: %s\n",
                isolated ? "a namespace of its own (loopback only)" : "the machine's loopback");
    roundTrips();
    pingTimeOuts();
    refusedConnects();
    QTemporaryDir a, b, c;
    portTimeOuts(a.path());
    recordingPass(b.path());
    passOverhead(c.path());
    return 0;
}
