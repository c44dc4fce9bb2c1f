#pragma once

#include <QWidget>

// The invisible grab area between the tree and the right pane. It reports the pointer's
// position relative to its own left edge; the window decides what moves.
class SplitterGrip final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplitterGrip)

public:
    explicit SplitterGrip(QWidget* parent = nullptr);

signals:
    void pressed();
    void moved(int x);
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
