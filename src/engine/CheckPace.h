#pragma once

#include <QElapsedTimer>

// Paces the looks for a free ping control or connect element. Each look comes one pause
// after the previous look began, so the work done in between (the assignment, its status text
// and the repaint) is part of the pause instead of being added to it. Looks, and the
// assignments that follow them, stay at least one pause apart.
class CheckPace final {
public:
    explicit CheckPace(int milliseconds);
    // Idle: the pause rounds up to the next whole millisecond instead of passing the rest of
    // the last one with events running, so a short pace keeps the processor idle at the cost
    // of up to a millisecond more between looks.
    enum class Rest { Exact, Idle };
    CheckPace(int milliseconds, Rest rest);

    // A pass begins: its first look comes one pause from now.
    void restart();
    // Lets events run until the next look is due; the pause after it counts from now.
    void waitForLook();

private:
    const qint64 m_interval; // nanoseconds
    const Rest m_rest = Rest::Exact;
    QElapsedTimer m_clock;
    qint64 m_due = 0;
};
