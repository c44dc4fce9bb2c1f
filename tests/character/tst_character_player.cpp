#include "character/SpeechPlayer.h"

#include "TestMain.h"

#include <memory>
#include <QElapsedTimer>
#include <QSignalSpy>

namespace {

constexpr int Rate = 8000;

// What a stand-in sound device saw. It starts playing startDelayMs after the first samples
// reach it, as a sound server may, or never when the delay is negative.
struct DeviceLog {
    int startDelayMs = 0;
    qint64 writtenBytes = 0;
    QElapsedTimer sinceFirstWrite;
    bool closed = false;

    qint64 playedMs() const {
        if (startDelayMs < 0 || !sinceFirstWrite.isValid())
            return 0;
        const qint64 writtenMs = writtenBytes / 2 * 1000 / Rate;
        return qBound(qint64(0), sinceFirstWrite.elapsed() - startDelayMs, writtenMs);
    }
};

class LateOutput final : public SpeechOutput {
public:
    explicit LateOutput(std::shared_ptr<DeviceLog> log)
        : m_log(std::move(log)) {}
    ~LateOutput() override { m_log->closed = true; }
    qint64 write(const char*, qint64 bytes) override {
        if (!m_log->sinceFirstWrite.isValid())
            m_log->sinceFirstWrite.start();
        m_log->writtenBytes += bytes;
        return bytes;
    }
    qint64 playedMs() const override { return m_log->playedMs(); }

private:
    std::shared_ptr<DeviceLog> m_log;
};

// Silence standing in for speech: the first half of the text shows at once, the rest midway.
SpeechAudio phrase(const QString& text, int ms) {
    SpeechAudio audio;
    audio.sampleRate = Rate;
    audio.samples.resize(qsizetype(Rate) * ms / 1000);
    audio.shownText = text;
    audio.marks = {{0, text.size() / 2}, {ms / 2, text.size()}};
    return audio;
}

} // namespace

class TestPlayer : public QObject {
    Q_OBJECT
private slots:
    // The utterance ends when the device has played it, however late the device started,
    // and the balloon never shows words the device has not played yet. A device that plays
    // nothing is given up and the utterance still ends.
    void utterance_endsWhenTheDeviceHasPlayedIt_data() {
        QTest::addColumn<int>("startDelayMs");
        QTest::newRow("device on time") << 0;
        QTest::newRow("device starts late") << 900;
        QTest::newRow("device never plays") << -1;
    }
    void utterance_endsWhenTheDeviceHasPlayedIt() {
        QFETCH(int, startDelayMs);
        auto log = std::make_shared<DeviceLog>();
        log->startDelayMs = startDelayMs;
        SpeechPlayer player;
        player.setOutputFactory([log](int) { return std::make_unique<LateOutput>(log); });
        const SpeechAudio audio = phrase(QStringLiteral("Port eighty failed."), 1200);
        bool aheadOfSound = false;
        qint64 playedAtEnd = -1;
        connect(&player, &SpeechPlayer::progressed, this, [&](qsizetype shown) {
            if (!log->closed && shown > audio.shownAt(log->playedMs()))
                aheadOfSound = true;
        });
        connect(&player, &SpeechPlayer::finished, this, [&] { playedAtEnd = log->playedMs(); });
        QSignalSpy finished(&player, &SpeechPlayer::finished);
        QElapsedTimer clock;
        clock.start();

        player.play(audio);
        QVERIFY(player.audible());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QVERIFY(!aheadOfSound);
        QVERIFY(log->closed);
        QVERIFY(log->writtenBytes >= audio.samples.size() * 2);
        if (startDelayMs < 0) {
            QVERIFY(clock.elapsed() >= SpeechPlayer::StallMs);
            return;
        }
        QVERIFY2(playedAtEnd >= audio.durationMs(),
                 qPrintable(QStringLiteral("ended with %1 of %2 ms played")
                                .arg(playedAtEnd)
                                .arg(audio.durationMs())));
    }

    // The next phrase is asked for once less than AheadWantedMs is left, and a phrase that
    // has been heard is let go.
    void phrases_askedForWhenDueAndLetGoOnceHeard() {
        SpeechPlayer player;
        player.setOutputFactory([](int) { return nullptr; }); // no sound device: paced silently
        QSignalSpy wantsMore(&player, &SpeechPlayer::wantsMore);
        QSignalSpy finished(&player, &SpeechPlayer::finished);
        QSignalSpy progressed(&player, &SpeechPlayer::progressed);
        const SpeechAudio first = phrase(QStringLiteral("First phrase."), 3600);
        const SpeechAudio second = phrase(QStringLiteral(" Second."), 1000);

        qint64 aheadWhenAsked = -1;
        connect(&player, &SpeechPlayer::wantsMore, this,
                [&] { aheadWhenAsked = player.aheadMs(); });
        player.begin();
        player.append(first);
        QCOMPARE(player.heldSamples(), first.samples.size());
        QTRY_COMPARE_WITH_TIMEOUT(wantsMore.count(), 1, 5000);
        // Asked for once due, while the first phrase still plays.
        QVERIFY2(aheadWhenAsked > 0 && aheadWhenAsked < SpeechPlayer::AheadWantedMs,
                 qPrintable(QString::number(aheadWhenAsked)));
        player.append(second);
        player.close();
        QTRY_COMPARE_WITH_TIMEOUT(player.heldSamples(), second.samples.size(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCOMPARE(wantsMore.count(), 1);
        QCOMPARE(progressed.last().at(0).value<qsizetype>(),
                 first.shownText.size() + second.shownText.size());
        QCOMPARE(player.heldSamples(), 0);
    }
};

ORVEX_TEST_GUILESS_MAIN(TestPlayer)
#include "tst_character_player.moc"
