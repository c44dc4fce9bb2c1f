#include "character/SpeechService.h"
#include "character/SpeechSynthesizer.h"

#include "TestMain.h"

#include <cmath>
#include <QFile>
#include <QSignalSpy>
#include <QtEndian>

namespace {

struct Wav {
    int sampleRate = 0;
    QVector<qint16> samples;
    double seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0; }
};

// Reads back a file the way a player would: the RIFF header, then 16-bit mono PCM.
Wav readWav(const QString& path) {
    Wav wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wav;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt " ||
        qFromLittleEndian<quint16>(bytes.constData() + 20) != 1 ||
        qFromLittleEndian<quint16>(bytes.constData() + 22) != 1 ||
        qFromLittleEndian<quint16>(bytes.constData() + 34) != 16 || bytes.mid(36, 4) != "data")
        return wav;
    wav.sampleRate = int(qFromLittleEndian<quint32>(bytes.constData() + 24));
    const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + 40);
    if (length != quint32(bytes.size() - 44))
        return wav;
    for (qsizetype at = 44; at + 1 < bytes.size(); at += 2)
        wav.samples.append(qFromLittleEndian<qint16>(bytes.constData() + at));
    return wav;
}

double rms(const QVector<qint16>& samples) {
    double sum = 0;
    for (qint16 s : samples)
        sum += double(s) * s;
    return samples.isEmpty() ? 0 : std::sqrt(sum / samples.size());
}

// Share of 20 ms windows loud enough to be voice rather than silence.
double voicedShare(const Wav& wav) {
    const int window = wav.sampleRate / 50;
    int voiced = 0;
    int windows = 0;
    for (qsizetype at = 0; at + window <= wav.samples.size(); at += window, ++windows) {
        if (rms(wav.samples.mid(at, window)) > 500)
            ++voiced;
    }
    return windows ? double(voiced) / windows : 0;
}

// The longest run of quiet 10 ms windows, in milliseconds.
int longestSilenceMs(const Wav& wav) {
    const int window = wav.sampleRate / 100;
    int longest = 0;
    int run = 0;
    for (qsizetype at = 0; window > 0 && at + window <= wav.samples.size(); at += window) {
        run = rms(wav.samples.mid(at, window)) < 150 ? run + 10 : 0;
        longest = qMax(longest, run);
    }
    return longest;
}

const SpeechVoice Voice{QStringLiteral("en"), 170, 50, 50, 100};

} // namespace

class TestSpeech : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!SpeechSynthesizer::available())
            QSKIP("espeak-ng has no speech data here");
    }

    void render_sentence_writesWavHoldingSpeech() {
        QTemporaryDir folder;
        const QString path = folder.filePath("speech.wav");
        const SpeechAudio audio = SpeechSynthesizer::render(
            QStringLiteral("Monitoring Started. All devices answered."), Voice);
        QVERIFY(audio.writeWav(path));

        const Wav wav = readWav(path);
        QCOMPARE(wav.sampleRate, audio.sampleRate);
        QVERIFY2(wav.seconds() > 1.0 && wav.seconds() < 6.0,
                 qPrintable(QString::number(wav.seconds())));
        QVERIFY2(rms(wav.samples) > 800, qPrintable(QString::number(rms(wav.samples))));
        QVERIFY2(voicedShare(wav) > 0.4, qPrintable(QString::number(voicedShare(wav))));
    }

    void render_pauseTag_lengthensSentenceByItsMilliseconds() {
        const QString plain = QStringLiteral("Port eighty on the router is closed");
        const QString paused = QStringLiteral("Port eighty \\pau=800\\on the router is closed");
        const qint64 added = SpeechSynthesizer::render(paused, Voice).durationMs() -
                             SpeechSynthesizer::render(plain, Voice).durationMs();
        QVERIFY2(qAbs(added - 800) <= 150, qPrintable(QStringLiteral("%1 ms added").arg(added)));
    }

    // Between sentences the tag's pause takes the place of the voice's own sentence pause.
    void render_pauseTag_holdsSilenceForItsMilliseconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("between sentences")
            << "The first device failed.\\pau=800\\ The second one too." << 800;
        QTest::newRow("inside a sentence")
            << "Port eighty \\pau=1200\\on the router is closed" << 1200;
    }
    void render_pauseTag_holdsSilenceForItsMilliseconds() {
        QFETCH(QString, text);
        QFETCH(int, pauseMs);
        QTemporaryDir folder;
        QVERIFY(SpeechSynthesizer::render(text, Voice).writeWav(folder.filePath("p.wav")));
        const int silence = longestSilenceMs(readWav(folder.filePath("p.wav")));
        QVERIFY2(qAbs(silence - pauseMs) <= 150,
                 qPrintable(QStringLiteral("%1 ms silent").arg(silence)));
    }

    void render_mapTag_speaksFirstAndShowsSecond() {
        const SpeechAudio audio = SpeechSynthesizer::render(
            QStringLiteral("Host \\map=\"ten \\pau=50\\ dot one\"=\"10.1\"\\ is down."), Voice);
        QCOMPARE(audio.shownText, QStringLiteral("Host 10.1 is down."));
        // The balloon's "10.1" appears whole, with the first word of its spoken half.
        QVERIFY(audio.shownAt(audio.durationMs() / 2) >= QStringLiteral("Host 10.1").size());
    }

    void render_marks_revealWholeTextInOrder() {
        const SpeechAudio audio = SpeechSynthesizer::render(
            QStringLiteral("One two three.\\pau=300\\ Four \\map=\"five\"=\"5\"\\ six."), Voice);
        QVERIFY(!audio.marks.isEmpty());
        qint64 lastMs = 0;
        for (const SpeechAudio::Mark& mark : audio.marks) {
            QVERIFY(mark.ms >= lastMs);
            lastMs = mark.ms;
        }
        QCOMPARE(audio.shownAt(0), 3); // "One" shows as the voice starts it
        const qsizetype midway = audio.shownAt(audio.durationMs() / 2);
        QVERIFY(midway > 0 && midway < audio.shownText.size());
        QCOMPARE(audio.shownAt(audio.durationMs()), audio.shownText.size());
        QVERIFY(audio.levelAt(audio.durationMs() / 4) >= 0);
    }

    void render_awkwardText_neverFails_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only tags") << "\\pau=100\\\\emp\\"
                                   << "";
        QTest::newRow("unmatched tags") << "Oops \\map=\"x\" and \\pau=3"
                                        << "Oops pau=3";
        QTest::newRow("line breaks") << "Line one\r\nLine two"
                                     << "Line one\r\nLine two";
    }
    void render_awkwardText_neverFails() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const SpeechAudio audio = SpeechSynthesizer::render(text, Voice);
        QCOMPARE(audio.shownText, shown);
        QCOMPARE(audio.shownAt(audio.durationMs()), shown.size());
    }

    void render_veryLongText_isSpokenWhole() {
        QString text;
        for (int i = 0; i < 60; ++i)
            text += QStringLiteral("Device %1 failed. ").arg(i);
        const SpeechAudio audio = SpeechSynthesizer::render(text, Voice);
        QCOMPARE(audio.shownText, text);
        QVERIFY(audio.durationMs() > 30000);
        QCOMPARE(audio.shownAt(audio.durationMs()), text.size());
    }

    void service_rendersInRequestOrder() {
        SpeechService service;
        QSignalSpy rendered(&service, &SpeechService::rendered);
        const quint64 first = service.request(QStringLiteral("First."), Voice);
        const quint64 second = service.request(QStringLiteral("Second."), Voice);
        QTRY_COMPARE_WITH_TIMEOUT(rendered.count(), 2, 20000);
        QCOMPARE(rendered.at(0).at(0).value<quint64>(), first);
        QCOMPARE(rendered.at(1).at(0).value<quint64>(), second);
        QCOMPARE(rendered.at(1).at(1).value<SpeechAudio>().shownText, QStringLiteral("Second."));
    }
};

ORVEX_TEST_GUILESS_MAIN(TestSpeech)
#include "tst_character_speech.moc"
