#pragma once

#include "character/CharacterDefinition.h"

#include <functional>
#include <QImage>
#include <QList>

class QPainter;

// Draws a character from its artwork. Each layer is rendered from the SVG once per scale
// into an image, so a frame is only a few transformed image draws.
class CharacterRenderer final {
public:
    using PoseSource = std::function<LayerPose(const QString& layer, const LayerPose& rest)>;

    explicit CharacterRenderer(const CharacterDefinition& definition);

    // Pixels per artwork unit on the target, device pixel ratio included.
    void setScale(double scale);
    QSize size() const { return m_definition.size; }

    // Paints the character into a rectangle of size() at the painter's origin. mouthOpen is
    // 0..1 and opens the mouth layer while speaking.
    void paint(QPainter& painter, const PoseSource& poses, float mouthOpen) const;

private:
    struct CachedLayer {
        const CharacterLayer* layer = nullptr;
        QRectF bounds; // artwork units
        QImage image;
    };

    const CharacterDefinition& m_definition;
    QRectF m_viewBox;
    double m_scale = 0;
    QList<CachedLayer> m_layers;
};
