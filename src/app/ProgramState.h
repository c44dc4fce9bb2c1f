#pragma once

#include <QString>

// The program-wide state that several layers share. One instance lives in the AppContext.
struct ProgramState {
    QString DatabasePath;
    QString SpeechText;
    bool MonitoringOn = false;
    qint16 MinutesLeft = 0;
    qint16 StartupComplete = 0;
    // Key of the selected tree node while a wizard or properties dialog is open.
    QString SelectedKey;
};
