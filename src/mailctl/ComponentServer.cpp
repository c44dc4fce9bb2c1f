#include "ComponentServer.h"

#include "MailControlInfo.h"
#include "OrvexSMTP.h"

#include <atomic>
#include <dlfcn.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

// The per-user component registry is an INI file under the generic data location, one group
// per class identifier with the library's path under "Library". The monitor's loader reads
// the same file.

namespace {
constexpr int ResultOk = 0;
constexpr int ResultFalse = 1;
constexpr int ResultFailed = -1;

std::atomic<int> g_liveInstances{0};

using CreateInstanceFunction = QObject* (*)(QObject* parent);

QString registryFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/OrvexComponents/registry.ini");
}

QString libraryKey() {
    return MailControlInfo::ClassId + QStringLiteral("/Library");
}

QString thisLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&registryFile), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

int writeRegistry(const QString& libraryPath) {
    const QString file = registryFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return ResultFailed;
    QSettings registry(file, QSettings::IniFormat);
    if (libraryPath.isEmpty())
        registry.remove(MailControlInfo::ClassId);
    else
        registry.setValue(libraryKey(), libraryPath);
    registry.sync();
    return registry.status() == QSettings::NoError ? ResultOk : ResultFailed;
}

QObject* createOrvexSMTP(QObject* parent) {
    // The control is a widget: it needs a widget application, and takes a widget parent.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    QWidget* widgetParent =
        parent && parent->isWidgetType() ? static_cast<QWidget*>(parent) : nullptr;
    auto* control = new OrvexSMTP(widgetParent);
    if (parent && !widgetParent)
        QObject::connect(parent, &QObject::destroyed, control, [control] { delete control; });
    return control;
}
} // namespace

void ComponentServer::instanceCreated() {
    ++g_liveInstances;
}

void ComponentServer::instanceDestroyed() {
    --g_liveInstances;
}

int ComponentServer::liveInstances() {
    return g_liveInstances;
}

extern "C" {
// Records this library under its class identifier for the current user.
Q_DECL_EXPORT int DllRegisterServer() {
    const QString path = thisLibraryPath();
    return path.isEmpty() ? ResultFailed : writeRegistry(path);
}

Q_DECL_EXPORT int DllUnregisterServer() {
    return writeRegistry(QString());
}

// Hands out the factory of the class named, or fails for a class this library lacks.
Q_DECL_EXPORT int DllGetClassObject(const char* classId, CreateInstanceFunction* factory) {
    if (!factory)
        return ResultFailed;
    *factory = nullptr;
    if (!classId ||
        QString::fromUtf8(classId).compare(MailControlInfo::ClassId, Qt::CaseInsensitive) != 0)
        return ResultFailed;
    *factory = &createOrvexSMTP;
    return ResultOk;
}

// 0 when no instance is alive, 1 while one still is.
Q_DECL_EXPORT int DllCanUnloadNow() {
    return g_liveInstances == 0 ? ResultOk : ResultFalse;
}
}
