#include "ControlIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ControlIcon::pixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal margin = size * 0.08;
    const QRectF envelope(margin, size * 0.22, size - 2 * margin, size * 0.56);
    painter.setPen(QPen(QColor(40, 60, 110), qMax(1.0, size / 24.0)));
    painter.setBrush(QColor(245, 240, 220));
    painter.drawRect(envelope);

    QPainterPath flap;
    flap.moveTo(envelope.topLeft());
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.55);
    flap.lineTo(envelope.topRight());
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);

    const qreal seal = size * 0.16;
    painter.setBrush(QColor(190, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(envelope.center().x(), envelope.top() + envelope.height() * 0.55),
                        seal / 2, seal / 2);
    return pixmap;
}
