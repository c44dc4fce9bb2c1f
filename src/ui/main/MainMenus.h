#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

// The main window's menus, pop-up menus and toolbar buttons with their captions, access keys,
// names, check marks and separators. Items are found by their names (toolbar buttons by
// "tb" + key, drop-down items by their caption). Which command an item runs is the commands'
// business.
class MainMenus final {
public:
    MainMenus(QMenuBar* bar, QToolBar* toolbar, QWidget* owner);
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    QToolButton* toolButton(const QString& key) const { return m_toolButtons.value(key); }

    static QString viewModeItem(const char* array, int index);

private:
    QMenu* addMenu(QMenu* menu, const QString& name);
    QAction* add(QMenu* menu, const QString& name, const QString& caption, bool checkable = false);
    void separator(QMenu* menu, const QString& name);
    void buildMenuBar(QMenuBar* bar);
    void buildPopups(QWidget* owner);
    void buildToolbar(QToolBar* toolbar, QWidget* owner);
    QAction* button(QToolBar* toolbar, const QString& key, const QString& tip,
                    const QString& image);
    void dropDown(QAction* button, const QString& key, const QStringList& items, QWidget* owner);

    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QToolButton*> m_toolButtons;
};
