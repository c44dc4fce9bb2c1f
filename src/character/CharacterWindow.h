#pragma once

#include "character/CharacterRenderer.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

class AgentCommands;
class AnimationPlayer;
class QMenu;

// The character on the desktop: a frameless, see-through, always-on-top window that draws the
// current animation frame. It can be dragged with the left button and offers the command set
// on the right button.
class CharacterWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CharacterWindow)
public:
    CharacterWindow(const CharacterDefinition& definition, const AnimationPlayer& player,
                    const AgentCommands& commands, QWidget* parent = nullptr);

    void setMouthOpen(float level);
    float mouthOpen() const { return m_mouth; }

    // The pop-up menu as the right button shows it; the caller owns it.
    QMenu* createCommandMenu(QWidget* parent = nullptr);

    static constexpr const char* HideCommand = "Hide";

signals:
    void dragComplete(QPoint topLeft);
    void commandChosen(const QString& name);
    void hideChosen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    void showEvent(QShowEvent* event) override;

private:
    // Draws the current pose into m_frame and shapes the window to it, so the desktop shows
    // through and takes the clicks around the character even without a compositor.
    void renderFrame();

    const AnimationPlayer& m_player;
    const AgentCommands& m_commands;
    CharacterRenderer m_renderer;
    float m_mouth = 0;
    QImage m_frame;
    QRegion m_shape;
    QPoint m_grab;
    QPoint m_pressedAt;
    bool m_pressed = false;
    bool m_dragging = false;
};
