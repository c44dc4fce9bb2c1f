#pragma once

#include <QString>

// What the engine shows in the main window. The window's engine face implements it;
// the engine never includes a widget header.
class EngineView {
public:
    virtual ~EngineView() = default;
    // Panel 1 (progress and countdown) or panel 2 (monitoring state) of the status bar.
    virtual void setStatusPanel(int panel, const QString& text) = 0;
    // Shows text on the device tree node with the given key.
    virtual void setDeviceNodeText(const QString& key, const QString& text) = 0;
};
