#pragma once

#include <QTabBar>

// A tab strip that keeps every tab in view: where the tabs do not fit at their full size,
// they give up some of the room beside their captions first, and elide them only after that.
class TabStrip final : public QTabBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStrip)

public:
    explicit TabStrip(QWidget* parent);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void tabInserted(int index) override;

private:
    class Spacing;
    void fit();

    static constexpr int MinimumSpace = 6;
    Spacing* m_style;
    int m_space = -1; // the style's own
};
