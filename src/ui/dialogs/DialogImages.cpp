#include "ui/dialogs/DialogImages.h"

#include <QIcon>

static void initDialogImages() {
    // The pictures are compiled into this static library; its resource table must be
    // registered by hand before the first lookup.
    Q_INIT_RESOURCE(DialogImages);
}

namespace DialogImages {

QPixmap picture(const QString& name, const QSize& size, qreal devicePixelRatio) {
    static const bool ready = (initDialogImages(), true);
    Q_UNUSED(ready);
    const QIcon icon(QStringLiteral(":/orvex/dialogs/images/%1.svg").arg(name));
    return icon.pixmap(size, devicePixelRatio);
}

} // namespace DialogImages
