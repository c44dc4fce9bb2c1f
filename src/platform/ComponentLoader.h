#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Creates a component by its class identifier, as the monitor creates its mail control:
// the identifier is looked up in the per-user ComponentRegistry, the library found there is
// loaded (and stays loaded for the rest of the run), and its DllGetClassObject hands out the
// factory that makes the instance. create() returns nullptr and sets *error to a text the
// operator can act on when the class is not registered, the library cannot be loaded, or it
// does not make the class. The instance is a QObject (a visual control is a QWidget, parented
// to `parent` when that is a widget; the host places or hides it) owned by `parent`. Its
// properties are read and written by name (QObject::property/setProperty), its methods are
// called by name (QMetaObject::invokeMethod) and its events are signals. A control tells its
// host of every property assignment through its signal propertyChanged(QString); it saves
// and restores its properties through WriteProperties(QObject*) / ReadProperties(QObject*)
// with a ComponentPropertyBag.
class ComponentLoader final {
public:
    static QObject* create(const QString& classId, QObject* parent, QString* error);

    // Registers the first of `libraries` that exists when classId has no registered library
    // that exists, as an installed program does on a user's first start. True when the class
    // is registered afterwards.
    static bool registerIfMissing(const QString& classId, const QStringList& libraries);
};
