#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The step pictures of the wizards, drawn from their SVG sources at the screen's pixel ratio.
namespace DialogImages {
QPixmap picture(const QString& name, const QSize& size, qreal devicePixelRatio);
} // namespace DialogImages
