#pragma once

#include "character/CharacterDefinition.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Runs one animation at a time against the clock and says when a new frame is due. Its timer
// runs only while an animation plays, so a resting character costs nothing.
class AnimationPlayer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnimationPlayer)
public:
    explicit AnimationPlayer(QObject* parent = nullptr);

    // Starts the animation, ending any other (which then reports finished first). A looping
    // animation runs until stopped.
    void play(const CharacterAnimation& animation, bool loop = false);
    void stop();
    bool isPlaying() const { return m_timer.isActive(); }
    qint64 elapsedMs() const;

    // The pose of a layer at the current moment; rest when nothing plays.
    LayerPose pose(const QString& layer, const LayerPose& rest) const;

    // The pose of a layer in an animation at a moment, eased between keyframes.
    static LayerPose poseAt(const CharacterAnimation& animation, const QString& layer,
                            const LayerPose& rest, qint64 ms);

signals:
    void frame();
    void finished();

private:
    void tick();

    CharacterAnimation m_animation;
    bool m_loop = false;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
