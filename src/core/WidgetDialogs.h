#pragma once

#include "core/Services.h"

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

// Documents and web addresses opened with the desktop's handlers.
class DesktopShell final : public Shell {
public:
    void open(const QString& target) override;
    static QUrl urlOf(const QString& target);
};
