#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

// The text panels of the status bar (1: progress and countdown, 2: monitoring state). A check
// pass may set a text every few milliseconds, and each shown text costs a re-layout and a
// repaint of the bar. So a panel shows a text at once only when it has shown none for a frame
// (40 ms); a text set within that time waits for the frame's end, and only the last one that
// waited is shown then. text() is always the last text set.
class StatusPanels final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusPanels)

public:
    static constexpr int FrameMilliseconds = 40;

    // The labels are the window's; the panels only set their text and tip.
    StatusPanels(QLabel* panel1, QLabel* panel2, QObject* parent);

    void setText(int panel, const QString& text);
    QString text(int panel) const;

    // A box for the bar to lay out in the panel's place; the label fills it. A label in the
    // bar's own layout has the whole bar laid out again at each new text, as its size hint
    // follows the text; in the box only the label is repainted.
    QWidget* box(int panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Panel {
        QLabel* label = nullptr;
        QTimer* frame = nullptr;
        QWidget* box = nullptr;
        QString text;
        bool waiting = false;
    };

    Panel* find(int panel);
    void show(Panel& panel);
    void frameEnded(Panel& panel);

    Panel m_panels[2];
};
