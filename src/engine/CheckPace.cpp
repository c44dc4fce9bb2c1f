#include "engine/CheckPace.h"

#include "core/EventPause.h"

namespace {
constexpr qint64 NanosecondsPerMillisecond = 1000000;
}

CheckPace::CheckPace(int milliseconds)
    : CheckPace(milliseconds, Rest::Exact) {}

CheckPace::CheckPace(int milliseconds, Rest rest)
    : m_interval(milliseconds * NanosecondsPerMillisecond)
    , m_rest(rest) {
    restart();
}

void CheckPace::restart() {
    m_clock.start();
    m_due = m_interval;
}

void CheckPace::waitForLook() {
    const qint64 remaining = m_due - m_clock.nsecsElapsed();
    if (m_rest == Rest::Idle && remaining > 0)
        EventPause::pause(
            int((remaining + NanosecondsPerMillisecond - 1) / NanosecondsPerMillisecond));
    else if (remaining >= NanosecondsPerMillisecond)
        EventPause::pause(int(remaining / NanosecondsPerMillisecond));
    // A timer counts whole milliseconds; the rest of the last one passes with events running.
    while (m_clock.nsecsElapsed() < m_due)
        EventPause::letEventsRun();
    m_due = m_clock.nsecsElapsed() + m_interval;
}
