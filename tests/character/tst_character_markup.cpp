#include "character/SpeechMarkup.h"

#include "TestMain.h"

Q_DECLARE_METATYPE(QList<SpeechSegment>)

namespace {
SpeechSegment words(const QString& text) {
    return {text, text, 0, false};
}
SpeechSegment pause(int ms) {
    return {{}, {}, ms, false};
}
// A pause between two words, shown as a space.
SpeechSegment spaced(int ms) {
    return {{}, QStringLiteral(" "), ms, false};
}
SpeechSegment mapped(const QString& spoken, const QString& shown) {
    return {spoken, shown, 0, true};
}
} // namespace

class TestMarkup : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<SpeechSegment>>("segments");

        QTest::newRow("plain") << "Monitoring Started." << QList{words("Monitoring Started.")};
        QTest::newRow("empty") << "" << QList<SpeechSegment>{};
        QTest::newRow("pause") << "One.\\pau=800\\Two."
                               << QList{words("One."), spaced(800), words("Two.")};
        QTest::newRow("pause beside a blank")
            << "One. \\pau=800\\Two.\\pau=800\\ Three."
            << QList{words("One. "), pause(800), words("Two."), pause(800), words(" Three.")};
        QTest::newRow("pause after a map")
            << "\\map=\"a\"=\"A\"\\\\pau=5\\b" << QList{mapped("a", "A"), spaced(5), words("b")};
        QTest::newRow("pause tag in any case") << "A\\Pau=20\\" << QList{words("A"), pause(20)};
        QTest::newRow("pauses in a row add up")
            << "\\pau=50\\\\pau=25\\x" << QList{pause(75), words("x")};
        QTest::newRow("map") << "Host \\map=\"ten\"=\"10\"\\ is down"
                             << QList{words("Host "), mapped("ten", "10"), words(" is down")};
        QTest::newRow("map with pauses in its spoken half")
            << "\\map=\"10\\pau=50\\ dot \\pau=25\\1\"=\"10.1\"\\."
            << QList{mapped("10", "10.1"), pause(50), mapped(" dot ", ""), pause(25),
                     mapped("1", ""),      words(".")};
        QTest::newRow("other tags dropped")
            << "\\Chr=\"Whisper\"\\Quiet\\emp\\ now" << QList{words("Quiet now")};
        QTest::newRow("unmatched backslash keeps the words")
            << "Path C:\\temp is full" << QList{words("Path C:temp is full")};
        QTest::newRow("unclosed map") << "\\map=\"a\"=\"b" << QList{words("map=\"a\"=\"b")};
        QTest::newRow("pause without number is dropped") << "a\\pau=\\b" << QList{words("ab")};
        QTest::newRow("huge pause is bounded") << "\\pau=999999999\\" << QList{pause(60000)};
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(QList<SpeechSegment>, segments);
        QCOMPARE(SpeechMarkup::parse(text), segments);
    }

    void shownText_joinsShownHalves() {
        const auto segments = SpeechMarkup::parse(
            "Ping \\map=\"1\\pau=50\\ dot \\pau=25\\2\"=\"1.2\"\\\\pau=800\\ failed.");
        QCOMPARE(SpeechMarkup::shownText(segments), QStringLiteral("Ping 1.2 failed."));
    }

    // Phrases end after long pauses only; joined again they are the whole speech.
    void phrases_splitAfterLongPauses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no pause") << "One sentence." << QStringList{"One sentence."};
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("short pauses in an address")
            << "\\map=\"10\\pau=50\\ dot \\pau=25\\1\"=\"10.1\"\\ failed."
            << QStringList{"10.1 failed."};
        QTest::newRow("one phrase per failure")
            << "Problems:  A failed.\\pau=800\\B failed.\\pau=800\\"
            << QStringList{"Problems:  A failed. ", "B failed."};
        QTest::newRow("at the threshold") << "A.\\pau=500\\B." << QStringList{"A. ", "B."};
        QTest::newRow("below the threshold") << "A.\\pau=499\\B." << QStringList{"A. B."};
    }
    void phrases_splitAfterLongPauses() {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        const QList<SpeechSegment> segments = SpeechMarkup::parse(text);
        QStringList phraseTexts;
        QList<SpeechSegment> joined;
        for (const QList<SpeechSegment>& phrase : SpeechMarkup::phrases(segments)) {
            phraseTexts << SpeechMarkup::shownText(phrase);
            joined += phrase;
        }
        QCOMPARE(phraseTexts, shown);
        QCOMPARE(joined, segments);
    }
};

ORVEX_TEST_GUILESS_MAIN(TestMarkup)
#include "tst_character_markup.moc"
