#pragma once

#include "ui/dialogs/DeviceEditing.h"

#include <QObject>

class AppContext;
class CommandWindow;
class Database;
class ResultRecording;

// The tree's device commands: "&Add Device", "M&odify Device Properties", "&Modify Monitored
// Ports" and "Modify Port &Porperties" open their wizard or dialog modally over the main
// window, on the selected node's key; "&Delete Device" and "&Delete Port" delete the selected
// node after a question. It gives the dialogs the window's tree and list through DeviceWindow.
// Nothing opens while monitoring is on.
class DeviceCommands final : public QObject, public DeviceWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeviceCommands)

public:
    DeviceCommands(AppContext& context, Database& db, ResultRecording& recording,
                   CommandWindow& window, QObject* parent);

    void mnutvAddDevice_Click();
    void mnutvModifyDeviceDesc_Click();
    void mnutvAddPort_Click();
    void mnutvModifyPortDesc_Click();
    void mnutvDeleteDevice_Click();
    void mnutvDeletePort_Click();

    // DeviceWindow
    QWidget* ownerWindow() const override;
    bool hasNode(const QString& key) const override;
    void addDeviceNode(const QString& device, const QString& text) override;
    void addItemNode(const QString& device, const QString& port) override;
    void removeNode(const QString& key) override;
    void Update_Devices() override;
    void Update_Ports() override;
    void Update_Port() override;

private:
    // Runs the dialog modally on the selected node's key when monitoring is off; errors go to
    // the report under name.
    template <typename Dialog> void openOnSelected(const char* name);

    AppContext& m_context;
    ResultRecording& m_recording;
    CommandWindow& m_window;
    DeviceEditing m_editing;
};
