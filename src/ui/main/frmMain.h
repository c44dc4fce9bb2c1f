#pragma once

#include "ui/main/CommandWindow.h"

#include <functional>
#include <QMainWindow>

class AppContext;
class Database;
class EngineFace;
class MainClientArea;
class MainCommands;
class QAction;
class QMenu;
class QToolButton;

// The main window, assembled from its client area (the widgets and their layout), its face
// towards the engine (status, tray, message window, the engine and the mail control) and its
// commands. It keeps what belongs to the window itself: its place on the screen, minimising
// and restoring, and the close that ends the program.
class frmMain final : public QMainWindow, public CommandWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    using SplashLabel = std::function<void(const QString&)>;

    // Builds the window and fills the tree and the list from the database; splashLabel shows
    // the progress texts while the splash box is up.
    frmMain(AppContext& context, Database& monitorDB, const SplashLabel& splashLabel = {},
            QWidget* parent = nullptr);
    ~frmMain() override;

    MainClientArea& clientArea() const { return *m_client; }
    EngineFace& face() const { return *m_face; }
    MainCommands& commands() const { return *m_commands; }
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QToolButton* toolButton(const QString& key) const;

    // Places the window from twips.
    void placeWindow(float left, float top, float width, float height);

    // CommandWindow
    QWidget* ownerWindow() override { return this; }
    DeviceTree& tvTreeView() override;
    DetailList& lvListView() override;
    DevicePanes& panes() override;
    void refreshHistory() override;
    void setStatusPanel(int panel, const QString& text) override;
    QObject* mailControl() const override;
    // The assistant's "Restore" and "Minimize" commands, and the tray's "Restore".
    void Restore() override;
    void Minimize() override;

signals:
    // The assistant's "Restore" and "Minimize" follow the window: true while it is minimised
    // or lives only in the notification area.
    void restoreAvailableChanged(bool available);
    // The exit was confirmed: the character and the check sockets let go now.
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Initialize(const SplashLabel& splashLabel);
    void Form_Resize();
    bool Form_Unload();

    AppContext& m_context;
    MainClientArea* m_client;
    EngineFace* m_face;
    MainCommands* m_commands;
};
