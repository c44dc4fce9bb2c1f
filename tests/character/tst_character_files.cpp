#include "core/RuntimeError.h"
#include "character/AgentCharacter.h"
#include "character/AgentControl.h"
#include "character/CharacterDefinition.h"

#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString Shipped = QStringLiteral(ORVEX_SOURCE_DIR "/data/characters");

QJsonObject shippedManifest(const QString& name) {
    QFile file(Shipped + QLatin1Char('/') + name + QStringLiteral(".acs"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Writes a manifest and, unless told otherwise, merlin's artwork beside it.
QString writeCharacter(const QDir& folder, const QByteArray& manifest, bool withArtwork = true) {
    const QString path = folder.filePath(QStringLiteral("test.acs"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(manifest);
    file.close();
    if (withArtwork)
        QFile::copy(Shipped + QStringLiteral("/merlin.svg"),
                    folder.filePath(QStringLiteral("merlin.svg")));
    return path;
}

QByteArray toJson(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

} // namespace

class TestCharacterFiles : public QObject {
    Q_OBJECT
private slots:
    void shipped_load_withEveryAnimationAndOwnVoice() {
        QStringList voices;
        for (const QString& name : {"merlin", "peedy", "robby", "genie"}) {
            CharacterDefinition definition;
            QString error;
            QVERIFY2(CharacterDefinition::load(Shipped + "/" + name + ".acs", definition, error),
                     qPrintable(error));
            for (const QString& animation : CharacterDefinition::requiredAnimations())
                QVERIFY(definition.animation(animation));
            QVERIFY(!definition.mouthLayer.isEmpty());
            voices << QStringLiteral("%1/%2/%3")
                          .arg(definition.voice.name)
                          .arg(definition.voice.pitch)
                          .arg(definition.voice.rate);
        }
        voices.removeDuplicates();
        QCOMPARE(voices.size(), 4);
    }

    void animationNames_matchWithoutRegardToCase() {
        CharacterDefinition definition;
        QString error;
        QVERIFY(CharacterDefinition::load(Shipped + "/peedy.acs", definition, error));
        QVERIFY(definition.animation("getattention"));
        QVERIFY(definition.animation("GETATTENTION"));
        QVERIFY(!definition.animation("Dance"));
    }

    void damaged_isRefusedWithReason_data() {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<bool>("withArtwork");
        QTest::addColumn<QString>("reason");

        const QJsonObject good = shippedManifest("merlin");
        QTest::newRow("empty file") << QByteArray() << true << "not a character file";
        QTest::newRow("truncated") << toJson(good).left(900) << true << "not a character file";
        QTest::newRow("binary junk")
            << QByteArray("\x00\x01\xff\xfe acs", 9) << true << "not a character file";
        QTest::newRow("json array") << QByteArray("[1,2,3]") << true << "not a character file";

        QJsonObject unknownFormat = good;
        unknownFormat["format"] = 7;
        QTest::newRow("unknown format") << toJson(unknownFormat) << true << "unknown format";

        QTest::newRow("artwork missing") << toJson(good) << false << "cannot be read";

        QJsonObject escaping = good;
        escaping["artwork"] = "../merlin.svg";
        QTest::newRow("artwork outside its folder")
            << toJson(escaping) << true << "names no artwork";

        QJsonObject noSize = good;
        noSize.remove("width");
        QTest::newRow("no size") << toJson(noSize) << true << "no valid size";

        QJsonObject missingLayer = good;
        QJsonArray layers = missingLayer["layers"].toArray();
        layers.append(QJsonObject{{"id", "wings"}, {"pivot", QJsonArray{0, 0}}});
        missingLayer["layers"] = layers;
        QTest::newRow("layer not in artwork") << toJson(missingLayer) << true << "wings";

        QJsonObject looping = good;
        layers = looping["layers"].toArray();
        for (int i = 0; i < layers.size(); ++i) {
            QJsonObject layer = layers[i].toObject();
            if (layer["id"] == "body")
                layer["parent"] = "head";
            layers[i] = layer;
        }
        looping["layers"] = layers;
        QTest::newRow("parent loop") << toJson(looping) << true << "broken parent chain";

        QJsonObject incomplete = good;
        QJsonObject animations = incomplete["animations"].toObject();
        animations.remove("Sad");
        incomplete["animations"] = animations;
        QTest::newRow("animation missing")
            << toJson(incomplete) << true << "lacks the animation Sad";

        QJsonObject strayTrack = good;
        animations = strayTrack["animations"].toObject();
        QJsonObject greet = animations["Greet"].toObject();
        QJsonObject tracks = greet["tracks"].toObject();
        tracks["tail"] = QJsonArray{QJsonObject{{"t", 0}}};
        greet["tracks"] = tracks;
        animations["Greet"] = greet;
        strayTrack["animations"] = animations;
        QTest::newRow("track on unknown layer")
            << toJson(strayTrack) << true << "unknown layer tail";

        QJsonObject disordered = good;
        animations = disordered["animations"].toObject();
        QJsonObject blink = animations["Blink"].toObject();
        blink["tracks"] =
            QJsonObject{{"eyes", QJsonArray{QJsonObject{{"t", 200}}, QJsonObject{{"t", 100}}}}};
        animations["Blink"] = blink;
        disordered["animations"] = animations;
        QTest::newRow("keys out of order") << toJson(disordered) << true << "out of order";

        QJsonObject endless = good;
        animations = endless["animations"].toObject();
        QJsonObject idle = animations["Idle"].toObject();
        idle["duration"] = 0;
        animations["Idle"] = idle;
        endless["animations"] = animations;
        QTest::newRow("no duration") << toJson(endless) << true << "no valid duration";
    }
    void damaged_isRefusedWithReason() {
        QFETCH(QByteArray, manifest);
        QFETCH(bool, withArtwork);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = writeCharacter(QDir(folder.path()), manifest, withArtwork);
        CharacterDefinition definition;
        definition.name = "untouched";
        QString error;
        QVERIFY(!CharacterDefinition::load(path, definition, error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(definition.name, QStringLiteral("untouched"));
    }

    void control_load_failsLikeMissingFile_data() {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<int>("number");
        QTest::newRow("missing") << QByteArray() << 53;
        QTest::newRow("damaged") << QByteArray("{\"format\": 1, \"name\": ") << 321;
    }
    void control_load_failsLikeMissingFile() {
        QFETCH(QByteArray, manifest);
        QFETCH(int, number);
        QTemporaryDir folder;
        if (!manifest.isEmpty())
            writeCharacter(QDir(folder.path()), manifest);
        AgentControl agent;
        agent.setCharacterFolders({folder.path()});
        try {
            agent.Load("Character", "test.acs");
            QFAIL("loaded");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), number);
        }
        QVERIFY(!agent.contains("Character"));
    }

    void control_resolve_searchesFoldersInOrder() {
        QTemporaryDir first;
        QTemporaryDir second;
        QFile::copy(Shipped + "/robby.acs", second.filePath("robby.acs"));
        QFile::copy(Shipped + "/robby.svg", second.filePath("robby.svg"));
        AgentControl agent;
        agent.setCharacterFolders({first.path(), second.path()});
        QCOMPARE(agent.resolve("robby.acs"),
                 QFileInfo(second.filePath("robby.acs")).absoluteFilePath());
        QVERIFY(agent.resolve("nobody.acs").isEmpty());
        QCOMPARE(agent.resolve(second.filePath("robby.acs")),
                 QFileInfo(second.filePath("robby.acs")).absoluteFilePath());
    }

    void control_identifierInUse_isRefused() {
        AgentControl agent;
        agent.setCharacterFolders({Shipped});
        agent.Load("Character", "merlin.acs");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, agent.Load("character", "peedy.acs"));
        QCOMPARE(agent.Character("CHARACTER")->name(), QStringLiteral("Merlin"));
        agent.Unload("Character");
        QVERIFY(!agent.contains("Character"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, agent.Character("Character"));
    }
};

ORVEX_TEST_MAIN(TestCharacterFiles)
#include "tst_character_files.moc"
