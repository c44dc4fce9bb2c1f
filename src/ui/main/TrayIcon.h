#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

// The notification-area icon: a picture by index, a tip, and the tray menu on a right click.
// A left click or double click does nothing. Picture and tip are kept here as well, so they
// can be read back where the desktop has no notification area.
class TrayIcon final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayIcon)

public:
    TrayIcon(QMenu* menu, QObject* parent);

    // The tips of the monitoring states.
    static QString monitoringOffTip();
    static QString checkInProgressTip();
    static QString problemsTip(int problems);

    // The picture always changes before the tip.
    void show(int picture, const QString& tip);
    void setInTray(bool inTray);
    // A desktop notification from the icon; nothing where the desktop has no tray or shows no
    // notifications. True when it was handed to the desktop.
    bool notify(const QString& title, const QString& text);
    bool isInTray() const { return m_inTray; }
    int picture() const { return m_picture; }
    QString tip() const { return m_tip; }

    // False where the desktop has no notification area: the window must not hide itself then.
    static bool desktopHasTray();

private:
    QSystemTrayIcon* m_icon;
    int m_picture = 0;
    QString m_tip = QStringLiteral("Orvex System Tray Control");
    bool m_inTray = false;
};
