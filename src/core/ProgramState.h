#pragma once

#include <QString>

// The program-wide state that several layers share. One instance lives in the AppContext.
struct ProgramState {
    QString DatabasePath;
    QString SpeechText;
    bool MonitoringOn = false;
    qint16 MinutesLeft = 0;
    qint16 StartupComplete = 0;
    // A check cycle is running; the refresh commands wait for it to end.
    bool CheckInProgress = false;
};
