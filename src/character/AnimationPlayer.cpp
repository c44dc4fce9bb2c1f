#include "character/AnimationPlayer.h"

namespace {

constexpr int FrameMs = 33;

double ease(double t) {
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

LayerPose blend(const LayerPose& a, const LayerPose& b, double t) {
    return {mix(a.dx, b.dx, t), mix(a.dy, b.dy, t), mix(a.rotate, b.rotate, t),
            mix(a.sx, b.sx, t), mix(a.sy, b.sy, t), mix(a.opacity, b.opacity, t)};
}

} // namespace

AnimationPlayer::AnimationPlayer(QObject* parent)
    : QObject(parent) {
    m_timer.setInterval(FrameMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AnimationPlayer::tick);
}

void AnimationPlayer::play(const CharacterAnimation& animation, bool loop) {
    if (isPlaying()) {
        m_timer.stop();
        emit finished();
    }
    m_animation = animation;
    m_loop = loop;
    m_clock.start();
    m_timer.start();
    emit frame();
}

void AnimationPlayer::stop() {
    if (!isPlaying())
        return;
    m_timer.stop();
    m_animation = {};
    emit frame();
    emit finished();
}

qint64 AnimationPlayer::elapsedMs() const {
    return isPlaying() ? m_clock.elapsed() : 0;
}

LayerPose AnimationPlayer::pose(const QString& layer, const LayerPose& rest) const {
    if (!isPlaying())
        return rest;
    return poseAt(m_animation, layer, rest, m_clock.elapsed());
}

LayerPose AnimationPlayer::poseAt(const CharacterAnimation& animation, const QString& layer,
                                  const LayerPose& rest, qint64 ms) {
    const auto it = animation.tracks.constFind(layer);
    if (it == animation.tracks.constEnd() || it->isEmpty())
        return rest;
    const QList<Keyframe>& keys = *it;
    // Before the first key the layer moves from rest; after the last it holds.
    Keyframe previous{0, rest};
    for (const Keyframe& key : keys) {
        if (ms < key.at) {
            const int span = key.at - previous.at;
            const double t = span > 0 ? double(ms - previous.at) / span : 1.0;
            return blend(previous.pose, key.pose, ease(qBound(0.0, t, 1.0)));
        }
        previous = key;
    }
    return previous.pose;
}

void AnimationPlayer::tick() {
    if (m_loop && m_clock.elapsed() >= m_animation.durationMs)
        m_clock.start();
    if (m_clock.elapsed() >= m_animation.durationMs) {
        m_timer.stop();
        m_animation = {};
        emit frame();
        emit finished();
        return;
    }
    emit frame();
}
