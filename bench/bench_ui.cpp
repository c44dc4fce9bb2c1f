// Times the main window's tree build, device list and icon pass on a large database.
// Prints figures only.

#include "core/AppContext.h"
#include "store/Database.h"
#include "ui/main/DetailList.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/EngineFace.h"
#include "ui/main/frmMain.h"
#include "ui/main/MainClientArea.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

constexpr int Devices = 10000;
const QStringList Ports{QStringLiteral("Ping"), QStringLiteral("21"), QStringLiteral("25"),
                        QStringLiteral("443"), QStringLiteral("80")};

void fill(Database& db) {
    Database::Transaction transaction(db);
    for (int d = 0; d < Devices; ++d) {
        const QString device = QStringLiteral("host-%1.example").arg(d, 5, 10, QLatin1Char('0'));
        db.execute({QStringLiteral("Insert into Devices (Device, Device_Alias, "
                                   "Device_Description) values (?, ?, ?)"),
                    {device, d % 3 == 0 ? QStringLiteral("alias-%1").arg(d) : QString(),
                     QStringLiteral("Device %1").arg(d)}});
        for (const QString& port : Ports)
            db.execute(
                {QStringLiteral("Insert into Main_Data (Device, Port, Port_Type) "
                                "values (?, ?, ?)"),
                 {device, port, port == QLatin1String("Ping") ? port : QStringLiteral("Port")}});
    }
    transaction.commit();
}

template <typename Body> double timed(Body&& body) {
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir folder;
    AppContext context(folder.path());
    const QString path = context.paths().inProgramFolder(QStringLiteral("bench.mdb"));
    Database::create(path);
    Database db;
    db.open(path);
    const double fillMs = timed([&] { fill(db); });

    std::unique_ptr<frmMain> window;
    const double createMs = timed([&] { window = std::make_unique<frmMain>(context, db); });
    window->show();
    QCoreApplication::processEvents();

    DevicePanes& panes = window->panes();
    const double loadMs = timed([&] { panes.Load_Data(); });
    const double devicesMs = timed([&] { panes.Update_Devices(); });
    // The list as the person sees it: filled, laid out and painted, in each presentation.
    double shownMs[4] = {};
    for (int mode = 0; mode < 4; ++mode) {
        window->clientArea().setViewMode(mode);
        shownMs[mode] = timed([&] {
            panes.Update_Devices();
            window->lvListView().repaint();
            QCoreApplication::processEvents();
        });
    }

    // One device in seven failing on port 80, one in eleven recovering on ping.
    db.execute({QStringLiteral("Update Main_Data set Count = 2 where Port = '80' and "
                               "cast(substr(Device, 6, 5) as integer) % 7 = 0"),
                {}});
    db.execute({QStringLiteral("Update Main_Data set Count = -3 where Port = 'Ping' and "
                               "cast(substr(Device, 6, 5) as integer) % 11 = 0"),
                {}});
    const double iconsMs = timed([&] { window->face().Check_TVIcons(); });
    const double iconsAgainMs = timed([&] { window->face().Check_TVIcons(); });
    QCoreApplication::processEvents();

    std::printf("devices: %d, items: %d, tree nodes: %d, list rows: %d, problems: %d\n", Devices,
                Devices * int(Ports.size()), window->tvTreeView().nodeCount(),
                window->lvListView().model().rowCount(), panes.problemCount());
    std::printf("fill database        %9.1f ms\n", fillMs);
    std::printf("window (both passes) %9.1f ms\n", createMs);
    std::printf("Load_Data            %9.1f ms\n", loadMs);
    std::printf("Update_Devices       %9.1f ms\n", devicesMs);
    const char* const modes[] = {"large icons", "small icons", "list", "details"};
    for (int mode = 0; mode < 4; ++mode)
        std::printf("Update_Devices shown %9.1f ms (%s)\n", shownMs[mode], modes[mode]);
    std::printf("Check_TVIcons        %9.1f ms\n", iconsMs);
    std::printf("Check_TVIcons again  %9.1f ms\n", iconsAgainMs);
    return 0;
}
