#include "character/AgentCharacter.h"

#include "character/CharacterWindow.h"
#include "character/SpeechService.h"
#include "character/WordBalloon.h"

#include <cmath>
#include <QApplication>
#include <QRandomGenerator>
#include <QVariantAnimation>

namespace {
constexpr int GestureMinMs = 4000;
constexpr int GestureMaxMs = 9000;
constexpr int MoveMinMs = 250;
constexpr int MoveMaxMs = 1200;
} // namespace

AgentCharacter::AgentCharacter(const QString& id, CharacterDefinition definition,
                               SpeechService& speech, QObject* parent)
    : QObject(parent)
    , m_id(id)
    , m_definition(std::move(definition))
    , m_speech(speech)
    , m_window(std::make_unique<CharacterWindow>(m_definition, m_player, m_commands))
    , m_balloon(std::make_unique<WordBalloon>()) {
    connect(&m_speech, &SpeechService::rendered, this, &AgentCharacter::onRendered);
    connect(&m_player, &AnimationPlayer::finished, this, &AgentCharacter::onAnimationFinished);
    connect(&m_speechPlayer, &SpeechPlayer::progressed, this, [this](qsizetype shown, float level) {
        m_window->setMouthOpen(level);
        const qsizetype length = m_balloon->text().size();
        m_balloon->progress(shown, length > 0 ? double(shown) / double(length) : 1.0);
    });
    connect(&m_speechPlayer, &SpeechPlayer::wantsMore, this, &AgentCharacter::renderNextPhrase);
    connect(&m_speechPlayer, &SpeechPlayer::finished, this, [this] {
        m_player.stop();
        m_window->setMouthOpen(0);
        m_balloon->end();
        complete();
    });
    connect(m_window.get(), &CharacterWindow::dragComplete, this, [this](QPoint topLeft) {
        m_balloon->dismiss();
        followDrag(topLeft);
        emit DragComplete(topLeft.x(), topLeft.y());
    });
    connect(m_window.get(), &CharacterWindow::commandChosen, this, &AgentCharacter::Command);
    connect(m_window.get(), &CharacterWindow::hideChosen, this, [this] { Hide(); });

    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        m_idle = true;
        emit IdleStart();
    });
    m_gestureTimer.setSingleShot(true);
    connect(&m_gestureTimer, &QTimer::timeout, this, &AgentCharacter::idleGesture);

    // Windows come, go and move in bursts; one look after the burst is enough.
    m_asideCheck.setSingleShot(true);
    m_asideCheck.setInterval(0);
    connect(&m_asideCheck, &QTimer::timeout, this, &AgentCharacter::updateAside);
    QCoreApplication::instance()->installEventFilter(this);
}

AgentCharacter::~AgentCharacter() {
    // The windows, going after this body, send events the filter must no longer see.
    QCoreApplication::instance()->removeEventFilter(this);
    m_idleTimer.stop();
    m_gestureTimer.stop();
    m_speechPlayer.stop();
    disconnect(&m_player, nullptr, this, nullptr);
    m_player.stop();
}

quint32 AgentCharacter::Show() {
    return enqueue({0, AgentRequest::Kind::Show, {}, {}});
}

quint32 AgentCharacter::Hide() {
    return enqueue({0, AgentRequest::Kind::Hide, {}, {}});
}

quint32 AgentCharacter::Play(const QString& animation) {
    return enqueue({0, AgentRequest::Kind::Play, animation, {}});
}

quint32 AgentCharacter::Speak(const QString& text) {
    return enqueue({0, AgentRequest::Kind::Speak, text, {}});
}

quint32 AgentCharacter::MoveTo(int x, int y) {
    return enqueue({0, AgentRequest::Kind::MoveTo, {}, QPoint(x, y)});
}

void AgentCharacter::StopAll() {
    m_queue.clear();
}

void AgentCharacter::Stop(const QList<quint32>& ids) {
    m_queue.removeIf([&ids](const AgentRequest& request) { return ids.contains(request.id); });
}

void AgentCharacter::hush() {
    StopAll();
    m_speechPlayer.stop();
    m_phrases.clear();
    m_awaitedTicket = 0;
    m_balloon->dismiss();
    m_window->setMouthOpen(0);
    if (m_running && m_current.kind == AgentRequest::Kind::Speak) {
        m_player.stop();
        complete();
    }
}

void AgentCharacter::retire() {
    StopAll();
    leaveIdle();
    m_speechPlayer.stop();
    m_phrases.clear();
    m_awaitedTicket = 0;
    if (m_move)
        m_move->stop();
    m_running = false;
    m_balloon->dismiss();
    m_present = false;
    m_window->hide();
    m_idleTimer.stop();
    m_gestureTimer.stop();
}

int AgentCharacter::Left() const {
    return m_window->x();
}

int AgentCharacter::Top() const {
    return m_window->y();
}

bool AgentCharacter::Visible() const {
    return m_present;
}

bool AgentCharacter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            m_asideCheck.start();
        break;
    default:
        break;
    }
    return false;
}

bool AgentCharacter::underModalDialog() const {
    if (!m_present)
        return false;
    const QRect character = m_window->frameGeometry();
    const QRect balloon = m_balloon->isOpen() ? m_balloon->frameGeometry() : QRect();
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || !window->isModal())
            continue;
        const QRect dialog = window->frameGeometry();
        if (dialog.intersects(character) || dialog.intersects(balloon))
            return true;
    }
    return false;
}

// Idempotent: it follows the windows as they are, whatever changed.
void AgentCharacter::updateAside() {
    m_aside = underModalDialog();
    // A character not shown stays hidden; one playing its Hiding animation is still shown.
    if (m_present)
        m_window->setVisible(!m_aside);
    m_balloon->setAside(m_aside);
}

int AgentCharacter::balloonStyle() const {
    return m_balloon->style();
}

void AgentCharacter::setBalloonStyle(int style) {
    m_balloon->setStyle(style);
}

void AgentCharacter::setBalloonEnabled(bool enabled) {
    m_balloonEnabled = enabled;
    if (!enabled)
        m_balloon->dismiss();
}

QList<AgentRequest> AgentCharacter::pendingRequests() const {
    QList<AgentRequest> requests;
    if (m_running)
        requests.append(m_current);
    requests.append(m_queue);
    return requests;
}

void AgentCharacter::setIdleTimeout(int ms) {
    m_idleTimeoutMs = qMax(0, ms);
    if (m_idleTimer.isActive())
        m_idleTimer.start(m_idleTimeoutMs);
}

quint32 AgentCharacter::enqueue(AgentRequest request) {
    request.id = m_nextId++;
    leaveIdle();
    m_queue.enqueue(request);
    scheduleNext();
    return request.id;
}

void AgentCharacter::scheduleNext() {
    if (m_nextScheduled)
        return;
    m_nextScheduled = true;
    QMetaObject::invokeMethod(this, &AgentCharacter::runNext, Qt::QueuedConnection);
}

void AgentCharacter::runNext() {
    m_nextScheduled = false;
    if (m_running)
        return;
    if (m_queue.isEmpty()) {
        enterIdle();
        return;
    }
    m_current = m_queue.dequeue();
    m_running = true;
    emit RequestStart(m_current.id);
    start(m_current);
}

void AgentCharacter::start(const AgentRequest& request) {
    using Kind = AgentRequest::Kind;
    switch (request.kind) {
    case Kind::Show:
        if (m_present)
            return complete();
        m_present = true;
        updateAside();
        if (m_aside)
            return complete();
        m_waitingForAnimation = true;
        m_player.play(*m_definition.animation(QStringLiteral("Showing")));
        return;
    case Kind::Hide:
        m_balloon->dismiss();
        if (!m_window->isVisible()) {
            m_present = false;
            return complete();
        }
        m_waitingForAnimation = true;
        m_player.play(*m_definition.animation(QStringLiteral("Hiding")));
        return;
    case Kind::Play: {
        const CharacterAnimation* animation = m_definition.animation(request.text);
        if (!animation || !m_window->isVisible())
            return complete();
        m_waitingForAnimation = true;
        m_player.play(*animation);
        return;
    }
    case Kind::Speak:
        m_phrases = SpeechMarkup::phrases(SpeechMarkup::parse(request.text));
        m_nextPhrase = 0;
        m_awaitedTicket = 0;
        return renderNextPhrase();
    case Kind::MoveTo: {
        const QPoint from = m_window->pos();
        const QPoint to = request.position;
        if (!m_window->isVisible() || from == to) {
            m_window->move(to);
            // Moved while aside, it may have left the dialog's way.
            updateAside();
            return complete();
        }
        m_balloon->dismiss();
        const double distance = std::hypot(to.x() - from.x(), to.y() - from.y());
        m_move = new QVariantAnimation(this);
        m_move->setStartValue(from);
        m_move->setEndValue(to);
        m_move->setDuration(qBound(MoveMinMs, int(distance * 1.2), MoveMaxMs));
        m_move->setEasingCurve(QEasingCurve::InOutCubic);
        connect(m_move, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { m_window->move(value.toPoint()); });
        connect(m_move, &QVariantAnimation::finished, this, [this, to] {
            m_window->move(to);
            m_move->deleteLater();
            m_move = nullptr;
            complete();
        });
        m_move->start();
        return;
    }
    }
}

void AgentCharacter::complete() {
    if (!m_running)
        return;
    m_running = false;
    m_waitingForAnimation = false;
    emit RequestComplete(m_current.id);
    scheduleNext();
}

void AgentCharacter::renderNextPhrase() {
    if (m_awaitedTicket != 0 || m_nextPhrase >= m_phrases.size())
        return;
    m_awaitedTicket = m_speech.request(m_phrases.at(m_nextPhrase++), m_definition.voice);
}

void AgentCharacter::onRendered(quint64 ticket, const SpeechAudio& audio) {
    // A rendering for a request that was stopped meanwhile is let go.
    if (!m_running || m_current.kind != AgentRequest::Kind::Speak || ticket != m_awaitedTicket)
        return;
    m_awaitedTicket = 0;
    if (m_nextPhrase == 1) {
        QString shown;
        for (const QList<SpeechSegment>& phrase : std::as_const(m_phrases))
            shown += SpeechMarkup::shownText(phrase);
        // Off the screen until its place is known; then shown unless a dialog is over it.
        m_balloon->setAside(true);
        if (m_balloonEnabled && m_present && m_balloon->begin(shown))
            m_balloon->placeBeside(m_window->geometry());
        updateAside();
        // A character may move a little while it talks.
        if (const CharacterAnimation* talking = m_definition.animation(QStringLiteral("Speaking"));
            talking && audio.durationMs() > 0)
            m_player.play(*talking, true);
        m_speechPlayer.begin();
    }
    m_speechPlayer.append(audio);
    if (m_nextPhrase >= m_phrases.size())
        m_speechPlayer.close();
}

// Moves still waiting were asked for before the user put the character somewhere else; they
// go where it was put. A move under way when the drag ends stops there.
void AgentCharacter::followDrag(QPoint topLeft) {
    for (AgentRequest& request : m_queue) {
        if (request.kind == AgentRequest::Kind::MoveTo)
            request.position = topLeft;
    }
    if (m_running && m_current.kind == AgentRequest::Kind::MoveTo && m_move) {
        m_move->stop();
        m_move->deleteLater();
        m_move = nullptr;
        m_window->move(topLeft);
        complete();
    }
}

void AgentCharacter::onAnimationFinished() {
    if (m_gesturing) {
        m_gesturing = false;
        if (!isBusy() && m_window->isVisible())
            m_gestureTimer.start(QRandomGenerator::global()->bounded(GestureMinMs, GestureMaxMs));
        return;
    }
    if (!m_running || !m_waitingForAnimation)
        return;
    if (m_current.kind == AgentRequest::Kind::Hide) {
        m_present = false;
        m_window->hide();
    }
    complete();
}

// A hidden character has no idle life: no timers run until it is shown again.
void AgentCharacter::enterIdle() {
    if (m_idle || m_idleTimer.isActive() || !m_present)
        return;
    m_idleTimer.start(m_idleTimeoutMs);
    m_gestureTimer.start(QRandomGenerator::global()->bounded(GestureMinMs, GestureMaxMs));
}

void AgentCharacter::leaveIdle() {
    m_idle = false;
    m_idleTimer.stop();
    m_gestureTimer.stop();
    if (m_gesturing) {
        m_gesturing = false;
        m_player.stop();
    }
}

void AgentCharacter::idleGesture() {
    if (isBusy() || !m_window->isVisible())
        return;
    // Mostly blinks; now and then a longer fidget.
    const bool fidget = QRandomGenerator::global()->bounded(4) == 0;
    m_gesturing = true;
    m_player.play(
        *m_definition.animation(fidget ? QStringLiteral("Idle") : QStringLiteral("Blink")));
}
