#pragma once

#include "engine/MonitorView.h"

#include <memory>
#include <QObject>

class AppContext;
class Assistant;
class CommandWindow;
class Database;
class DatabaseCommands;
class DeviceCommands;
class DocumentCommands;
class EngineFace;
class MainClientArea;
class MainMenus;
class OptionsCommands;
class QAction;
class QMenu;
class QMenuBar;
class QToolButton;
class ResultRecording;

// Every command of the main window in one place: it makes the menus, the pop-ups and the
// toolbar, the objects that carry out the commands, and connects each item straight to the
// routine that does the work. It keeps the commands in step with the monitoring state and
// with the list's view mode, and prepares and shows the pop-up menus.
class MainCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainCommands)

public:
    MainCommands(AppContext& context, Database& monitorDB, CommandWindow& window,
                 MainClientArea& client, EngineFace& face, QMenuBar* menuBar);
    ~MainCommands() override;

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QToolButton* toolButton(const QString& key) const;

    DatabaseCommands& database() const { return *m_database; }
    DeviceCommands& devices() const { return *m_devices; }
    DocumentCommands& documents() const { return *m_documents; }
    OptionsCommands& options() const { return *m_options; }

    // The character's commands run the same routines as the menus, and its "Monitoring On" and
    // "Monitoring Off" follow the monitoring state; the options dialog needs the assistant.
    void attachAssistant(Assistant& assistant);

    // Checks and enables every command that depends on monitoring.
    void setMonitoringState(MonitoringState state);
    // Sets the tree pop-up's item states from the selected node and the monitoring state.
    void prepareTreeMenu();

private:
    void connectFileAndToolsMenus();
    void connectViewCommands();
    void connectTreeAndListMenus();
    void connectMonitoring();
    void showViewMode(int mode);
    template <typename Target, typename Slot>
    void onTriggered(const char* item, Target* target, Slot slot);

    AppContext& m_context;
    CommandWindow& m_window;
    MainClientArea& m_client;
    EngineFace& m_face;
    std::unique_ptr<MainMenus> m_menus;
    DatabaseCommands* m_database;
    DeviceCommands* m_devices;
    DocumentCommands* m_documents;
    OptionsCommands* m_options;
};
