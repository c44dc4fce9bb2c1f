#pragma once

#include "ui/dialogs/DeviceEditing.h"

#include <memory>
#include <QObject>

class AppContext;
class Database;
class ResultRecording;
class frmMain;

// The tree's device commands: "&Add Device", "M&odify Device Properties", "&Modify Monitored
// Ports" and "Modify Port &Porperties" open their wizard or dialog modally over the main
// window. It gives the dialogs the window's tree and list through DeviceWindow. Nothing opens
// while monitoring is on.
class DeviceCommands final : public QObject, public DeviceWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeviceCommands)

public:
    // Connects itself to the window's requests; the window owns it.
    DeviceCommands(AppContext& context, Database& db, frmMain& mainForm);
    ~DeviceCommands() override;

    void mnutvAddDevice_Click();
    void mnutvModifyDeviceDesc_Click();
    void mnutvAddPort_Click();
    void mnutvModifyPortDesc_Click();

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
    // Runs the dialog modally when monitoring is off; errors go to the report under name.
    template <typename Dialog> void open(const char* name, bool needsKey);

    AppContext& m_context;
    frmMain& m_main;
    std::unique_ptr<ResultRecording> m_recording;
    DeviceEditing m_editing;
};
