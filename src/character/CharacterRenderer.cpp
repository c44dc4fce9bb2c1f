#include "character/CharacterRenderer.h"

#include <functional>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace {
constexpr double Margin = 3; // artwork units around a layer for strokes and soft edges
constexpr int MaxLayerPixels = 2048;

} // namespace

CharacterRenderer::CharacterRenderer(const CharacterDefinition& definition)
    : m_definition(definition) {
    setScale(1);
}

void CharacterRenderer::setScale(double scale) {
    if (qFuzzyCompare(scale, m_scale) || scale <= 0)
        return;
    m_scale = scale;
    m_layers.clear();
    QSvgRenderer svg(m_definition.artworkPath);
    m_viewBox = svg.viewBoxF();
    if (m_viewBox.isEmpty())
        m_viewBox = QRectF(QPointF(0, 0), m_definition.size);
    const double pixels = scale * m_definition.size.width() / m_viewBox.width();
    for (const CharacterLayer& layer : m_definition.layers) {
        CachedLayer cached;
        cached.layer = &layer;
        cached.bounds = svg.boundsOnElement(layer.id).adjusted(-Margin, -Margin, Margin, Margin);
        // Bounded, so a layer with absurd extents costs blur rather than memory.
        const QSize imageSize = (cached.bounds.size() * pixels)
                                    .toSize()
                                    .expandedTo(QSize(1, 1))
                                    .boundedTo(QSize(MaxLayerPixels, MaxLayerPixels));
        cached.image = QImage(imageSize, QImage::Format_ARGB32_Premultiplied);
        cached.image.fill(Qt::transparent);
        QPainter painter(&cached.image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(imageSize.width() / cached.bounds.width(),
                      imageSize.height() / cached.bounds.height());
        painter.translate(-cached.bounds.topLeft());
        svg.render(&painter, layer.id, svg.boundsOnElement(layer.id));
        m_layers.append(cached);
    }
}

void CharacterRenderer::paint(QPainter& painter, const PoseSource& poses, float mouthOpen) const {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(m_definition.size.width() / m_viewBox.width(),
                  m_definition.size.height() / m_viewBox.height());
    painter.translate(-m_viewBox.topLeft());

    const QPointF feet(m_viewBox.center().x(), m_viewBox.bottom());
    const LayerPose whole = poses(CharacterDefinition::WholeCharacter, LayerPose());
    QTransform base;
    base.translate(feet.x() + whole.dx, feet.y() + whole.dy);
    base.rotate(whole.rotate);
    base.scale(whole.sx, whole.sy);
    base.translate(-feet.x(), -feet.y());

    // Each layer's own pose, then its parents' poses outward.
    QHash<QString, std::pair<QTransform, double>> placed;
    std::function<std::pair<QTransform, double>(const CharacterLayer&)> place =
        [&](const CharacterLayer& layer) -> std::pair<QTransform, double> {
        const auto known = placed.constFind(layer.id);
        if (known != placed.constEnd())
            return *known;
        LayerPose rest;
        rest.opacity = layer.opacity;
        LayerPose pose = poses(layer.id, rest);
        if (layer.id == m_definition.mouthLayer) {
            const double open = qBound(0.0, double(mouthOpen), 1.0);
            if (open > 0.05)
                pose.opacity = 1.0;
            pose.sy *= 0.25 + 0.75 * open;
        }
        QTransform own;
        own.translate(layer.pivot.x() + pose.dx, layer.pivot.y() + pose.dy);
        own.rotate(pose.rotate);
        own.scale(pose.sx, pose.sy);
        own.translate(-layer.pivot.x(), -layer.pivot.y());
        std::pair<QTransform, double> result{own, pose.opacity};
        if (const CharacterLayer* parent = m_definition.layer(layer.parent)) {
            const auto outer = place(*parent);
            result.first = own * outer.first;
            result.second *= outer.second;
        }
        placed.insert(layer.id, result);
        return result;
    };

    const QTransform world = painter.worldTransform();
    const double baseOpacity = painter.opacity() * whole.opacity;
    for (const CachedLayer& cached : m_layers) {
        const auto [transform, opacity] = place(*cached.layer);
        if (opacity <= 0.001)
            continue;
        painter.setOpacity(baseOpacity * opacity);
        painter.setWorldTransform(transform * base * world);
        painter.drawImage(cached.bounds, cached.image);
    }
    painter.restore();
}
