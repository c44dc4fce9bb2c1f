#pragma once

#include "character/SpeechVoice.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

// The pose of one layer: an offset, a rotation and a scale about the layer's pivot, and an
// opacity.
struct LayerPose {
    double dx = 0;
    double dy = 0;
    double rotate = 0; // degrees, clockwise
    double sx = 1;
    double sy = 1;
    double opacity = 1;
};

struct Keyframe {
    int at = 0; // ms from the start of the animation
    LayerPose pose;
};

struct CharacterAnimation {
    int durationMs = 0;
    // Layer id (or the whole character, "character") to its keyframes in time order.
    QHash<QString, QList<Keyframe>> tracks;
};

struct CharacterLayer {
    QString id;         // the element id in the artwork
    QPointF pivot;      // artwork coordinates
    double opacity = 1; // at rest
    QString parent;     // moves with this layer (a head carries its eyes)
};

// A character file as loaded: a JSON manifest naming its artwork (an SVG document beside it),
// the layers drawn from it, the voice and the animations. The format is described in the
// characters' README.
struct CharacterDefinition {
    QString name;
    QString filePath;
    QString artworkPath;
    QSize size;                   // window size in pixels at scale 1
    QList<CharacterLayer> layers; // drawing order, back to front
    QString mouthLayer;           // opened while speaking
    SpeechVoice voice;
    QHash<QString, CharacterAnimation> animations; // case-blind: keys are lower case

    const CharacterAnimation* animation(const QString& name) const;
    const CharacterLayer* layer(const QString& id) const;

    // Animations every character file must have.
    static const QStringList& requiredAnimations();
    static constexpr int FormatVersion = 1;
    inline static const QString WholeCharacter = QStringLiteral("character");

    // Reads and checks a character file and its artwork. A missing, damaged or incomplete
    // file yields false and a reason.
    static bool load(const QString& path, CharacterDefinition& definition, QString& error);
};
