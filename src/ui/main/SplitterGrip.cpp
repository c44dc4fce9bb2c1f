#include "ui/main/SplitterGrip.h"

#include <QMouseEvent>

SplitterGrip::SplitterGrip(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("imgSplitter"));
    setCursor(Qt::SplitHCursor);
}

void SplitterGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit pressed();
}

void SplitterGrip::mouseMoveEvent(QMouseEvent* event) {
    emit moved(qRound(event->position().x()));
}

void SplitterGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit released();
}
