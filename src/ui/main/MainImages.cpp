#include "ui/main/MainImages.h"

#include <QHash>

static void initMainImages() {
    // The pictures are compiled into this static library; its resource table must be
    // registered by hand before the first lookup.
    Q_INIT_RESOURCE(MainImages);
}

namespace MainImages {

namespace {
QIcon load(const QString& path) {
    static const bool ready = (initMainImages(), true);
    Q_UNUSED(ready);
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(path);
    if (found != cache.constEnd())
        return *found;
    QIcon icon;
    icon.addFile(path, QSize(16, 16));
    icon.addFile(path, QSize(32, 32));
    cache.insert(path, icon);
    return icon;
}
} // namespace

QIcon icon(int index) {
    if (index < Root || index > TrayChecking)
        return {};
    return load(QStringLiteral(":/orvex/main/images/%1.svg").arg(index));
}

QIcon toolbarIcon(const QString& name) {
    return load(QStringLiteral(":/orvex/main/images/tb_%1.svg").arg(name));
}

} // namespace MainImages
