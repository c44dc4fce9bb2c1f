#pragma once

// Waits inside a routine keep the event loop running: the window repaints, menus answer and
// socket, ping, timer and mail events arrive during the wait. Never a blocking sleep.
namespace EventPause {
// Lets pending events run once.
void letEventsRun();
// Pauses for the given milliseconds while events run.
void pause(int milliseconds);
} // namespace EventPause
