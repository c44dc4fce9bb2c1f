#include "character/AgentCharacter.h"
#include "character/AgentControl.h"
#include "character/BalloonStyle.h"
#include "character/CharacterWindow.h"
#include "character/SpeechService.h"
#include "character/SpeechSynthesizer.h"
#include "character/WordBalloon.h"
#include "MouseEvents.h"

#include "TestMain.h"

#include <memory>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>

namespace {
const QString Shipped = QStringLiteral(ORVEX_SOURCE_DIR "/data/characters");
constexpr int Long = 15000;

} // namespace

class TestAgent : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_agent = std::make_unique<AgentControl>();
        m_agent->setCharacterFolders({Shipped});
        m_character = m_agent->Load(QStringLiteral("Character"), QStringLiteral("robby.acs"));
    }
    void cleanup() {
        m_agent.reset();
        m_character = nullptr;
    }

    void requests_runOneAfterAnotherInOrder() {
        QSignalSpy started(m_character, &AgentCharacter::RequestStart);
        QSignalSpy completed(m_character, &AgentCharacter::RequestComplete);
        QList<quint32> made;
        made << m_character->MoveTo(40, 50) << m_character->Show()
             << m_character->Play(QStringLiteral("Explain"))
             << m_character->Speak(QStringLiteral("Hello."))
             << m_character->Play(QStringLiteral("Blink"));
        // Nothing has run yet: every request returned at once.
        QCOMPARE(started.count(), 0);
        QCOMPARE(m_character->pendingRequests().size(), 5);

        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 5, Long);
        QList<quint32> order;
        for (const auto& args : std::as_const(started))
            order << args.at(0).value<quint32>();
        QCOMPARE(order, made);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(completed.at(i).at(0).value<quint32>(), made.at(i));
        QVERIFY(m_character->Visible());
        QCOMPARE(QPoint(m_character->Left(), m_character->Top()), QPoint(40, 50));
        QVERIFY(!m_character->isBusy());
    }

    void play_unknownAnimation_isIgnoredAndQueueGoesOn() {
        m_character->Show();
        const quint32 unknown = m_character->Play(QStringLiteral("Moonwalk"));
        const quint32 next = m_character->Play(QStringLiteral("Pleased"));
        QSignalSpy completed(m_character, &AgentCharacter::RequestComplete);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(completed.count(), 3);
        QCOMPARE(completed.at(1).at(0).value<quint32>(), unknown);
        QCOMPARE(completed.at(2).at(0).value<quint32>(), next);
    }

    void moveTo_animatesWhenShownAndJumpsWhenHidden() {
        m_character->MoveTo(300, 200);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(QPoint(m_character->Left(), m_character->Top()), QPoint(300, 200));

        m_character->Show();
        m_character->MoveTo(10, 20);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_character->pendingRequests().value(0).kind == AgentRequest::Kind::MoveTo, Long);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(QPoint(m_character->Left(), m_character->Top()), QPoint(10, 20));
    }

    void hide_takesCharacterAndBalloonOffScreen() {
        m_character->Show();
        m_character->Speak(
            QStringLiteral("Going away now, with a few words to keep the balloon up."));
        QTRY_VERIFY_WITH_TIMEOUT(m_character->balloon()->isVisible(), Long);
        m_character->Hide();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QVERIFY(!m_character->Visible());
        QVERIFY(!m_character->balloon()->isVisible());
    }

    void speak_revealsWordsAsSpokenAndClosesMouth() {
        const QString text = QStringLiteral("One two three four five six seven eight nine ten.");
        m_character->Show();
        m_character->Speak(text);
        WordBalloon* balloon = m_character->balloon();
        QTRY_VERIFY_WITH_TIMEOUT(balloon->isVisible(), Long);
        QCOMPARE(balloon->text(), text);
        QTRY_VERIFY_WITH_TIMEOUT(
            !balloon->visibleText().isEmpty() && balloon->visibleText().size() < text.size(), Long);
        QTRY_VERIFY_WITH_TIMEOUT(m_character->window()->mouthOpen() > 0.05f, Long);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(balloon->visibleText(), text);
        QCOMPARE(m_character->window()->mouthOpen(), 0.0f);
    }

    void speak_awkwardText_isShownWithoutError_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("unmatched tags") << "Odd \\pau=12 tag"
                                        << "Odd pau=12 tag";
        QString longText;
        for (int i = 0; i < 40; ++i)
            longText += QStringLiteral("Item %1 of the router failed again. ").arg(i);
        QTest::newRow("very long") << longText << longText;
    }
    void speak_awkwardText_isShownWithoutError() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        m_character->Show();
        m_character->Speak(text);
        if (shown.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
            QVERIFY(!m_character->balloon()->isVisible());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_character->balloon()->text(), shown, Long);
        QVERIFY(m_character->balloon()->height() < 200); // long text scrolls instead of growing
        m_character->StopAll();
    }

    void balloonStyle_bitsChangeWhatIsShown_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("wholeTextAtOnce");
        QTest::addColumn<bool>("staysAfterSpeech");
        using namespace BalloonStyle;
        QTest::newRow("all on") << int(Default) << true << false << false;
        QTest::newRow("balloon off")
            << int(SizeToText | AutoHide | AutoPace) << false << false << false;
        QTest::newRow("no auto pace")
            << int(BalloonOn | SizeToText | AutoHide) << true << true << false;
        QTest::newRow("no auto hide")
            << int(BalloonOn | SizeToText | AutoPace) << true << false << true;
    }
    void balloonStyle_bitsChangeWhatIsShown() {
        QFETCH(int, style);
        QFETCH(bool, shown);
        QFETCH(bool, wholeTextAtOnce);
        QFETCH(bool, staysAfterSpeech);
        const QString text = QStringLiteral("Alpha beta gamma delta epsilon zeta eta theta.");
        m_character->setBalloonStyle(style);
        QCOMPARE(m_character->balloonStyle(), style);
        m_character->Show();
        m_character->Speak(text);
        WordBalloon* balloon = m_character->balloon();
        QTRY_VERIFY_WITH_TIMEOUT(m_character->pendingRequests().value(0).kind ==
                                         AgentRequest::Kind::Speak &&
                                     m_character->window()->mouthOpen() > 0,
                                 Long);
        QCOMPARE(balloon->isVisible(), shown);
        if (shown)
            QCOMPARE(balloon->visibleText() == text, wholeTextAtOnce);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        if (!shown)
            return;
        // Waits for the balloon to hide, for at most a second past its hiding delay.
        const bool hid =
            QTest::qWaitFor([&] { return !balloon->isVisible(); }, WordBalloon::HideDelayMs + 1000);
        QCOMPARE(hid, !staysAfterSpeech);
    }

    void balloonSizeToText_fitsShortTextOtherwiseFixed() {
        m_character->Show();
        m_character->Speak(QStringLiteral("Hi."));
        QTRY_VERIFY_WITH_TIMEOUT(m_character->balloon()->isVisible(), Long);
        const QSize fitted = m_character->balloon()->size();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        m_character->setBalloonStyle(BalloonStyle::Default & ~BalloonStyle::SizeToText);
        m_character->Speak(QStringLiteral("Hi."));
        QTRY_VERIFY_WITH_TIMEOUT(m_character->balloon()->isVisible(), Long);
        QVERIFY(m_character->balloon()->width() > fitted.width());
        QVERIFY(m_character->balloon()->height() > fitted.height());
    }

    // A modal dialog over the balloon puts the character and its balloon aside until it closes.
    void modalDialog_overTheBalloon_putsCharacterAsideUntilItCloses() {
        // Without auto hide the balloon stays after the words, whatever their pace.
        m_character->setBalloonStyle(BalloonStyle::BalloonOn | BalloonStyle::AutoPace);
        m_character->Show();
        m_character->Speak(QStringLiteral("Words."));
        WordBalloon* balloon = m_character->balloon();
        QTRY_VERIFY_WITH_TIMEOUT(balloon->isVisible(), Long);
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setGeometry(QRect(balloon->geometry().center(), QSize(50, 30)));
        dialog.show();
        QTRY_VERIFY(!m_character->window()->isVisible() && !balloon->isVisible());
        dialog.close();
        QTRY_VERIFY(m_character->window()->isVisible() && balloon->isVisible());
    }

    void drag_movesCharacterAndReportsWhereItWasLeft() {
        m_character->MoveTo(100, 100);
        m_character->Show();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QSignalSpy dragged(m_character, &AgentCharacter::DragComplete);
        QWidget* window = m_character->window();
        const QPoint grab(150, 160);
        sendMouse(window, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseMove, grab + QPoint(100, 20), Qt::NoButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseMove, grab + QPoint(200, 100), Qt::NoButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseButtonRelease, grab + QPoint(200, 100), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(dragged.count(), 1);
        QCOMPARE(dragged.at(0).at(0).toInt(), 300);
        QCOMPARE(dragged.at(0).at(1).toInt(), 200);
        QCOMPARE(QPoint(m_character->Left(), m_character->Top()), QPoint(300, 200));
    }

    void click_withoutDragging_reportsNoDrag() {
        m_character->Show();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QSignalSpy dragged(m_character, &AgentCharacter::DragComplete);
        QWidget* window = m_character->window();
        const QPoint at = window->pos() + QPoint(50, 50);
        sendMouse(window, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseButtonRelease, at + QPoint(1, 0), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(dragged.count(), 0);
    }

    void commandMenu_offersVisibleCommandsAndRaisesTheChosenOne() {
        AgentCommands& commands = m_character->Commands();
        commands.setCaption(QStringLiteral("Caption"));
        commands.add(QStringLiteral("Monitoring On"), QStringLiteral("Monitoring &On"),
                     QStringLiteral("(Monitoring On|On)"), true);
        commands.add(QStringLiteral("Monitoring Off"), QStringLiteral("Monitoring O&ff"),
                     QStringLiteral("(Monitoring Off|Off)"), false);
        commands.add(QStringLiteral("Restore"), QStringLiteral("&Restore Program"), {}, true);
        commands.setVisible(QStringLiteral("restore"), false);
        QCOMPARE(commands.command(QStringLiteral("MONITORING OFF"))->voice,
                 QStringLiteral("(Monitoring Off|Off)"));

        std::unique_ptr<QMenu> menu(m_character->window()->createCommandMenu());
        QStringList captions;
        QList<bool> enabled;
        QAction* on = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().isEmpty())
                continue;
            captions << action->text();
            enabled << action->isEnabled();
            if (action->text() == QLatin1String("Monitoring &On"))
                on = action;
        }
        QCOMPARE(captions, (QStringList{"Caption", "Monitoring &On", "Monitoring O&ff", "&Hide"}));
        QCOMPARE(enabled.mid(1), (QList<bool>{true, false, true}));

        QSignalSpy chosen(m_character, &AgentCharacter::Command);
        QVERIFY(on);
        on->trigger();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("Monitoring On"));
    }

    void idleStart_comesOnceAfterQuietSpellWhileShown() {
        QSignalSpy idle(m_character, &AgentCharacter::IdleStart);
        m_character->setIdleTimeout(200);
        QVERIFY(!idle.wait(400)); // hidden characters have no idle time

        m_character->Show();
        QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 1, Long);
        QVERIFY(!idle.wait(600));
        QCOMPARE(idle.count(), 1);

        m_character->Play(QStringLiteral("Blink"));
        QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 2, Long);
    }

    void unload_fromInsideItsOwnEvent_isSafe() {
        QPointer<AgentCharacter> watched(m_character);
        connect(m_character, &AgentCharacter::Command, this,
                [this] { m_agent->Unload(QStringLiteral("Character")); });
        m_character->Show();
        m_character->Speak(QStringLiteral("Still talking when it goes."));
        emit m_character->Command(QStringLiteral("Anything"));
        QVERIFY(!m_agent->contains(QStringLiteral("Character")));
        QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), Long);
    }

    // Speech waiting its turn holds only its text: each utterance is rendered when it starts.
    void speak_rendersEachUtteranceWhenItsTurnComes() {
        auto* service = m_agent->findChild<SpeechService*>();
        QVERIFY(service);
        QSignalSpy rendered(service, &SpeechService::rendered);
        QList<qsizetype> renderedAtStart;
        QList<quint32> speeches;
        connect(m_character, &AgentCharacter::RequestStart, this, [&](quint32 id) {
            if (speeches.contains(id))
                renderedAtStart << rendered.count();
        });
        m_character->Show();
        speeches << m_character->Speak(QStringLiteral("First words."))
                 << m_character->Speak(QStringLiteral("Second words."))
                 << m_character->Speak(QStringLiteral("Third words."));
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(renderedAtStart, (QList<qsizetype>{0, 1, 2}));
        QCOMPARE(rendered.count(), 3);
    }

    // A long announcement is voiced phrase by phrase: what is held at any moment is the audio
    // still ahead, never the whole recording, and the balloon still shows every word.
    void speak_longAnnouncement_holdsOnlyTheAudioStillAhead() {
        QString text = QStringLiteral("There was a problem connecting to the following devices:  ");
        for (int i = 1; i <= 8; ++i)
            text +=
                QStringLiteral("\\map=\"10 dot %1\"=\"10.%1\"\\ port 80 failed.\\pau=800\\").arg(i);
        const SpeechAudio whole = SpeechSynthesizer::render(text, m_character->definition().voice);
        qsizetype mostHeld = 0;
        connect(&m_character->speechPlayer(), &SpeechPlayer::progressed, this,
                [&] { mostHeld = qMax(mostHeld, m_character->speechPlayer().heldSamples()); });
        m_character->Show();
        m_character->Speak(text);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), 4 * Long);
        QCOMPARE(m_character->balloon()->visibleText(), whole.shownText);
        const qint64 heldMs = qint64(mostHeld) * 1000 / whole.sampleRate;
        QVERIFY2(
            mostHeld > 0 && heldMs < whole.durationMs() / 2,
            qPrintable(QStringLiteral("%1 of %2 ms held").arg(heldMs).arg(whole.durationMs())));
    }

    void drag_sendsMovesQueuedBeforeItWhereTheCharacterWasPut_data() {
        QTest::addColumn<bool>("duringMove");
        QTest::newRow("moves waiting behind an animation") << false;
        QTest::newRow("a move under way") << true;
    }
    void drag_sendsMovesQueuedBeforeItWhereTheCharacterWasPut() {
        QFETCH(bool, duringMove);
        m_character->MoveTo(100, 100);
        m_character->Show();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QSignalSpy started(m_character, &AgentCharacter::RequestStart);
        if (duringMove)
            m_character->MoveTo(700, 500);
        else
            m_character->Play(QStringLiteral("Explain"));
        m_character->MoveTo(20, 30);
        m_character->Speak(QStringLiteral("Hi."));
        m_character->MoveTo(40, 50);
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, Long);
        if (duringMove)
            QTRY_VERIFY_WITH_TIMEOUT(m_character->window()->pos() != QPoint(100, 100), Long);

        QWidget* window = m_character->window();
        const QPoint grab = window->pos() + QPoint(40, 40);
        const QPoint put(300, 200);
        sendMouse(window, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseMove, put + QPoint(40, 40), Qt::NoButton, Qt::LeftButton);
        sendMouse(window, QEvent::MouseButtonRelease, put + QPoint(40, 40), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(window->pos(), put);

        QTRY_VERIFY_WITH_TIMEOUT(!m_character->isBusy(), Long);
        QCOMPARE(QPoint(m_character->Left(), m_character->Top()), put);
    }

private:
    std::unique_ptr<AgentControl> m_agent;
    AgentCharacter* m_character = nullptr;
};

ORVEX_TEST_MAIN(TestAgent)
#include "tst_character_agent.moc"
