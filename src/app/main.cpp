#include "app/AppContext.h"
#include "app/AppInfo.h"
#include "app/RuntimeError.h"
#include "app/Startup.h"
#include "app/WidgetDialogs.h"
#include "report/Assistant.h"
#include "store/Database.h"
#include "ui/main/MainStartup.h"
#include "ui/main/frmMain.h"

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

    MainStartup mainStartup(context, monitorDB, startup.splash());
    Assistant assistant(context);
    std::unique_ptr<frmMain> mainForm;
    try {
        mainForm = mainStartup.createMainForm();
        dialogs.setParentWindow(mainForm.get());
        mainStartup.loadAssistant(assistant, *mainForm);
        mainStartup.show(*mainForm);
    } catch (const RuntimeError& error) {
        dialogs.message(Startup::startupErrorText(error.description()), MessageIcon::Critical,
                        AppInfo::Title);
        return 1;
    }
    return app.exec();
}
