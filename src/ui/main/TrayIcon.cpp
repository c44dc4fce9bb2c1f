#include "ui/main/TrayIcon.h"

#include "core/AppInfo.h"
#include "ui/main/MainImages.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace {
int pictureOf(TrayState state) {
    switch (state) {
    case TrayState::Problems:
        return MainImages::TrayProblems;
    case TrayState::Checking:
        return MainImages::TrayChecking;
    case TrayState::Idle:
        break;
    }
    return MainImages::TrayIdle;
}
} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(this)) {}

void TrayIcon::setMenu(QMenu* menu) {
    // The context menu opens on a right click; no other button has an action.
    m_icon->setContextMenu(menu);
}

QString TrayIcon::monitoringOffTip() {
    return AppInfo::Title + QStringLiteral(" - Monitoring OFF.");
}

QString TrayIcon::problemsTip(int problems) {
    return AppInfo::Title + QStringLiteral(" - ") + QString::number(problems) +
           QStringLiteral(" problems detected.");
}

void TrayIcon::show(TrayState state, const QString& tip) {
    m_state = state;
    m_picture = pictureOf(state);
    m_icon->setIcon(MainImages::icon(m_picture));
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
