#include "platform/ComponentLoader.h"

#include "platform/ComponentRegistry.h"

#include <QFileInfo>
#include <QLibrary>
#include <QObject>

namespace {
using CreateInstanceFunction = QObject* (*)(QObject* parent);
using GetClassObjectFunction = int (*)(const char* classId, CreateInstanceFunction* factory);
using RegisterFunction = int (*)();

QObject* failWith(QString* error, const QString& text) {
    if (error)
        *error = text;
    return nullptr;
}
} // namespace

QObject* ComponentLoader::create(const QString& classId, QObject* parent, QString* error) {
    const ComponentRegistry registry;
    const QString path = registry.libraryFor(classId);
    if (path.isEmpty())
        return failWith(error, QStringLiteral("The component %1 is not registered.").arg(classId));

    // Never unloaded: instances and their code live until the program ends.
    QLibrary library(path);
    if (!library.load())
        return failWith(error, QStringLiteral("The component library %1 of %2 could not be "
                                              "loaded: %3")
                                   .arg(path, classId, library.errorString()));

    const auto getClassObject =
        reinterpret_cast<GetClassObjectFunction>(library.resolve("DllGetClassObject"));
    if (!getClassObject)
        return failWith(error, QStringLiteral("The library %1 registered for %2 is not a "
                                              "component library.")
                                   .arg(path, classId));

    CreateInstanceFunction factory = nullptr;
    if (getClassObject(classId.toUtf8().constData(), &factory) != 0 || !factory)
        return failWith(
            error,
            QStringLiteral("The component library %1 does not provide %2.").arg(path, classId));

    QObject* instance = factory(parent);
    if (!instance)
        return failWith(error,
                        QStringLiteral("The component %1 could not be created.").arg(classId));
    if (error)
        error->clear();
    return instance;
}

bool ComponentLoader::registerIfMissing(const QString& classId, const QStringList& libraries) {
    const QString registered = ComponentRegistry().libraryFor(classId);
    if (!registered.isEmpty() && QFileInfo::exists(registered))
        return true;
    for (const QString& path : libraries) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary library(path);
        if (!library.load())
            return false;
        const auto registerServer =
            reinterpret_cast<RegisterFunction>(library.resolve("DllRegisterServer"));
        return registerServer && registerServer() == 0 &&
               !ComponentRegistry().libraryFor(classId).isEmpty();
    }
    return false;
}
