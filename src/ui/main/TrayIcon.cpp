#include "ui/main/TrayIcon.h"

#include "core/AppInfo.h"
#include "ui/main/MainImages.h"

#include <QMenu>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(this)) {
    // The context menu opens on a right click; no other button has an action.
    m_icon->setContextMenu(menu);
}

QString TrayIcon::monitoringOffTip() {
    return AppInfo::Title + QStringLiteral(" - Monitoring OFF.");
}

QString TrayIcon::checkInProgressTip() {
    return AppInfo::Title + QStringLiteral(" - Check In Progress.");
}

QString TrayIcon::problemsTip(int problems) {
    return AppInfo::Title + QStringLiteral(" - ") + QString::number(problems) +
           QStringLiteral(" problems detected.");
}

void TrayIcon::show(int picture, const QString& tip) {
    m_picture = picture;
    m_icon->setIcon(MainImages::icon(picture));
    m_tip = tip;
    m_icon->setToolTip(tip);
}

void TrayIcon::setInTray(bool inTray) {
    m_inTray = inTray;
    m_icon->setVisible(inTray);
}

bool TrayIcon::notify(const QString& title, const QString& text) {
    if (!m_inTray || !desktopHasTray() || !QSystemTrayIcon::supportsMessages())
        return false;
    m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
    return true;
}

bool TrayIcon::desktopHasTray() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
