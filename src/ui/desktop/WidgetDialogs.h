#pragma once

#include "core/Services.h"

#include <functional>
#include <QPointer>
#include <QUrl>
#include <QWidget>

// Message boxes and file dialogs on Qt Widgets.
class WidgetDialogs final : public UserDialogs {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, MessageIcon icon, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption, MessageIcon icon) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> m_parent;
};

// Documents and web addresses opened with the desktop's handlers. The desktop's opener runs on
// its own; when it ends in failure later, the handler set here is told which target it was.
class DesktopShell final : public Shell {
public:
    void onCannotOpen(std::function<void(const QString&)> handler) {
        m_cannotOpen = std::move(handler);
    }
    bool open(const QString& target) override;
    static QUrl urlOf(const QString& target);

private:
    std::function<void(const QString&)> m_cannotOpen;
};
