#include "app/AppContext.h"
#include "app/AppInfo.h"
#include "app/Startup.h"
#include "app/WidgetDialogs.h"
#include "store/Database.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::Title);
    QApplication::setQuitOnLastWindowClosed(false);

    AppContext context;
    WidgetDialogs dialogs;
    DesktopShell shell;
    context.setDialogs(&dialogs);
    context.setShell(&shell);

    Database monitorDB;
    Startup startup(context, monitorDB);
    if (!startup.run())
        return 1;
    // Until the main window exists, start-up ends here and the program closes cleanly.
    return 0;
}
