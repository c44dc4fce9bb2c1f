#include "character/CharacterWindow.h"

#include "character/AgentCommands.h"
#include "character/AnimationPlayer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>

namespace {
constexpr int ShapeAlpha = 110;
}

CharacterWindow::CharacterWindow(const CharacterDefinition& definition,
                                 const AnimationPlayer& player, const AgentCommands& commands,
                                 QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::NoDropShadowWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_player(player)
    , m_commands(commands)
    , m_renderer(definition) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(definition.name);
    setFixedSize(definition.size);
    connect(&player, &AnimationPlayer::frame, this, &CharacterWindow::renderFrame);
}

void CharacterWindow::renderFrame() {
    const double ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_frame.size() != pixels) {
        m_frame = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_frame.setDevicePixelRatio(ratio);
    }
    m_frame.fill(Qt::transparent);
    {
        QPainter painter(&m_frame);
        m_renderer.setScale(ratio);
        m_renderer.paint(
            painter,
            [this](const QString& layer, const LayerPose& rest) {
                return m_player.pose(layer, rest);
            },
            m_mouth);
    }

    // The solid part of the picture, in runs per row. Faint pixels (the soft shadow, the outer
    // edge of anti-aliasing) stay outside: a desktop that cannot blend would show them dark.
    QRegion shape;
    for (int y = 0; y < m_frame.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m_frame.constScanLine(y));
        for (int x = 0; x < m_frame.width();) {
            if (qAlpha(row[x]) < ShapeAlpha) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < m_frame.width() && qAlpha(row[x]) >= ShapeAlpha)
                ++x;
            shape += QRect(QPoint(int(start / ratio), int(y / ratio)),
                           QPoint(int((x - 1) / ratio), int(y / ratio)));
        }
    }
    if (shape != m_shape) {
        m_shape = shape;
        setMask(m_shape.isEmpty() ? QRegion(0, 0, 1, 1) : m_shape);
    }
    update();
}

void CharacterWindow::showEvent(QShowEvent* event) {
    renderFrame();
    QWidget::showEvent(event);
}

void CharacterWindow::setMouthOpen(float level) {
    if (qFuzzyCompare(1 + level, 1 + m_mouth))
        return;
    m_mouth = level;
    renderFrame();
}

QMenu* CharacterWindow::createCommandMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    if (!m_commands.caption().isEmpty())
        menu->addSection(m_commands.caption());
    for (const AgentCommand& command : m_commands.all()) {
        if (!command.visible)
            continue;
        QAction* action =
            menu->addAction(command.caption.isEmpty() ? command.name : command.caption);
        action->setEnabled(command.enabled);
        const QString name = command.name;
        connect(action, &QAction::triggered, this, [this, name] { emit commandChosen(name); });
    }
    if (!menu->isEmpty())
        menu->addSeparator();
    QAction* hide = menu->addAction(tr("&Hide"));
    connect(hide, &QAction::triggered, this, &CharacterWindow::hideChosen);
    return menu;
}

void CharacterWindow::paintEvent(QPaintEvent*) {
    if (m_frame.isNull())
        renderFrame();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_frame);
}

void CharacterWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    m_dragging = false;
    m_pressedAt = event->globalPosition().toPoint();
    m_grab = m_pressedAt - pos();
    event->accept();
}

void CharacterWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    const QPoint global = event->globalPosition().toPoint();
    if (!m_dragging && (global - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    move(global - m_grab);
    event->accept();
}

void CharacterWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        emit dragComplete(pos());
    }
    event->accept();
}

void CharacterWindow::contextMenuEvent(QContextMenuEvent* event) {
    QPointer<QMenu> menu = createCommandMenu(this);
    menu->exec(event->globalPos());
    delete menu.data();
    event->accept();
}
