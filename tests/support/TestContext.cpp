#include "TestContext.h"

#include "core/AppInfo.h"

#include <QDir>
#include <QSettings>

void clearAllSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, AppInfo::Title);
    store.clear();
    store.sync();
}

TestContext::TestContext() {
    clearAllSettings();
    context = std::make_unique<AppContext>(QDir::toNativeSeparators(folder.path()));
    context->setDialogs(&dialogs);
    context->setAssistant(&assistant);
    context->setShell(&shell);
    context->setProgramEnd(&end);
}

TestContext::~TestContext() = default;

QString TestContext::programFile(const QString& name) const {
    return context->paths().inProgramFolder(name);
}
