#include "ui/main/MainLayout.h"

namespace MainLayout {

Controls SizeControls(float& x, const Frame& frame) {
    if (x < PaneMinimum)
        x = PaneMinimum;
    if (x > frame.windowWidth - PaneMinimum)
        x = frame.windowWidth - PaneMinimum;

    Controls c;
    c.tree.width = x;
    c.splitter.left = x;
    c.tabs.left = x + 40;
    c.tabs.width = frame.windowWidth - (c.tree.width + 140);
    c.title0Width = c.tree.width;
    c.title1Left = c.tabs.left + 20;
    c.title1Width = c.tabs.width - 40;

    c.tree.top =
        frame.toolbarVisible ? frame.toolbarHeight + frame.titlesHeight : frame.titlesHeight;
    c.tabs.top = c.tree.top;
    const float above = frame.titlesTop + frame.titlesHeight;
    c.tree.height = frame.statusBarVisible ? frame.innerHeight - (above + frame.statusBarHeight)
                                           : frame.innerHeight - above;
    c.tabs.height = c.tree.height;

    const TwipsRect pane{c.tabs.left, c.tabs.top + TabHeaderHeight, c.tabs.width,
                         c.tabs.height - TabHeaderHeight};
    c.list = pane;
    c.messages = pane;
    c.splitter.top = c.tree.top;
    c.splitter.height = c.tree.height;
    return c;
}

float splitterDragLeft(float splitterLeft, float X, float windowWidth) {
    const float pos = splitterLeft + X;
    if (pos < PaneMinimum)
        return PaneMinimum;
    if (pos > windowWidth - PaneMinimum)
        return windowWidth - PaneMinimum;
    return pos;
}

float floorWidth(float width) {
    return width < WindowMinimumWidth ? WindowMinimumWidth : width;
}

} // namespace MainLayout
