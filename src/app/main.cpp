#include "app/MonitorProgram.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorReport.h"
#include "ui/desktop/WidgetDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::Title);
    QApplication::setQuitOnLastWindowClosed(false);

    AppContext context;
    WidgetDialogs dialogs;
    DesktopShell shell;
    context.setDialogs(&dialogs);
    shell.onCannotOpen([&context](const QString& target) { context.errors().cannotOpen(target); });
    context.setShell(&shell);

    MonitorProgram program(context, &dialogs);
    if (!program.start())
        return 1;
    return app.exec();
}
