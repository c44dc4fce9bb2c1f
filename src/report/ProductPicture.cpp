#include "report/ProductPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap productPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    QLinearGradient screen(0, 6, 0, 44);
    screen.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    screen.setColorAt(1, QColor(0x0b, 0x25, 0x4a));
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x47), 2.5));
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(4, 6, 56, 38), 5, 5);
    p.setBrush(QColor(0x3a, 0x3f, 0x47));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(28, 44, 8, 8));
    p.drawRoundedRect(QRectF(18, 52, 28, 5), 2, 2);

    QPainterPath pulse;
    pulse.moveTo(9, 27);
    pulse.lineTo(20, 27);
    pulse.lineTo(25, 15);
    pulse.lineTo(31, 37);
    pulse.lineTo(36, 22);
    pulse.lineTo(40, 27);
    pulse.lineTo(55, 27);
    p.setPen(QPen(QColor(0x4c, 0xe0, 0x8a), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pulse);
    return pixmap;
}
