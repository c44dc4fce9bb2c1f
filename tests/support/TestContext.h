#pragma once

#include "core/AppContext.h"
#include "TestServices.h"

#include <memory>
#include <QTemporaryDir>

// An AppContext on a fresh program folder with every seam recording. Settings live in the
// test executable's own XDG_CONFIG_HOME (see TestMain.h) and are cleared for each context.
class TestContext final {
public:
    TestContext();
    ~TestContext();

    AppContext& operator*() { return *context; }
    AppContext* operator->() { return context.get(); }
    QString programFile(const QString& name) const;

    QTemporaryDir folder;
    RecordingDialogs dialogs;
    RecordingAssistant assistant;
    RecordingShell shell;
    RecordingEnd end;
    std::unique_ptr<AppContext> context;
};

// Removes every stored setting of the program.
void clearAllSettings();
