#pragma once

#include "engine/MonitorView.h"

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

// The notification-area icon: the picture of a tray state, a tip, and the tray menu on a right
// click. A left click or double click does nothing. Picture and tip are kept here as well, so
// they can be read back where the desktop has no notification area.
class TrayIcon final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayIcon)

public:
    explicit TrayIcon(QObject* parent);

    // The menu a right click opens.
    void setMenu(QMenu* menu);

    // The tips of the monitoring states.
    static QString monitoringOffTip();
    static QString problemsTip(int problems);

    // The picture always changes before the tip.
    void show(TrayState state, const QString& tip);
    void setInTray(bool inTray);
    // A desktop notification from the icon; nothing where the desktop has no tray or shows no
    // notifications. True when it was handed to the desktop.
    bool notify(const QString& title, const QString& text);
    bool isInTray() const { return m_inTray; }
    TrayState state() const { return m_state; }
    // The picture's index among the window's images.
    int picture() const { return m_picture; }
    QString tip() const { return m_tip; }

    // False where the desktop has no notification area: the window must not hide itself then.
    static bool desktopHasTray();

private:
    QSystemTrayIcon* m_icon;
    TrayState m_state = TrayState::Idle;
    int m_picture = 0;
    QString m_tip = QStringLiteral("Orvex System Tray Control");
    bool m_inTray = false;
};
