// A component library whose control fails while it is being created, as one that cannot get
// the resources it needs would.
#include <QObject>
#include <stdexcept>

namespace {
QObject* failToCreate(QObject*) {
    throw std::runtime_error("The control could not be started.");
}
} // namespace

extern "C" Q_DECL_EXPORT int DllGetClassObject(const char*, QObject* (**factory)(QObject*)) {
    *factory = &failToCreate;
    return 0;
}
