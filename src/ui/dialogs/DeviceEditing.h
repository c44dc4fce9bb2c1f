#pragma once

#include <QString>

class AppContext;
class Database;
class QWidget;
class ResultRecording;

// What the device wizards and properties dialogs change in the main window: the nodes of the
// device tree and the detail list. The main window layer implements it, so the dialogs never
// include a header of the layer above them.
class DeviceWindow {
public:
    virtual ~DeviceWindow() = default;
    // The window that owns the wizards and dialogs.
    virtual QWidget* ownerWindow() const = 0;
    // True when some node of the tree has this key, without regard to letter case, as the
    // database compares device names.
    virtual bool hasNode(const QString& key) const = 0;
    virtual void addDeviceNode(const QString& device, const QString& text) = 0;
    virtual void addItemNode(const QString& device, const QString& port) = 0;
    virtual void removeNode(const QString& key) = 0;
    virtual void Update_Devices() = 0;
    virtual void Update_Ports() = 0;
    virtual void Update_Port() = 0;
};

// Everything a device dialog works with, handed over in one piece.
struct DeviceEditing {
    AppContext& context;
    Database& db;
    ResultRecording& recording;
    DeviceWindow& window;
};
