#include "character/CharacterDefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSvgRenderer>

namespace {

constexpr qint64 MaxManifestBytes = 4 * 1024 * 1024;
constexpr int MaxAnimationMs = 60000;

bool fail(QString& error, const QString& reason) {
    error = reason;
    return false;
}

LayerPose readPose(const QJsonObject& object, const LayerPose& previous) {
    LayerPose pose = previous;
    pose.dx = object.value(QStringLiteral("dx")).toDouble(pose.dx);
    pose.dy = object.value(QStringLiteral("dy")).toDouble(pose.dy);
    pose.rotate = object.value(QStringLiteral("rotate")).toDouble(pose.rotate);
    if (object.contains(QStringLiteral("scale")))
        pose.sx = pose.sy = object.value(QStringLiteral("scale")).toDouble(1);
    pose.sx = object.value(QStringLiteral("sx")).toDouble(pose.sx);
    pose.sy = object.value(QStringLiteral("sy")).toDouble(pose.sy);
    pose.opacity = qBound(0.0, object.value(QStringLiteral("opacity")).toDouble(pose.opacity), 1.0);
    return pose;
}

bool readAnimation(const QString& name, const QJsonObject& object,
                   const CharacterDefinition& definition, CharacterAnimation& animation,
                   QString& error) {
    animation.durationMs = object.value(QStringLiteral("duration")).toInt(-1);
    if (animation.durationMs <= 0 || animation.durationMs > MaxAnimationMs)
        return fail(error, QStringLiteral("animation %1 has no valid duration").arg(name));
    const QJsonObject tracks = object.value(QStringLiteral("tracks")).toObject();
    for (auto it = tracks.begin(); it != tracks.end(); ++it) {
        const CharacterLayer* layer = definition.layer(it.key());
        if (!layer && it.key() != CharacterDefinition::WholeCharacter)
            return fail(error,
                        QStringLiteral("animation %1 moves unknown layer %2").arg(name, it.key()));
        if (!it.value().isArray() || it.value().toArray().isEmpty())
            return fail(error, QStringLiteral("animation %1 has an empty track").arg(name));
        LayerPose pose;
        if (layer)
            pose.opacity = layer->opacity;
        QList<Keyframe> keys;
        for (const QJsonValue& value : it.value().toArray()) {
            const QJsonObject key = value.toObject();
            const int at = key.value(QStringLiteral("t")).toInt(-1);
            if (at < 0 || at > animation.durationMs || (!keys.isEmpty() && at < keys.last().at))
                return fail(error, QStringLiteral("animation %1 has keys out of order").arg(name));
            pose = readPose(key, pose);
            keys.append({at, pose});
        }
        animation.tracks.insert(it.key(), keys);
    }
    return true;
}

} // namespace

const CharacterAnimation* CharacterDefinition::animation(const QString& name) const {
    const auto it = animations.constFind(name.toLower());
    return it == animations.constEnd() ? nullptr : &it.value();
}

const CharacterLayer* CharacterDefinition::layer(const QString& id) const {
    for (const CharacterLayer& layer : layers) {
        if (layer.id == id)
            return &layer;
    }
    return nullptr;
}

const QStringList& CharacterDefinition::requiredAnimations() {
    static const QStringList names = {
        QStringLiteral("Acknowledge"), QStringLiteral("Blink"),     QStringLiteral("Confused"),
        QStringLiteral("Decline"),     QStringLiteral("Explain"),   QStringLiteral("GetAttention"),
        QStringLiteral("Greet"),       QStringLiteral("Pleased"),   QStringLiteral("Sad"),
        QStringLiteral("Suggest"),     QStringLiteral("Surprised"), QStringLiteral("Showing"),
        QStringLiteral("Hiding"),      QStringLiteral("Idle")};
    return names;
}

bool CharacterDefinition::load(const QString& path, CharacterDefinition& definition,
                               QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1").arg(path));
    if (file.size() > MaxManifestBytes)
        return fail(error, QStringLiteral("%1 is too large").arg(path));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail(
            error,
            QStringLiteral("%1 is not a character file: %2").arg(path, parseError.errorString()));
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toInt() != FormatVersion)
        return fail(error, QStringLiteral("%1 has an unknown format").arg(path));

    CharacterDefinition result;
    result.filePath = QFileInfo(path).absoluteFilePath();
    result.name = root.value(QStringLiteral("name")).toString(QFileInfo(path).baseName());
    const int width = root.value(QStringLiteral("width")).toInt();
    const int height = root.value(QStringLiteral("height")).toInt();
    if (width < 16 || height < 16 || width > 1024 || height > 1024)
        return fail(error, QStringLiteral("%1 has no valid size").arg(path));
    result.size = QSize(width, height);

    const QString artwork = root.value(QStringLiteral("artwork")).toString();
    if (artwork.isEmpty() || QFileInfo(artwork).isAbsolute() ||
        artwork.contains(QStringLiteral("..")))
        return fail(error, QStringLiteral("%1 names no artwork beside it").arg(path));
    result.artworkPath = QFileInfo(path).absoluteDir().filePath(artwork);
    QSvgRenderer renderer(result.artworkPath);
    if (!renderer.isValid())
        return fail(error, QStringLiteral("the artwork %1 cannot be read").arg(result.artworkPath));

    for (const QJsonValue& value : root.value(QStringLiteral("layers")).toArray()) {
        const QJsonObject object = value.toObject();
        const QJsonArray pivot = object.value(QStringLiteral("pivot")).toArray();
        CharacterLayer layer{object.value(QStringLiteral("id")).toString(),
                             QPointF(pivot.at(0).toDouble(), pivot.at(1).toDouble()),
                             qBound(0.0, object.value(QStringLiteral("opacity")).toDouble(1), 1.0),
                             object.value(QStringLiteral("parent")).toString()};
        if (layer.id.isEmpty() || !renderer.elementExists(layer.id))
            return fail(error,
                        QStringLiteral("layer %1 is missing from the artwork").arg(layer.id));
        result.layers.append(layer);
    }
    if (result.layers.isEmpty())
        return fail(error, QStringLiteral("%1 has no layers").arg(path));
    for (const CharacterLayer& layer : std::as_const(result.layers)) {
        const CharacterLayer* ancestor = &layer;
        for (qsizetype depth = 0; ancestor && !ancestor->parent.isEmpty(); ++depth) {
            ancestor = result.layer(ancestor->parent);
            if (!ancestor || depth >= result.layers.size())
                return fail(error,
                            QStringLiteral("layer %1 has a broken parent chain").arg(layer.id));
        }
    }
    result.mouthLayer = root.value(QStringLiteral("mouth")).toString();
    if (!result.mouthLayer.isEmpty() && !result.layer(result.mouthLayer))
        return fail(error,
                    QStringLiteral("the mouth layer %1 is not a layer").arg(result.mouthLayer));

    const QJsonObject voice = root.value(QStringLiteral("voice")).toObject();
    result.voice.name = voice.value(QStringLiteral("name")).toString(result.voice.name);
    result.voice.rate = voice.value(QStringLiteral("rate")).toInt(result.voice.rate);
    result.voice.pitch = voice.value(QStringLiteral("pitch")).toInt(result.voice.pitch);
    result.voice.range = voice.value(QStringLiteral("range")).toInt(result.voice.range);

    const QJsonObject animations = root.value(QStringLiteral("animations")).toObject();
    for (auto it = animations.begin(); it != animations.end(); ++it) {
        CharacterAnimation animation;
        if (!readAnimation(it.key(), it.value().toObject(), result, animation, error))
            return false;
        result.animations.insert(it.key().toLower(), animation);
    }
    for (const QString& name : requiredAnimations()) {
        if (!result.animation(name))
            return fail(error, QStringLiteral("%1 lacks the animation %2").arg(path, name));
    }
    definition = std::move(result);
    return true;
}
